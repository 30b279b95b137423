#pragma once

#include "RecordConsts.h"

#include <QtCore/QString>

#include <functional>
#include <type_traits>
#include <vector>

class CXItem;
class CHeads;
class XDateTime;

// An array of records that knows the record it belongs to and whether it owns its records.
// An owning array deletes its records when they are removed and when it is destroyed; a
// record's m_pArray points back at the array that created or adopted it.
class CXArray
{
public:
    explicit CXArray(CXItem* parent = nullptr, bool owns = true) : m_pParent(parent), m_bOwns(owns ? 1 : 0) {}
    CXArray(const CXArray&) = delete;
    CXArray& operator=(const CXArray&) = delete;
    virtual ~CXArray();

    // A new element of the array's class with this array as container and the parent's ID
    // as parent ID; not appended. The untyped array creates nothing.
    virtual CXItem* CreateItem() { return nullptr; }
    // The element class's field table (the first element's when the class is not known).
    virtual CHeads* GetHeads() const;

    int GetSize() const { return static_cast<int>(m_items.size()); }
    int GetCount() const { return GetSize(); }
    bool IsEmpty() const { return m_items.empty(); }
    CXItem* GetAt(int i) const { return m_items[static_cast<std::size_t>(i)]; }
    CXItem* operator[](int i) const { return GetAt(i); }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

    int Add(CXItem* item);
    // Appends a record made elsewhere; an owning array becomes its container and gives it
    // the parent's ID as parent ID.
    int AddAdopted(CXItem* item);
    void SetAt(int index, CXItem* item) { m_items[static_cast<std::size_t>(index)] = item; }
    // Removes one record; an owning array deletes it.
    void RemoveAt(int index);
    // Takes one record out without deleting it; the caller owns it then.
    CXItem* Detach(int index);
    // Deletes every record when owning, empties the array; a non-null argument becomes the
    // new parent.
    void RemoveAll(CXItem* newParent = nullptr);
    void Swap(int a, int b) { std::swap(m_items[static_cast<std::size_t>(a)], m_items[static_cast<std::size_t>(b)]); }
    void Reserve(int n) { m_items.reserve(static_cast<std::size_t>(n)); }

    // Whole-list computations for computed fields. "type" describes the member at the offset
    // (or the getter's result); the aggregates know int, money and date and give 0 otherwise.
    using IntGetter = std::function<int(const CXItem&)>;
    using NumberGetter = std::function<double(const CXItem&)>;
    using TextGetter = std::function<QString(const CXItem&)>;

    QString JoinMember(int type, int offset, bool bDistinct, const QString& separator) const;
    QString JoinGetter(const TextGetter& getter, const QString& separator) const;
    QString JoinGetter(const IntGetter& getter, const QString& separator) const;
    double GetMax(int type, int offset) const;
    double GetMaxBy(const NumberGetter& getter) const;
    double GetMinNonZero(int type, int offset) const;
    double GetSum(int type, int offset) const;
    double GetSumBy(const NumberGetter& getter) const;
    int CountEqual(int type, int offset, int value) const;
    int CountEqualBy(const NumberGetter& getter, int value) const;
    // Ascending or descending by the member at the offset, in the order of the exchange
    // sort the lists were designed with (equal keys included); other types keep the order.
    void Sort(int type, int offset, bool bDescending);
    // Deletes every record in one transaction, as the user (null: the built-in
    // administrator); the first failure rolls all of it back and gives false.
    bool DeleteItems(const CXItem* user = nullptr);

    // The first record whose text member equals the text without regard to case.
    CXItem* FindByText(int offset, const QString& text) const;

    CXItem* m_pParent = nullptr; // not owning
    int m_bOwns = 1;

protected:
    // Gives a new element its container and parent ID.
    void Adopt(CXItem* item);

private:
    std::vector<CXItem*> m_items;
};

template <class T>
concept HasStaticHeads = requires
{
    {
        T::StaticHeads()
        } -> std::convertible_to<CHeads*>;
};

// An array of one record class.
template <class T, bool Owns = true> class CXArrayT : public CXArray
{
public:
    explicit CXArrayT(CXItem* parent = nullptr) : CXArray(parent, Owns) {}

    CXItem* CreateItem() override
    {
        T* item = new T;
        Adopt(item);
        return item;
    }

    CHeads* GetHeads() const override
    {
        if constexpr (HasStaticHeads<T>)
            return T::StaticHeads();
        else
            return nullptr;
    }

    T* GetAt(int i) const { return static_cast<T*>(CXArray::GetAt(i)); }
    T* operator[](int i) const { return GetAt(i); }
    T* CreateTyped() { return static_cast<T*>(CreateItem()); }
};
