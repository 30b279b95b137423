#pragma once

#include "CXImage.h"
#include "CXTimeSpan.h"
#include "RecordConsts.h"
#include "XDateTime.h"

#include <QtCore/QList>
#include <QtCore/QMap>
#include <QtCore/QRect>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtGui/QColor>

#include <cstddef>
#include <functional>
#include <utility>

class CXAccessor;
class CXArray;
class CXItem;
class CXMap;
class CXXmlDoc;
class CHead;
class CHeads;
struct XCellDraw;

// A print template's keywords, brackets included ("[打印日期]"), to their texts.
using XPrintKeywords = QMap<QString, QString>;

// Byte offset of a record member, the way field tables address values. Records use single,
// non-virtual inheritance only, so every base part starts at offset 0 of the record.
#define XOFFSET(Class, member) static_cast<int>(offsetof(Class, member))

// The small reference value every record, stamp and link shares: which module, which
// record, its owner, date and title.
class CXBase
{
public:
    CXBase() = default;
    CXBase(const CXBase&) = delete;
    CXBase& operator=(const CXBase&) = delete;
    virtual ~CXBase() = default;

    // ID, parent ID, line ID and date 0, title empty, enabled; module and container stay.
    virtual void Reset();

    // "<a href="xl:<module>:<id>">title</a>", the ID standing in for an empty title; empty
    // when the module or the ID is 0. The title is escaped, so any title reads back.
    QString GetLink() const;
    // Reads a link back; any text that is not an "xl:" link of three parts changes nothing.
    void SetLink(const QString& text);

    // Every member, the container pointer included (stamps are copied this way).
    void CopyBase(const CXBase& source);

    int m_nMduID = 0;
    int m_nID = 0; // 0 = not saved; negative = built in
    int m_nParentID = 0;
    int m_nSubID = 0; // a line's own row ID when m_nID names the linked record
    XDateTime m_dtDate;
    QString m_strName;
    int m_bEnabled = 1;
    CXArray* m_pArray = nullptr; // not owning
};

// One validation message: level (ST_*), the byte offset of the field concerned (0 = the
// whole record) and its text.
struct CXStatus
{
    int m_nLevel = ST_NONE;
    int m_nMember = 0;
    QString m_strText;
};

// The record base class. A record class describes its members in a static field table
// (GetHeads) and overrides the virtual operations where its kind differs; everything else
// (lists, dialogs, SQL, XML, printing) works from the table through these operations.
class CXItem : public CXBase
{
public:
    CXItem();
    ~CXItem() override;

    // Records are allocated through XRecordBulk: carved from shared blocks while a read of
    // many records runs on the thread, one by one otherwise.
    static void* operator new(std::size_t size);
    static void operator delete(void* record) noexcept;

    // --- virtual operations ------------------------------------------------------------
    void Reset() override;
    virtual QString FormatText(const CHead* head, bool bUnit, bool bPrefix, bool bDisplay) const;
    virtual CXItem* CopyTo(CXItem* target) const;
    virtual CHeads* GetHeads() const { return nullptr; }
    virtual CXItem* CreateNew() const { return new CXItem; }
    // Whether the record paints this list cell itself (time spans with a time bar, on/off
    // icons, struck-out memo parts, superscript and subscript marks); with draw, paints it.
    virtual bool DrawCell(const CHead* head, XCellDraw* draw);
    virtual QString GetDeleteError(const CXItem* user) const;
    virtual QString GetDeleteWarning() const;
    virtual int Validate(const CXItem* user, bool bCheckDuplicates);
    virtual int GetDefault(const CHead* head) const;
    virtual int GetAccess(const CHead* head, const CXItem* user) const;
    virtual void GetOptions(const CHead* head, QStringList& texts, QList<int>& values) const;
    virtual QString GetFormat(const CHead* head) const;
    virtual void GetRange(const CHead* head, int& min, int& max) const;
    virtual QString GetEmptyText(const CHead* head) const;
    virtual QColor GetTextColor(const CHead* head) const;
    virtual QString GetPrefix(const CHead* head) const;
    virtual QString GetUnit(const CHead* head) const;
    virtual QString GetCaption(const CHead* head) const;
    virtual CXMap GetRelateQuery(const CHead* head, const CXMap* base) const;
    virtual int GetPrintRowCount() const { return 0; }
    // Adds the record's print keywords, then the common ones. Kind 0 print, 1 sample print,
    // 2 WeChat message. A field keyword already holding a text keeps it (overrides fill
    // theirs first); the common keywords are always set.
    virtual void FillPrintKeywords(XPrintKeywords& keywords, int kind, const CXItem* user) const;
    virtual bool IsChecked() const { return m_bOrgSelected != 0; }
    virtual bool IsSubArray(const CXArray* array) const
    {
        Q_UNUSED(array);
        return false;
    }
    virtual bool IsAuto() const { return false; }
    virtual bool IsAutoEmpty() const;
    virtual void AutoReset() {}
    virtual bool CanAutoSet() const { return false; }
    virtual void AutoSet() {}

