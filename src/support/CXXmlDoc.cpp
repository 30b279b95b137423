#include "CXXmlDoc.h"

#include "CodePages.h"
#include "XString.h"
#include "XmlTables.h"
#include "XmlTokenizer.h"

#include <QtCore/QFile>
#include <QtCore/QHash>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

constexpr int CP_UTF16 = 1200;
constexpr int CP_UTF32 = 65005;
const QString CRLF = QStringLiteral("\r\n");

using xml::IsWhite;
using xml::Token;
using xml::Tokenizer;

// Lower-cases ASCII letters only: names in documents are ASCII, and a locale must not matter.
QString LowerAscii(QStringView text)
{
    QString out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        out[i] = QChar(c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c);
    }
    return out;
}

struct EntityMaps
{
    QHash<QString, int> exact;
    QHash<QString, int> folded; // of two names that differ in case, the lower code point
};

const EntityMaps& Entities()
{
    static const EntityMaps maps = [] {
        EntityMaps m;
        for (int i = 0; i < g_xmlEntityCount; ++i) {
            const QString name = QString::fromLatin1(g_xmlEntities[i].name);
            const int code = g_xmlEntities[i].code;
            m.exact.insert(name, code);
            const QString lower = LowerAscii(name);
            auto it = m.folded.find(lower);
            if (it == m.folded.end())
                m.folded.insert(lower, code);
            else
                *it = std::min(*it, code);
        }
        return m;
    }();
    return maps;
}

const QHash<QString, int>& EncodingNames()
{
    static const QHash<QString, int> names = [] {
        QHash<QString, int> m;
        for (int i = 0; i < g_xmlEncodingCount; ++i)
            m.insert(QString::fromLatin1(g_xmlEncodings[i].name), g_xmlEncodings[i].code);
        return m;
    }();
    return names;
}

// The value of a numeric reference's digits; digits end at the first other character, and
// none gives 0.
int ParseDigits(QStringView digits, int base)
{
    long long value = 0;
    for (QChar ch : digits) {
        const int d = ch.unicode() < 128 ? QChar(ch).digitValue() : -1;
        int v = d;
        if (base == 16 && d < 0) {
            const char16_t c = ch.unicode();
            v = c >= u'a' && c <= u'f' ? c - u'a' + 10 : -1;
        }
        if (v < 0 || v >= base)
            break;
        value = value * base + v;
        if (value > 0x10FFFF)
            return -1;
    }
    return static_cast<int>(value);
}

