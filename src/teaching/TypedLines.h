#pragma once

#include "CXArray.h"

// Walks a typed record array with the element type (CXArray's own iteration gives CXItem*).
template <class T> class XTypedLines
{
public:
    using Base = decltype(std::declval<const CXArray&>().begin());
    struct Iterator
    {
        Base it;
        T* operator*() const { return static_cast<T*>(*it); }
        Iterator& operator++()
        {
            ++it;
            return *this;
        }
        bool operator!=(const Iterator& other) const { return it != other.it; }
    };
    explicit XTypedLines(const CXArray& array) : m_array(array) {}
    Iterator begin() const { return {m_array.begin()}; }
    Iterator end() const { return {m_array.end()}; }

private:
    const CXArray& m_array;
};

template <class T, bool Owns> XTypedLines<T> Typed(const CXArrayT<T, Owns>& array) { return XTypedLines<T>(array); }