    // --- built on the operations ------------------------------------------------------
    QString GetDefaultText(const CHead* head) const;
    QString GetRawText(const CHead* head) const;
    QString GetGroupText(const CHead* head) const;
    QString GetTitleText() const;
    QString GetMarkText() const;

    // Appends the record as an "item" element after the document's main position (or as the
    // last child of the parent position when there is none) and leaves it the main
    // position. Mode 1: the whole record; 0: a list row (the list column set only); 2: the
    // web new-record form. spec is 0 for a main record, else the parent's IsSubArray
    // answer; the user decides access and the delete error.
    void WriteXml(CXXmlDoc& doc, int mode, int spec, const CXItem* user);

    // Copies the current row into the record: every field whose column the row has, by
    // type (links take the ID only, a NULL text reads as "", a NULL number as 0). The
    // ordinals of the field table's columns in the row may be given (reading many rows).
    void LoadFromRow(const CXAccessor& cmd, const QList<int>* ordinals = nullptr);

    // A main record of its module: it has a field table, a module has its id, and that
    // module's field table is the record's own (a line of another module's record is not).
    bool IsModuleItem() const;
    QString GetModuleName() const;
    QString GetModuleGroup() const;
    QString GetModuleDescription() const;

    // The record stands for a user logged in through WeChat (session id "wx_" + at least 8).
    bool IsWeChatSession() const { return m_strSession.size() >= 11 && m_strSession.startsWith(QLatin1String("wx_")); }

    // Passwords are MD5 hex digests; an empty stored value is the module's default password,
    // so a changed default applies at once to every user who never set one.
    QString GetDefaultPassword() const;
    // Stores a digest (lower-cased); empty for none or for the default password's digest.
    // Anything but 32 hex digits is refused and the stored value kept: false.
    bool SetPassword(const QString& digest);
    // The stored digest, else the default password's digest (empty with bStoredOnly).
    QString GetPassword(bool bStoredOnly);

    // Validation messages.
    template <class... A> void AddStatus(int level, const void* member, const char* format, const A&... args);
    void AddStatusText(int level, const void* member, const QString& text);
    int GetStatusLevel() const;
    QString GetStatusText() const;
    QString GetAlertText() const;
    QString GetErrorText() const;

    // The value of a field, by the field table's offset (offset 0 is the record's own base).
    template <class T> T& Member(int offset) { return *reinterpret_cast<T*>(reinterpret_cast<char*>(this) + offset); }
    template <class T> const T& Member(int offset) const
    {
        return *reinterpret_cast<const T*>(reinterpret_cast<const char*>(this) + offset);
    }
    int MemberOffset(const void* member) const
    {
        return member ? static_cast<int>(static_cast<const char*>(member) - reinterpret_cast<const char*>(this)) : 0;
    }

    QString m_strMemo;
    QList<CXStatus> m_status;
    CXBase m_created;
    CXBase m_modified;
    CXBase m_printed;
    CXBase m_notified;
    int m_nDispOrder = -1;
    int m_bSelected = 0;
    int m_bOrgSelected = 0;
    QString m_strPassword;
    QString m_strSession;
    QString m_strIP;
    int m_nRightRole = 0;
    QString m_strRightData;
    CXImage m_image;
    QRect m_rcCell;
    CXDateRange m_oper;

protected:
    // Step 2 of Reset and of CopyTo: the fields of the record's own table.
    void ResetFields();
    void CopyFields(CXItem* target) const;
};

// A record of one module: the template argument is the module id.
template <int Mdu> class CXItemT : public CXItem
{
public:
    enum { MduID = Mdu };
    CXItemT() { m_nMduID = Mdu; }
};

#include "FormatString.h"

template <class... A> void CXItem::AddStatus(int level, const void* member, const char* format, const A&... args)
{
    AddStatusText(level, member, (format && *format) ? FormatString(format, args...) : QString());
}

// Whether the text is an MD5 digest: 32 hex digits.
bool IsPasswordDigest(const QString& text);

// The duplicate search of validation: the ID of another row of the table whose column
// equals the value (0 when none). FindDuplicate (RecordLookups.h) unless replaced; with
// an empty finder nothing counts as a duplicate.
using XDuplicateFinder =
    std::function<int(int ownId, const QString& value, const QString& table, const QString& column)>;
XDuplicateFinder SetDuplicateFinder(XDuplicateFinder finder);