void AppendCodePoint(QString& out, int cp)
{
    if (cp < 0x10000) {
        out += QChar(static_cast<char16_t>(cp));
    } else {
        out += QChar(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
        out += QChar(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    }
}

// Result of scanning a start tag (or a processing instruction) for one attribute.
struct AttrScan
{
    bool found = false;
    int valueStart = 0; // with its quotes, if it has any
    int valueLen = 0;
    int insertAt = 0; // after the tag name or the last attribute
};

// Reads the attribute tokens of a tag from `from` (just after "<" or "<?") to `end`.
AttrScan ScanAttributes(QStringView s, int from, int end, QStringView name, bool noCase = false, bool pi = false)
{
    AttrScan r;
    r.insertAt = from;
    int i = from;
    bool first = true;
    bool afterEq = false;
    int eqAt = 0;
    int matched = 0; // 1: the requested name was read, 2: and then "="
    while (true) {
        while (i < end && IsWhite(s[i].unicode()))
            ++i;
        if (i >= end)
            break;
        const char16_t c = s[i].unicode();
        int tokEnd = 0;
        bool value = false;
        // as in the parser, a quote opens a value only after "="
        if (afterEq && (c == u'"' || c == u'\'')) {
            tokEnd = i + 1;
            while (tokEnd < end && s[tokEnd] != c)
                ++tokEnd;
            tokEnd = std::min(tokEnd + 1, end);
            value = true;
        } else if (afterEq) {
            tokEnd = i;
            while (tokEnd < end && !IsWhite(s[tokEnd].unicode()) && s[tokEnd] != u'>')
                ++tokEnd;
            value = true;
        } else if (c == u'/' || c == u'>' || c == u'?') {
            break;
        } else if (c == u'=' && !first) {
            afterEq = true;
            if (matched == 1)
                matched = 2;
            eqAt = i;
            r.insertAt = ++i;
            continue;
        } else {
            // the tag name ends where the parser ends it, so an edit cannot rename the tag
            tokEnd = i;
            while (tokEnd < end) {
                const char16_t t = s[tokEnd].unicode();
                if (IsWhite(t) || t == u'/' || t == u'>' || ((!first || pi) && (t == u'=' || t == u'?')))
                    break;
                ++tokEnd;
            }
            const QStringView tok = s.mid(i, tokEnd - i);
            if (first)
                first = false;
            else
                matched = (noCase ? EqualsNoCase(tok, name) : tok == name) ? 1 : 0;
        }
        if (value) {
            if (matched == 2) {
                r.found = true;
                r.valueStart = i;
                r.valueLen = tokEnd - i;
                return r;
            }
            matched = 0;
        }
        afterEq = false;
        i = tokEnd;
        r.insertAt = i;
    }
    // A new attribute right after a "=" without a value would become that value.
    if (afterEq)
        r.insertAt = eqAt;
    return r;
}

QString AttrValue(QStringView s, const AttrScan& a)
{
    QStringView v = s.mid(a.valueStart, a.valueLen);
    if (!v.isEmpty() && (v[0] == u'"' || v[0] == u'\'')) {
        v = v.mid(1);
        if (!v.isEmpty() && v.back() == s[a.valueStart])
            v.chop(1);
    }
    return CXXmlDoc::UnescapeXmlText(v.toString());
}

// A name an element or attribute can carry without changing how the text parses.
bool IsSafeName(const QString& name, bool element)
{
    if (name.isEmpty())
        return false;
    if (element && !xml::IsNameStart(name[0].unicode()))
        return false;
    for (QChar ch : name) {
        const char16_t c = ch.unicode();
        if (IsWhite(c) || c == u'<' || c == u'>' || c == u'/' || c == u'=' || c == u'"' || c == u'\'' || c == u'?' ||
            c == u'&')
            return false;
    }
    return true;
}

// The leading name of a find argument, or false when the argument has a form the finds do
// not accept. Only the leading name takes part in matching.
bool ParseFindName(const QString& arg, QStringView& lead)
{
    lead = QStringView();
    if (arg.isEmpty())
        return true;
    const QStringView s(arg);
    const qsizetype n = s.size();
    auto isStop = [](QChar c) { return c == u' ' || c == u'/' || c == u'=' || c == u'[' || c == u']'; };
    auto isNameChar = [&](QChar c) { return !isStop(c) && c != u'@' && c != u'\'' && c != u'"'; };
    auto readName = [&](qsizetype& i) {
        const qsizetype b = i;
        while (i < n && isNameChar(s[i]))
            ++i;
        return i > b;
    };
    qsizetype i = 0;
    if (!readName(i))
        return false;
    lead = s.left(i);
    while (i < n) {
        if (s[i] == u'[') {
            ++i;
            if (i < n && s[i].isDigit()) {
                while (i < n && s[i].isDigit())
                    ++i;
            } else {
                if (i < n && s[i] == u'@')
                    ++i;
                if (!readName(i))
                    return false;
                if (i < n && s[i] == u'=') {
                    ++i;
                    if (i < n && (s[i] == u'\'' || s[i] == u'"')) {
                        const QChar q = s[i];
                        const qsizetype close = s.indexOf(q, i + 1);
                        if (close < 0)
                            return false;
                        i = close + 1;
                    } else {
                        while (i < n && s[i] != u']')
                            ++i;
                    }
                }
            }
            if (i >= n || s[i] != u']')
                return false;
            ++i;
        } else if (s[i] == u'/') {
            ++i;
            if (i < n && s[i] == u'@') {
                ++i;
                return readName(i) && i == n;
            }
            if (!readName(i))
                return false;
        } else {
            return false;
        }
    }
    return true;
}

int UnitSize(int codePage) { return codePage == CP_UTF16 ? 2 : codePage == CP_UTF32 ? 4 : 1; }

QString DecodeToUtf16(const char* bytes, int count, int codePage)
{
    if (codePage != CP_UTF8)
        return DecodeCodePage(bytes, count, codePage);
    QString out;
    out.reserve(count);
    const char* p = bytes;
    const char* end = bytes + count;
    while (p < end) {
        const int cp = CXXmlDoc::DecodeUtf8Char(p, end);
        if (cp < 0)
            out += QChar(QChar::ReplacementCharacter);
        else
            AppendCodePoint(out, cp);
    }
    return out;
}

QByteArray EncodeFromUtf16(const char16_t* units, int count, int codePage, bool* lost)
{
    if (codePage != CP_UTF8)
        return EncodeCodePage(units, count, codePage, lost);
    QByteArray out;
    out.reserve(count * 3);
    char buf[4];
    for (int i = 0; i < count; ++i) {
        int cp = units[i];
        if (QChar::isHighSurrogate(units[i]) && i + 1 < count && QChar::isLowSurrogate(units[i + 1])) {
            cp = static_cast<int>(QChar::surrogateToUcs4(units[i], units[i + 1]));
            ++i;
        } else if (QChar::isSurrogate(units[i])) {
            cp = QChar::ReplacementCharacter;
        }
        int n = 0;
        CXXmlDoc::EncodeUtf8Char(cp, buf, n);
        out.append(buf, n);
    }
    return out;
}

QString FirstLine(const QString& text)
{
    qsizetype cut = 0;
    while (cut < text.size() && text[cut] != u'\r' && text[cut] != u'\n')
        ++cut;
    return text.left(cut);
}

} // namespace

// ---------------------------------------------------------------------------------------
// Element table

void CXXmlDoc::ElemTable::Resize(int size)
{
    if (size <= 0) {
        m_pages.clear();
        m_caps.clear();
        m_nSize = 0;
        return;
    }
    const size_t oldPages = m_pages.size();
    // growing adds at most one page at a time
    size = static_cast<int>(std::min<long long>(size, static_cast<long long>(oldPages + 1) * PAGE_SIZE));
    const size_t newPages = (static_cast<size_t>(size) + PAGE_SIZE - 1) >> PAGE_BITS;
    m_pages.resize(newPages);
    m_caps.resize(newPages, 0);
    for (size_t p = 0; p < newPages; ++p) {
        const int want = p == newPages - 1 ? size - static_cast<int>(p) * PAGE_SIZE : PAGE_SIZE;
        if (m_caps[p] >= want)
            continue;
        auto page = std::make_unique<ElemRecord[]>(static_cast<size_t>(want));
        if (m_caps[p] > 0)
            std::copy(m_pages[p].get(), m_pages[p].get() + m_caps[p], page.get());
        m_pages[p] = std::move(page);
        m_caps[p] = want;
    }
    m_nSize = size;
}

// ---------------------------------------------------------------------------------------
// Construction and parsing

CXXmlDoc::CXXmlDoc() { Parse(); }

CXXmlDoc::CXXmlDoc(const QString& text) : m_strDoc(text) { Parse(); }

CXXmlDoc::~CXXmlDoc() = default;

bool CXXmlDoc::SetDocText(const QString& text)
{
    m_strDoc = text;
    m_strResult.clear();
    if (text.isNull())
        m_table.Resize(0);
    return Parse();
}

void CXXmlDoc::ReserveElems(int size) { m_table.Resize(size); }

int CXXmlDoc::NewElem()
{
    if (m_iFreeElem >= m_table.Size())
        ReserveElems(std::max(m_table.Size() + m_table.Size() / 2, m_iFreeElem + 1));
    const int i = m_iFreeElem++;
    m_table[i] = ElemRecord();
    return i;
}

bool CXXmlDoc::Parse()
{
    m_nParentPos = m_nMainPos = m_nChildPos = 0;
    m_nNodeType = 0;
    m_iReleased = 0;
    m_iFreeElem = 1;
    ReserveElems(static_cast<int>(m_strDoc.size() / 64) + 8);
    m_table[0] = ElemRecord();
    if (m_strDoc.isEmpty())
        return false;

    ParseInto(m_strDoc, 0, 0);

    ElemRecord& doc = m_table[0];
    doc.nLength = static_cast<int>(m_strDoc.size());
    if (!doc.iFirstChild)
        AddResult(QStringLiteral("no_root_element"));
    else if (m_table[doc.iFirstChild].iNext)
        AddResult(QStringLiteral("root_has_sibling"));
    const ElemRecord& root = m_table[0];
    return !(root.nFlags & ELEM_NOT_WELLFORMED) && root.iFirstChild && !m_table[root.iFirstChild].iNext;
}

// Parses text into new records below iRoot; offsets count from the start of text.
int CXXmlDoc::ParseInto(QStringView text, int iRoot, int baseLevel)
{
    TagStack stack;
    int cur = iRoot;
    Tokenizer tok(text);
    int created = 0;
    bool unended = false;

    // Closes every element open above depth d as unended. The entries are logged innermost
    // first, the records are closed outermost first: each close then moves only its own
    // children, and the levels are set once at the end, so deep nesting stays linear.
    auto closeAbove = [&](int d, int offset2) {
        const int top = stack.Depth() - 1;
        if (top <= d)
            return;
        for (int k = top; k > d; --k)
            AddResult(QStringLiteral("unended_start_tag"), 0, stack.At(k).name.toString(),
                      m_table[stack.At(k).iElem].nStart, offset2);
        for (int k = d + 1; k <= top; ++k)
            CloseUnended(iRoot, stack.At(k).iElem);
        for (int k = top; k > d; --k)
            stack.Pop();
        unended = true;
    };

    for (;;) {
        const Token t = tok.Next();
        switch (t.kind) {
        case Token::StartTag:
        case Token::EmptyTag: {
            const int e = NewElem();
            ++created;
            ElemRecord& r = m_table[e];
            r.nStart = t.start;
            r.nStartTagLen = t.length;
            r.nLevel = baseLevel + stack.Depth();
            LinkLastChild(cur, e);
            if (t.kind == Token::EmptyTag) {
                m_table[e].nLength = t.length;
            } else {
                stack.Push(e, text.mid(t.nameStart, t.nameLen));
                cur = e;
            }
            break;
        }
        case Token::EndTag: {
            const QStringView name = text.mid(t.nameStart, t.nameLen);
            const int d = stack.Find(name);
            if (d < 0) {
                m_table[iRoot].nFlags |= ELEM_NOT_WELLFORMED;
                m_table[cur].nFlags |= ELEM_HAS_ERROR;
                AddResult(QStringLiteral("lone_end_tag"), 0, name.toString(), t.start);
                break;
            }
            closeAbove(d, t.start + 1);
            const int e = stack.At(d).iElem;
            ElemRecord& r = m_table[e];
            r.nLength = t.start + t.length - r.nStart;
            r.nEndTagLen = t.length;
            stack.Pop();
            cur = r.iParent;
            break;
        }
        case Token::Error:
            m_table[iRoot].nFlags |= ELEM_NOT_WELLFORMED;
            m_table[cur].nFlags |= ELEM_HAS_ERROR;
            if (t.errorType)
                AddResult(QLatin1String(t.error), LOG_TYPE, QLatin1String(t.errorType), t.start);
            else
                AddResult(QLatin1String(t.error), 0, QString(), t.start);
            break;
        case Token::End:
            closeAbove(-1, static_cast<int>(text.size()));
            if (unended)
                SetLevels(iRoot, baseLevel);
            return created;
        default:
            break;
        }
    }
}

// A start tag that never met its end tag: it ends with its start tag, and what was parsed
// as its content follows it as siblings. Levels are left to the caller.
void CXXmlDoc::CloseUnended(int iRoot, int iElem)
{
    ElemRecord& r = m_table[iElem];
    r.nFlags |= ELEM_UNENDED;
    r.nEndTagLen = 0;
    r.nLength = r.nStartTagLen;
    const int parent = r.iParent;
    if (const int first = r.iFirstChild) {
        const int last = m_table[first].iPrev;
        for (int c = first; c; c = m_table[c].iNext)
            m_table[c].iParent = parent;
        m_table[first].nFlags &= ~ELEM_FIRST_CHILD;
        m_table[first].iPrev = iElem;
        const int oldNext = r.iNext;
        r.iNext = first;
        m_table[last].iNext = oldNext;
        if (oldNext)
            m_table[oldNext].iPrev = last;
        else
            m_table[m_table[parent].iFirstChild].iPrev = last;
        r.iFirstChild = 0;
    }
    if (r.nFlags & ELEM_HAS_ERROR) {
        r.nFlags &= ~ELEM_HAS_ERROR;
        m_table[parent].nFlags |= ELEM_HAS_ERROR;
    }
    m_table[iRoot].nFlags |= ELEM_NOT_WELLFORMED;
}

// Sets the level of every element below iRoot from its depth.
void CXXmlDoc::SetLevels(int iRoot, int baseLevel)
{
    int i = m_table[iRoot].iFirstChild;
    int level = baseLevel;
    while (i) {
        m_table[i].nLevel = level;
        if (m_table[i].iFirstChild) {
            i = m_table[i].iFirstChild;
            ++level;
            continue;
        }
        while (!m_table[i].iNext) {
            i = m_table[i].iParent;
            --level;
            if (i == iRoot)
                return;
        }
        i = m_table[i].iNext;
    }
}

void CXXmlDoc::LinkLastChild(int iParent, int iElem)
{
    ElemRecord& r = m_table[iElem];
    r.iParent = iParent;
    r.iNext = 0;
    ElemRecord& p = m_table[iParent];
    if (!p.iFirstChild) {
        p.iFirstChild = iElem;
        r.nFlags |= ELEM_FIRST_CHILD;
        r.iPrev = iElem;
    } else {
        const int first = p.iFirstChild;
        const int last = m_table[first].iPrev;
        m_table[last].iNext = iElem;
        r.iPrev = last;
        m_table[first].iPrev = iElem;
    }
}

void CXXmlDoc::LinkAfter(int iParent, int iAfter, int iElem)
{
    if (!iAfter) {
        // only ever called so for a parent without children
        LinkLastChild(iParent, iElem);
        return;
    }
    ElemRecord& r = m_table[iElem];
    r.iParent = iParent;
    r.nFlags &= ~ELEM_FIRST_CHILD;
    r.iPrev = iAfter;
    r.iNext = m_table[iAfter].iNext;
    m_table[iAfter].iNext = iElem;
    if (r.iNext)
        m_table[r.iNext].iPrev = iElem;
    else
        m_table[m_table[iParent].iFirstChild].iPrev = iElem;
}

// Adds delta to one field of every record of a subtree, walking without recursion:
// documents may nest deeper than the stack allows.
void CXXmlDoc::AddToSubtree(int iRoot, int ElemRecord::*field, int delta)
{
    int i = iRoot;
    for (;;) {
        m_table[i].*field += delta;
        if (m_table[i].iFirstChild) {
            i = m_table[i].iFirstChild;
            continue;
        }
        while (i != iRoot && !m_table[i].iNext)
            i = m_table[i].iParent;
        if (i == iRoot)
            break;
        i = m_table[i].iNext;
    }
}

// After a splice of delta characters ending at element iElem: everything behind it moves,
// everything around it grows.
void CXXmlDoc::ShiftFollowing(int iElem, int delta)
{
    int i = iElem;
    while (i) {
        for (int s = m_table[i].iNext; s; s = m_table[s].iNext)
            AddToSubtree(s, &ElemRecord::nStart, delta);
        i = m_table[i].iParent;
        m_table[i].nLength += delta;
    }
}

void CXXmlDoc::Splice(int pos, int removed, const QString& insert)
{
    const qsizetype newLen = m_strDoc.size() - removed + insert.size();
    if (newLen > m_strDoc.capacity())
        m_strDoc.reserve(newLen + newLen / 2 + 128);
    m_strDoc.replace(pos, removed, insert);
}

// ---------------------------------------------------------------------------------------
// Result log

void CXXmlDoc::AddResult(const QString& event, int flags, const QString& text, int number, int number2)
{
    if (m_strResult.size() > 999)
        return;
    QString e = u'<' + event;
    if (!text.isEmpty()) {
        const char* attr = (flags & LOG_TYPE)       ? "type"
                           : (flags & LOG_ENCODING) ? "encoding"
                           : (flags & LOG_MSG)      ? "msg"
                                                    : "tagname";
        e += u' ' + QLatin1String(attr) + QStringLiteral("=\"") + EscapeXmlText(text, true) + u'"';
    }
    if (number != -1) {
        const char* attr = (flags & LOG_NUMBER) ? "n" : (flags & LOG_LENGTH) ? "length" : "offset";
        e += u' ' + QLatin1String(attr) + QStringLiteral("=\"") + QString::number(number) + u'"';
    }
    if (number2 != -1)
        e += QStringLiteral(" offset2=\"") + QString::number(number2) + u'"';
    m_strResult += e + QStringLiteral("/>");
}

// ---------------------------------------------------------------------------------------
// Navigation

bool CXXmlDoc::IsElement(int pos) const
{
    return pos > 0 && pos < m_iFreeElem && m_nNodeType == 1 && !(m_table[pos].nFlags & ELEM_RELEASED);
}

QString CXXmlDoc::GetTagName(int pos) const
{
    if (pos <= 0 || pos >= m_iFreeElem)
        return QString();
    const Token t = Tokenizer::TagNameAt(m_strDoc, m_table[pos].nStart);
    return m_strDoc.mid(t.nameStart, t.nameLen);
}

// The first of element i and its following siblings whose tag name is lead (any when empty).
int CXXmlDoc::FirstMatching(int i, QStringView lead) const
{
    for (; i && !lead.isEmpty(); i = m_table[i].iNext) {
        const Token t = Tokenizer::TagNameAt(m_strDoc, m_table[i].nStart);
        if (QStringView(m_strDoc).mid(t.nameStart, t.nameLen) == lead)
            break;
    }
    return i;
}

bool CXXmlDoc::FindElement(const QString& name)
{
    QStringView lead;
    if (!ParseFindName(name, lead))
        return false;
    const int i = FirstMatching(m_nMainPos ? m_table[m_nMainPos].iNext : m_table[m_nParentPos].iFirstChild, lead);
    if (!i)
        return false;
    m_nMainPos = i;
    m_nParentPos = m_table[i].iParent;
    m_nChildPos = 0;
    m_nNodeType = 1;
    return true;
}

bool CXXmlDoc::FindChildElement(const QString& name)
{
    if (!m_nMainPos && !FindElement())
        return false;
    QStringView lead;
    if (!ParseFindName(name, lead))
        return false;
    const int i = FirstMatching(m_nChildPos ? m_table[m_nChildPos].iNext : m_table[m_nMainPos].iFirstChild, lead);
    if (!i)
        return false;
    m_nChildPos = i;
    return true;
}

bool CXXmlDoc::IntoElement()
{
    if (!m_nMainPos || m_nNodeType != 1)
        return false;
    m_nParentPos = m_nMainPos;
    m_nMainPos = m_nChildPos;
    m_nChildPos = 0;
    m_nNodeType = m_nMainPos ? 1 : 0;
    return true;
}

bool CXXmlDoc::OutOfElement()
{
    if (!m_nParentPos)
        return false;
    m_nChildPos = m_nMainPos;
    m_nMainPos = m_nParentPos;
    m_nParentPos = m_table[m_nMainPos].iParent;
    m_nNodeType = 1;
    return true;
}

// ---------------------------------------------------------------------------------------
// Attributes and text

// Where the attributes of a start tag end: before its ">", or before the "/>" of an empty
// element even after an unquoted value, so an edit never moves the tag's end.
int CXXmlDoc::AttributesEnd(const ElemRecord& r)
{
    const bool empty = !r.nEndTagLen && !(r.nFlags & ELEM_UNENDED);
    return r.nStart + r.nStartTagLen - (empty ? 2 : 1);
}

QString CXXmlDoc::GetAttribute(int pos, const QString& name) const
{
    if (!IsElement(pos))
        return QString();
    const ElemRecord& r = m_table[pos];
    const AttrScan a = ScanAttributes(m_strDoc, r.nStart + 1, AttributesEnd(r), name);
    return a.found ? AttrValue(m_strDoc, a) : QString();
}

bool CXXmlDoc::SetAttribute(int pos, const QString& name, const QString& value, int /*flags*/)
{
    if (!IsElement(pos) || !IsSafeName(name, false))
        return false;
    const ElemRecord r = m_table[pos];
    const AttrScan a = ScanAttributes(m_strDoc, r.nStart + 1, AttributesEnd(r), name);
    const QString quoted = u'"' + EscapeXmlText(value, true) + u'"';
    int delta = 0;
    if (a.found) {
        Splice(a.valueStart, a.valueLen, quoted);
        delta = static_cast<int>(quoted.size()) - a.valueLen;
    } else {
        const QString attr = u' ' + name + u'=' + quoted;
        Splice(a.insertAt, 0, attr);
        delta = static_cast<int>(attr.size());
    }
    m_table[pos].nStartTagLen += delta;
    m_table[pos].nLength += delta;
    for (int c = m_table[pos].iFirstChild; c; c = m_table[c].iNext)
        AddToSubtree(c, &ElemRecord::nStart, delta);
    ShiftFollowing(pos, delta);
    return true;
}

QString CXXmlDoc::GetText(int pos) const
{
    if (!IsElement(pos))
        return QString();
    const ElemRecord& r = m_table[pos];
    if (!r.nEndTagLen || r.iFirstChild)
        return QString();
    const int from = r.nStart + r.nStartTagLen;
    const QStringView content = QStringView(m_strDoc).mid(from, r.nLength - r.nStartTagLen - r.nEndTagLen);
    if (!content.contains(u'<'))
        return UnescapeXmlText(content.data(), static_cast<int>(content.size()));
    QString out;
    Tokenizer tok(content);
    for (Token t = tok.Next(); t.kind != Token::End; t = tok.Next()) {
        if (t.kind == Token::Text)
            out += UnescapeXmlText(content.data() + t.start, t.length);
        else if (t.kind == Token::CData && t.length >= 12)
            out += content.mid(t.start + 9, t.length - 12);
    }
    return out;
}

QString CXXmlDoc::EscapeXmlText(const QString& text, bool attribute)
{
    QString out;
    out.reserve(text.size() + 16);
    for (QChar ch : text) {
        switch (ch.unicode()) {
        case u'&':
            out += QLatin1String("&amp;");
            break;
        case u'<':
            out += QLatin1String("&lt;");
            break;
        case u'>':
            out += QLatin1String("&gt;");
            break;
        case u'"':
            if (attribute)
                out += QLatin1String("&quot;");
            else
                out += ch;
            break;
        case u'\'':
            if (attribute)
                out += QLatin1String("&apos;");
            else
                out += ch;
            break;
        default:
            out += ch;
        }
    }
    return out;
}

QString CXXmlDoc::WrapCdata(const QString& text)
{
    QString inner = text;
    inner.replace(QLatin1String("]]>"), QLatin1String("]]]]><![CDATA[>"));
    return QLatin1String("<![CDATA[") + inner + QLatin1String("]]>");
}

QString CXXmlDoc::UnescapeXmlText(const QChar* text, int length)
{
    QString out;
    out.reserve(length);
    int i = 0;
    while (i < length) {
        const QChar c = text[i];
        if (c != u'&') {
            out += c;
            ++i;
            continue;
        }
        // up to 9 characters, then ";"
        int semi = -1;
        for (int k = 0; k < 10 && i + 1 + k < length; ++k) {
            const char16_t ch = text[i + 1 + k].unicode();
            if (ch == u';') {
                semi = i + 1 + k;
                break;
            }
            if (ch >= 128 || k == 9)
                break;
        }
        int cp = 0;
        if (semi > i + 1) {
            const QStringView raw(text + i + 1, semi - i - 1);
            const QString lower = LowerAscii(raw);
            if (lower.startsWith(QLatin1String("#x")))
                cp = ParseDigits(QStringView(lower).mid(2), 16);
            else if (lower.startsWith(u'#'))
                cp = ParseDigits(QStringView(lower).mid(1), 10);
            else {
                const EntityMaps& maps = Entities();
                auto it = maps.exact.constFind(raw.toString());
                if (it != maps.exact.constEnd())
                    cp = *it;
                else
                    cp = maps.folded.value(lower, 0);
            }
        }
        // Surrogate code points and values beyond Unicode have no UTF-16 form of their own;
        // they stay literal like an unknown name rather than making lone surrogates.
        if (cp <= 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out += c;
            ++i;
            continue;
        }
        AppendCodePoint(out, cp);
        i = semi + 1;
    }
    return out;
}

// ---------------------------------------------------------------------------------------
// Adding elements

struct CXXmlDoc::InsertPlan
{
    int pos = 0;
    int removed = 0;
    QString prefix;
    QString suffix;
    int iAfter = 0;
    int open = 0; // 1: "<p/>" is opened, 2: "<p>" without end gets one
    bool spaced = false;
    int parentNameLen = 0;
};

CXXmlDoc::InsertPlan CXXmlDoc::PlanInsert(int iParent, int iAfter, int flags) const
{
    InsertPlan plan;
    const bool lineBreak = !(flags & ADD_NO_LINE_BREAK);
    plan.iAfter = iAfter;
    if (iAfter) {
        plan.pos = m_table[iAfter].nStart + m_table[iAfter].nLength;
    } else if (iParent) {
        const ElemRecord& p = m_table[iParent];
        const Token name = Tokenizer::TagNameAt(m_strDoc, p.nStart);
        plan.parentNameLen = name.nameLen;
        const QString endTag = QLatin1String("</") + m_strDoc.mid(name.nameStart, name.nameLen);
        const QString open = lineBreak ? QStringLiteral(">\r\n") : QStringLiteral(">");
        if (p.nFlags & ELEM_UNENDED) {
            plan.open = 2;
            plan.pos = p.nStart + p.nStartTagLen - 1;
            plan.prefix = open;
            plan.suffix = endTag;
        } else if (!p.nEndTagLen) {
            plan.open = 1;
            plan.pos = p.nStart + p.nStartTagLen - 2;
            plan.removed = 1;
            // "<p //>" would still end in "/>": a blank keeps the opened tag a start tag
            plan.spaced = m_strDoc[plan.pos - 1] == u'/';
            plan.prefix = plan.spaced ? u' ' + open : open;
            plan.suffix = endTag;
        } else {
            plan.pos = p.nStart + p.nLength - p.nEndTagLen;
            if (p.iFirstChild)
                plan.iAfter = m_table[p.iFirstChild].iPrev;
            else if (lineBreak && p.nLength == p.nStartTagLen + p.nEndTagLen)
                plan.prefix = CRLF;
        }
    } else {
        plan.pos = static_cast<int>(m_strDoc.size());
        if (m_table[0].iFirstChild)
            plan.iAfter = m_table[m_table[0].iFirstChild].iPrev;
    }
    if (lineBreak && !plan.open) {
        int j = plan.pos;
        while (j < m_strDoc.size() && IsWhite(m_strDoc[j].unicode()))
            ++j;
        if (j == m_strDoc.size() || m_strDoc[j] == u'<')
            plan.pos = j;
    }
    return plan;
}

void CXXmlDoc::OpenParent(int iParent, const InsertPlan& plan)
{
    if (!plan.open)
        return;
    ElemRecord& p = m_table[iParent];
    if (plan.open == 1 && !plan.spaced)
        p.nStartTagLen -= 1;
    p.nFlags &= ~ELEM_UNENDED;
    p.nEndTagLen = plan.parentNameLen + 3;
}

// Moves what follows an insertion that ends at element iLast (0: the parent had no
// children, so only the parent and what follows it are concerned).
void CXXmlDoc::ShiftAfterInsert(int iParent, int iLast, int delta)
{
    if (iLast) {
        ShiftFollowing(iLast, delta);
        return;
    }
    m_table[iParent].nLength += delta;
    if (iParent)
        ShiftFollowing(iParent, delta);
}

bool CXXmlDoc::AddElement(const QString& name, const QString& text, int flags)
{
    return InsertElement(name, text, flags);
}

bool CXXmlDoc::InsertElement(const QString& name, const QString& text, int flags)
{
    const bool hasText = !text.isEmpty();
    if ((flags & ADD_START_TAG_ONLY) && hasText)
        return false;
    const bool asChild = flags & ADD_AS_CHILD;
    if (asChild && !m_nMainPos)
        return false;
    if (!IsSafeName(name, true))
        return false;
    const int iParent = asChild ? m_nMainPos : m_nParentPos;
    const int iAfter = asChild ? m_nChildPos : m_nMainPos;

    QString elem;
    int startTagLen = 0;
    int endTagLen = 0;
    uint32_t elemFlags = 0;
    if (hasText) {
        elem = u'<' + name + u'>' + ((flags & ADD_CDATA) ? WrapCdata(text) : EscapeXmlText(text)) +
               QLatin1String("</") + name + u'>';
        startTagLen = static_cast<int>(name.size()) + 2;
        endTagLen = static_cast<int>(name.size()) + 3;
    } else {
        if (flags & ADD_START_TAG_ONLY) {
            elem = u'<' + name + u'>';
            elemFlags = ELEM_UNENDED;
        } else {
            elem = u'<' + name + ((flags & ADD_SPACE_BEFORE_SLASH) ? QLatin1String(" />") : QLatin1String("/>"));
        }
        startTagLen = static_cast<int>(elem.size());
    }
    const int elemLen = static_cast<int>(elem.size());

    const InsertPlan plan = PlanInsert(iParent, iAfter, flags);
    const QString insert = plan.prefix + elem + ((flags & ADD_NO_LINE_BREAK) ? QString() : CRLF) + plan.suffix;
    Splice(plan.pos, plan.removed, insert);

    const int e = NewElem();
    ElemRecord& r = m_table[e];
    r.nStart = plan.pos + static_cast<int>(plan.prefix.size());
    r.nLength = elemLen;
    r.nStartTagLen = startTagLen;
    r.nEndTagLen = endTagLen;
    r.nLevel = iParent ? m_table[iParent].nLevel + 1 : 0;
    r.nFlags = elemFlags;
    OpenParent(iParent, plan);
    LinkAfter(iParent, plan.iAfter, e);
    ShiftFollowing(e, static_cast<int>(insert.size()) - plan.removed);

    if (asChild) {
        m_nChildPos = e;
    } else {
        m_nMainPos = e;
        m_nChildPos = 0;
    }
    m_nNodeType = 1;
    return true;
}

bool CXXmlDoc::InsertDocument(const QString& text)
{
    const int iParent = m_nParentPos;
    const int iAfter = m_nMainPos;
    const int baseLevel = iParent ? m_table[iParent].nLevel + 1 : 0;

    const int root = NewElem();
    m_table[root].nLevel = baseLevel;
    ParseInto(text, root, baseLevel);
    const int first = m_table[root].iFirstChild;
    const bool wellFormed = first && !(m_table[root].nFlags & ELEM_NOT_WELLFORMED);

    QString body;
    int spanStart = 0;
    if (wellFormed) {
        const ElemRecord& last = m_table[m_table[first].iPrev];
        spanStart = m_table[first].nStart;
        body = text.mid(spanStart, last.nStart + last.nLength - spanStart) + CRLF;
    } else {
        body = text;
    }
    const InsertPlan plan = PlanInsert(iParent, iAfter, wellFormed ? 0 : ADD_NO_LINE_BREAK);
    const QString insert = plan.prefix + body + plan.suffix;
    Splice(plan.pos, plan.removed, insert);

    const int move = plan.pos + static_cast<int>(plan.prefix.size()) - spanStart;
    OpenParent(iParent, plan);
    int prev = plan.iAfter;
    for (int c = first; c;) {
        const int next = m_table[c].iNext;
        AddToSubtree(c, &ElemRecord::nStart, move);
        m_table[c].nFlags &= ~ELEM_FIRST_CHILD;
        LinkAfter(iParent, prev, c);
        prev = c;
        c = next;
    }
    ElemRecord& tmp = m_table[root];
    tmp.iFirstChild = 0;
    tmp.nFlags |= ELEM_RELEASED;
    tmp.iNext = m_iReleased;
    m_iReleased = root;

    ShiftAfterInsert(iParent, first ? prev : plan.iAfter, static_cast<int>(insert.size()) - plan.removed);
    m_nMainPos = first;
    m_nChildPos = 0;
    m_nNodeType = first ? 1 : 0;
    return wellFormed;
}

// ---------------------------------------------------------------------------------------
// Encodings

int CXXmlDoc::GetEncodingCodePage(const QString& name)
{
    if (name.isEmpty())
        return 0;
    if (name.startsWith(QLatin1String("UTF-32")))
        return CP_UTF32;
    if (name.size() >= 100)
        return -1;
    return EncodingNames().value(LowerAscii(name), -1);
}

int CXXmlDoc::DecodeUtf8Char(const char*& p, const char* end)
{
    if (p >= end)
        return -1;
    const auto lead = static_cast<unsigned char>(*p++);
    if (lead < 0x80)
        return lead;
    int more = 0;
    int cp = 0;
    if ((lead & 0xE0) == 0xC0) {
        more = 1;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        more = 2;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        more = 3;
        cp = lead & 0x07;
    } else {
        return -1;
    }
    while (more-- > 0) {
        if (p >= end)
            return -1;
        const auto c = static_cast<unsigned char>(*p);
        if ((c & 0xC0) != 0x80)
            return -1;
        ++p;
        cp = (cp << 6) | (c & 0x3F);
    }
    return cp > 0x10FFFF ? -1 : cp;
}

void CXXmlDoc::EncodeUtf8Char(int cp, char* dest, int& count)
{
    char buf[4];
    int n = 0;
    if (cp < 0x80) {
        buf[n++] = static_cast<char>(cp);
    } else if (cp < 0x800) {
        buf[n++] = static_cast<char>(0xC0 | (cp >> 6));
        buf[n++] = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        buf[n++] = static_cast<char>(0xE0 | (cp >> 12));
        buf[n++] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        buf[n++] = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        buf[n++] = static_cast<char>(0xF0 | ((cp >> 18) & 0x07));
        buf[n++] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        buf[n++] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        buf[n++] = static_cast<char>(0x80 | (cp & 0x3F));
    }
    if (dest)
        std::memcpy(dest + count, buf, static_cast<size_t>(n));
    count += n;
}

int CXXmlDoc::ConvertEncoding(const QString& fromName, const QString& toName, const void* source, int sourceUnits,
                              void* dest, int destCapacity, bool* lost)
{
    if (lost)
        *lost = false;
    int from = GetEncodingCodePage(fromName);
    int to = GetEncodingCodePage(toName);
    if (from < 0)
        from = 0;
    if (to < 0)
        to = 0;
    if (!source || sourceUnits <= 0)
        return 0;

    QByteArray out; // in units of the target encoding
    const auto* bytes = static_cast<const char*>(source);
    const auto* u16 = static_cast<const char16_t*>(source);
    const auto* u32 = static_cast<const uint32_t*>(source);
    if (from == to) {
        out = QByteArray(bytes, static_cast<qsizetype>(sourceUnits) * UnitSize(from));
    } else if (from == CP_UTF32) {
        if (to == CP_UTF8 || to == CP_UTF16) {
            QString text;
            for (int i = 0; i < sourceUnits; ++i) {
                const uint32_t cp = u32[i];
                AppendCodePoint(text, cp > 0x10FFFF ? '?' : static_cast<int>(cp));
            }
            out = to == CP_UTF16 ? QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2)
                                 : EncodeFromUtf16(reinterpret_cast<const char16_t*>(text.utf16()),
                                                   static_cast<int>(text.size()), CP_UTF8, lost);
        }
    } else if (from == CP_UTF16) {
        if (to == CP_UTF32) {
            for (int i = 0; i < sourceUnits; ++i) {
                uint32_t cp = u16[i];
                if (QChar::isSurrogate(u16[i])) {
                    if (i + 1 < sourceUnits && u16[i + 1] != 0) {
                        cp = 0x10000 + ((static_cast<uint32_t>(u16[i]) & 0x3FF) << 10) + (u16[i + 1] & 0x3FF);
                        ++i;
                    } else {
                        cp = '?';
                    }
                }
                out.append(reinterpret_cast<const char*>(&cp), 4);
            }
        } else {
            out = EncodeFromUtf16(u16, sourceUnits, to, lost);
        }
    } else if (to == CP_UTF32) {
        if (from == CP_UTF8) {
            const char* p = bytes;
            const char* end = bytes + sourceUnits;
            while (p < end) {
                int cp = DecodeUtf8Char(p, end);
                if (cp < 0)
                    cp = '?';
                const auto v = static_cast<uint32_t>(cp);
                out.append(reinterpret_cast<const char*>(&v), 4);
            }
        }
    } else {
        const QString text = DecodeToUtf16(bytes, sourceUnits, from);
        if (to == CP_UTF16)
            out = QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        else
            out = EncodeFromUtf16(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<int>(text.size()), to,
                                  lost);
    }

    const int unit = UnitSize(to);
    const int units = static_cast<int>(out.size() / unit);
    if (!dest)
        return units;
    const int n = std::min(units, std::max(destCapacity, 0));
    std::memcpy(dest, out.constData(), static_cast<size_t>(n) * static_cast<size_t>(unit));
    return n;
}

