#pragma once

#include <QtCore/QHash>
#include <QtCore/QString>
#include <QtCore/QStringView>

#include <cstdint>
#include <memory>
#include <vector>

// The program's own XML document: the whole text as one UTF-16 string plus a table of
// element records that point into it by offsets (UTF-16 units). Parsing only records where
// elements start and end; reads decode slices on demand; edits splice the text and shift
// the offsets, so the table always describes the current text.
//
// Callers walk with three positions (element indices, 0 = none): m_nParentPos,
// m_nMainPos and m_nChildPos.
class CXXmlDoc
{
public:
    // Flags of an element record.
    enum : uint32_t {
        ELEM_RELEASED = 0x20000,
        ELEM_FIRST_CHILD = 0x80000,
        ELEM_UNENDED = 0x100000,
        ELEM_HAS_ERROR = 0x200000,
        ELEM_NOT_WELLFORMED = 0x800000,
    };

    // Flags of AddElement / InsertElement.
    enum : int {
        ADD_CDATA = 0x0001,
        ADD_NO_LINE_BREAK = 0x0002,
        ADD_SPACE_BEFORE_SLASH = 0x0004,
        ADD_START_TAG_ONLY = 0x0010,
        ADD_AS_CHILD = 0x4000,
    };

    // Flags of AddResult: which attribute the text and the number become.
    enum : int {
        LOG_TYPE = 0x02,
        LOG_NUMBER = 0x04,
        LOG_ENCODING = 0x08,
        LOG_LENGTH = 0x10,
        LOG_MSG = 0x40,
    };

    // One element. The tag lengths are kept in full-width fields, so no tag length can
    // spill into a neighbouring field.
    struct ElemRecord
    {
        int nStart = 0;  // offset of "<" of the start tag
        int nLength = 0; // through ">" of the end tag (the tag itself when empty)
        int nStartTagLen = 0;
        int nEndTagLen = 0; // 0 for "<a/>" and for a start tag without end
        int nLevel = 0;     // 0 for top-level elements
        uint32_t nFlags = 0;
        int iParent = 0;
        int iFirstChild = 0;
        int iNext = 0;
        int iPrev = 0; // the first child's holds the last child: the chain is circular
    };

    // Records in pages of 65,536; an index stays valid when the table grows.
    class ElemTable
    {
    public:
        static constexpr int PAGE_BITS = 16;
        static constexpr int PAGE_SIZE = 1 << PAGE_BITS;

        int Size() const { return m_nSize; }
        void Resize(int size);
        ElemRecord& operator[](int i) { return m_pages[static_cast<size_t>(i) >> PAGE_BITS][i & (PAGE_SIZE - 1)]; }
        const ElemRecord& operator[](int i) const
        {
            return m_pages[static_cast<size_t>(i) >> PAGE_BITS][i & (PAGE_SIZE - 1)];
        }

    private:
        std::vector<std::unique_ptr<ElemRecord[]>> m_pages;
        std::vector<int> m_caps; // records allocated per page
        int m_nSize = 0;
    };

    // The elements open while parsing, with their names (views of the parsed text); an end
    // tag finds the nearest open element of its name without walking the stack.
    class TagStack
    {
    public:
        struct Entry
        {
            int iElem;
            QStringView name;
        };
        TagStack() { m_entries.reserve(7); }
        void Push(int iElem, QStringView name)
        {
            m_byName[name].push_back(Depth());
            m_entries.push_back({iElem, name});
        }
        void Pop()
        {
            m_byName[m_entries.back().name].pop_back();
            m_entries.pop_back();
        }
        int Depth() const { return static_cast<int>(m_entries.size()); }
        const Entry& At(int depth) const { return m_entries[static_cast<size_t>(depth)]; }
        // The depth of the nearest open element of that name, or -1.
        int Find(QStringView name) const
        {
            const auto it = m_byName.constFind(name);
            return it == m_byName.constEnd() || it->empty() ? -1 : it->back();
        }

    private:
        std::vector<Entry> m_entries;
        QHash<QStringView, std::vector<int>> m_byName;
    };

    CXXmlDoc();
    explicit CXXmlDoc(const QString& text);
    ~CXXmlDoc();
    CXXmlDoc(const CXXmlDoc&) = delete;
    CXXmlDoc& operator=(const CXXmlDoc&) = delete;