QString CXXmlDoc::GetDeclaredEncoding(const QString& text)
{
    const QStringView s(text);
    Tokenizer tok(s);
    Token t = tok.Next();
    if (t.kind == Token::PI && t.start == 0) {
        int e = 2;
        while (e < t.length && !IsWhite(s[e].unicode()) && s[e] != u'?')
            ++e;
        if (EqualsNoCase(s.mid(2, e - 2), u"xml")) {
            const AttrScan a = ScanAttributes(s, 2, t.length - 2, u"encoding", true, true);
            return a.found ? AttrValue(s, a) : QString();
        }
    }
    // An HTML page names its encoding in a meta tag of its head.
    bool inHtml = false;
    for (; t.kind != Token::End && t.kind != Token::Error; t = tok.Next()) {
        const QStringView name = s.mid(t.nameStart, t.nameLen);
        if (t.kind == Token::StartTag || t.kind == Token::EmptyTag) {
            if (!inHtml) {
                if (!EqualsNoCase(name, u"html"))
                    return QString();
                inHtml = true;
                continue;
            }
            if (!EqualsNoCase(name, u"meta"))
                continue;
            const int end = t.start + t.length - (t.kind == Token::EmptyTag ? 2 : 1);
            const AttrScan equiv = ScanAttributes(s, t.start + 1, end, u"http-equiv", true);
            if (!equiv.found || !EqualsNoCase(AttrValue(s, equiv), u"Content-Type"))
                continue;
            const AttrScan content = ScanAttributes(s, t.start + 1, end, u"content", true);
            if (!content.found)
                continue;
            const QString value = AttrValue(s, content);
            QStringList words;
            QString word;
            for (QChar ch : value) {
                if (IsWhite(ch.unicode()) || ch == u';' || ch == u'=') {
                    if (!word.isEmpty())
                        words << word;
                    word.clear();
                    if (ch == u'=')
                        words << QStringLiteral("=");
                } else {
                    word += ch;
                }
            }
            if (!word.isEmpty())
                words << word;
            for (qsizetype i = 0; i + 2 < words.size(); ++i)
                if (EqualsNoCase(words[i], u"charset") && words[i + 1] == u"=")
                    return words[i + 2];
        } else if (t.kind == Token::EndTag && inHtml && EqualsNoCase(name, u"head")) {
            return QString();
        }
    }
    return QString();
}