    // Replaces the text (a null text empties the document), clears the result log and
    // parses; true when the text is well-formed.
    bool SetDocText(const QString& text);
    const QString& GetDocText() const { return m_strDoc; }
    bool Parse();

    // The diagnostic entries of the last parse and edits, as XML.
    const QString& GetResultLog() const { return m_strResult; }
    void AddResult(const QString& event, int flags = 0, const QString& text = QString(), int number = -1,
                   int number2 = -1);

    // Navigation.
    bool FindElement(const QString& name = QString());
    bool FindChildElement(const QString& name = QString());
    bool IntoElement();
    bool OutOfElement();

    // Reading and editing at an element position (m_nMainPos or m_nChildPos).
    QString GetTagName(int pos) const;
    QString GetAttribute(int pos, const QString& name) const;
    bool SetAttribute(int pos, const QString& name, const QString& value, int flags = 0);
    QString GetText(int pos) const;
    bool AddElement(const QString& name, const QString& text = QString(), int flags = 0);
    bool InsertElement(const QString& name, const QString& text = QString(), int flags = 0);
    bool InsertDocument(const QString& text);

    // The element record at an index (for diagnosis and tests); index 0 is the document.
    const ElemRecord& Elem(int i) const { return m_table[i]; }
    int NextFreeIndex() const { return m_iFreeElem; }
    int NodeType() const { return m_nNodeType; }

    // Writes a text to a file in the encoding it declares (UTF-8 when none), without a
    // byte-order mark. The entries of the write go to *result.
    static bool WriteTextFile(const QString& text, const QString& path, QString* result = nullptr);

    // Encodings. Code pages: 1200 UTF-16, 65001 UTF-8, 65005 UTF-32 (the program's own
    // number), others through iconv; 0 is the ANSI page (936).
    static int GetEncodingCodePage(const QString& name);
    // Converts sourceUnits units (bytes, UTF-16 or UTF-32 units by the source encoding) and
    // returns the units written, or needed when dest is null. *lost tells whether a
    // character had no form in the target.
    static int ConvertEncoding(const QString& fromName, const QString& toName, const void* source, int sourceUnits,
                               void* dest, int destCapacity, bool* lost = nullptr);
    static QString GetDeclaredEncoding(const QString& text);
    // A code point from UTF-8 at p (p moves past what was read), or -1.
    static int DecodeUtf8Char(const char*& p, const char* end);
    // Writes cp as UTF-8 at dest + count (only counts when dest is null); count grows.
    static void EncodeUtf8Char(int cp, char* dest, int& count);
    static QString UnescapeXmlText(const QChar* text, int length);
    static QString UnescapeXmlText(const QString& text)
    {
        return UnescapeXmlText(text.constData(), static_cast<int>(text.size()));
    }
    static QString EscapeXmlText(const QString& text, bool attribute = false);
    static QString WrapCdata(const QString& text);

    int m_nParentPos = 0;
    int m_nMainPos = 0;
    int m_nChildPos = 0;

private:
    struct InsertPlan;

    int NewElem();
    void ReserveElems(int size);
    int ParseInto(QStringView text, int iRoot, int baseLevel);
    void CloseUnended(int iRoot, int iElem);
    void SetLevels(int iRoot, int baseLevel);
    void LinkLastChild(int iParent, int iElem);
    void LinkAfter(int iParent, int iAfter, int iElem);
    void ShiftFollowing(int iElem, int delta);
    void AddToSubtree(int iRoot, int ElemRecord::*field, int delta);
    void Splice(int pos, int removed, const QString& insert);
    bool IsElement(int pos) const;
    int FirstMatching(int i, QStringView lead) const;
    static int AttributesEnd(const ElemRecord& r);
    InsertPlan PlanInsert(int iParent, int iAfter, int flags) const;
    void OpenParent(int iParent, const InsertPlan& plan);
    void ShiftAfterInsert(int iParent, int iLast, int delta);

    QString m_strDoc;
    QString m_strResult;
    int m_iFreeElem = 1;
    int m_iReleased = 0;
    int m_nNodeType = 0;
    ElemTable m_table;
};