// ---------------------------------------------------------------------------------------
// Files

bool CXXmlDoc::WriteTextFile(const QString& text, const QString& path, QString* result)
{
    CXXmlDoc log;
    auto fileError = [&log](int error) {
        log.AddResult(QStringLiteral("file_error"), LOG_MSG | LOG_NUMBER,
                      FirstLine(QString::fromLocal8Bit(std::strerror(error))), error);
    };
    auto finish = [&](bool ok) {
        if (result)
            *result = log.GetResultLog();
        return ok;
    };

    std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!file) {
        fileError(errno);
        return finish(false);
    }
    QString encoding = GetDeclaredEncoding(text);
    if (encoding.isEmpty())
        encoding = QStringLiteral("UTF-8");
    int codePage = GetEncodingCodePage(encoding);
    if (codePage < 0)
        codePage = 0;

    const QString utf16 = QStringLiteral("UTF-16");
    const int units = static_cast<int>(text.size());
    const int needed = ConvertEncoding(utf16, encoding, text.utf16(), units, nullptr, 0);
    QByteArray data(static_cast<qsizetype>(needed) * UnitSize(codePage), Qt::Uninitialized);
    bool lost = false;
    const int written = ConvertEncoding(utf16, encoding, text.utf16(), units, data.data(), needed, &lost);
    data.truncate(static_cast<qsizetype>(written) * UnitSize(codePage));
    log.AddResult(QStringLiteral("converted_from"), LOG_ENCODING | LOG_LENGTH, utf16, units);
    if (lost)
        log.AddResult(QStringLiteral("conversion_loss"));

    bool ok =
        std::fwrite(data.constData(), 1, static_cast<size_t>(data.size()), file) == static_cast<size_t>(data.size());
    if (!ok)
        fileError(errno);
    log.AddResult(QStringLiteral("write"), LOG_ENCODING | LOG_LENGTH, encoding, static_cast<int>(data.size()));
    if (std::fclose(file) != 0) {
        fileError(errno);
        ok = false;
    }
    return finish(ok);
}
