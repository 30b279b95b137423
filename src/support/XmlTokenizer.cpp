#include "XmlTokenizer.h"

namespace xml {

namespace {

int NameEnd(QStringView s, int from)
{
    int i = from;
    while (i < s.size()) {
        const char16_t c = s[i].unicode();
        if (IsWhite(c) || c == u'/' || c == u'>')
            break;
        ++i;
    }
    return i;
}

} // namespace

Token Tokenizer::TagNameAt(QStringView text, int start)
{
    Token t;
    t.start = start;
    int from = start + 1;
    const bool pi = from < text.size() && text[from] == u'?';
    if (from < text.size() && (text[from] == u'/' || pi))
        ++from;
    t.nameStart = from;
    int end = NameEnd(text, from);
    if (pi) {
        const qsizetype q = text.mid(from, end - from).indexOf(u'?');
        if (q >= 0)
            end = from + static_cast<int>(q);
    }
    t.nameLen = end - from;
    return t;
}

Token Tokenizer::Finish(Token t, int end)
{
    t.length = end - t.start;
    m_pos = end;
    return t;
}

Token Tokenizer::Unterminated(Token t, const char* type)
{
    t.kind = Token::Error;
    t.error = "unterminated_tag_syntax";
    t.errorType = type;
    return Finish(t, static_cast<int>(m_s.size()));
}

// The error token runs to the next ">" (inclusive) or to the end.
Token Tokenizer::SyntaxError(Token t, const char* error, int from)
{
    t.kind = Token::Error;
    t.error = error;
    const qsizetype gt = m_s.indexOf(u'>', from);
    return Finish(t, gt < 0 ? static_cast<int>(m_s.size()) : static_cast<int>(gt) + 1);
}

// Markup that ends with a multi-character terminator, tested at each ">".
Token Tokenizer::Delimited(Token t, Token::Kind kind, QStringView terminator, int contentFrom, const char* type)
{
    const int back = static_cast<int>(terminator.size()) - 1;
    for (qsizetype gt = m_s.indexOf(u'>', contentFrom); gt >= 0; gt = m_s.indexOf(u'>', gt + 1)) {
        if (gt - back >= contentFrom && m_s.mid(gt - back, back + 1) == terminator) {
            t.kind = kind;
            return Finish(t, static_cast<int>(gt) + 1);
        }
    }
    return Unterminated(t, type);
}

Token Tokenizer::StartTag(Token t)
{
    const int n = static_cast<int>(m_s.size());
    t.nameStart = t.start + 1;
    int i = NameEnd(m_s, t.nameStart);
    t.nameLen = i - t.nameStart;
    bool afterEq = false;
    bool unquoted = false;
    while (i < n) {
        const char16_t c = m_s[i].unicode();
        if (c == u'>') {
            // "/>" ends an empty element, except where the "/" is the end of an unquoted
            // value ('<a x=1/>' has the value "1/")
            bool empty = m_s[i - 1] == u'/';
            if (empty && unquoted) {
                const char16_t before = m_s[i - 2].unicode();
                empty = IsWhite(before) || before == u'"' || before == u'\'';
            }
            t.kind = empty ? Token::EmptyTag : Token::StartTag;
            return Finish(t, i + 1);
        }
        if (unquoted) {
            if (IsWhite(c))
                unquoted = false;
        } else if (afterEq && (c == u'"' || c == u'\'')) {
            const qsizetype close = m_s.indexOf(QChar(c), i + 1);
            if (close < 0)
                break;
            i = static_cast<int>(close);
            afterEq = false;
        } else if (afterEq && !IsWhite(c)) {
            unquoted = true;
            afterEq = false;
        } else if (c == u'=') {
            afterEq = true;
        }
        ++i;
    }
    return Unterminated(t, "start_tag");
}

Token Tokenizer::Doctype(Token t)
{
    const int n = static_cast<int>(m_s.size());
    int i = t.start + 3;
    while (i < n) {
        const char16_t c = m_s[i].unicode();
        if (c == u'>') {
            t.kind = Token::Doctype;
            return Finish(t, i + 1);
        }
        if (c == u'<' && i + 1 < n && m_s[i + 1] == u'!') {
            const char16_t k = i + 2 < n ? m_s[i + 2].unicode() : 0;
            if (k == u'-') {
                // an inner comment may hold ">"
                qsizetype end = m_s.indexOf(QStringView(u"-->"), i + 4);
                if (end < 0)
                    return Unterminated(t, "document_type");
                i = static_cast<int>(end) + 3;
                continue;
            }
            if (k == u'A' || k == u'E' || k == u'N') {
                // an inner declaration: its quoted literals may hold ">"
                int j = i + 3;
                while (j < n && m_s[j] != u'>') {
                    if (m_s[j] == u'"' || m_s[j] == u'\'') {
                        const qsizetype close = m_s.indexOf(m_s[j], j + 1);
                        if (close < 0)
                            return Unterminated(t, "document_type");
                        j = static_cast<int>(close);
                    }
                    ++j;
                }
                if (j >= n)
                    return Unterminated(t, "document_type");
                i = j + 1;
                continue;
            }
            return SyntaxError(t, "doctype_tag_syntax", i);
        }
        ++i;
    }
    return Unterminated(t, "document_type");
}

Token Tokenizer::Next()
{
    Token t;
    t.start = m_pos;
    const int n = static_cast<int>(m_s.size());
    if (m_pos >= n)
        return t;
    if (m_s[m_pos] != u'<') {
        bool white = true;
        int i = m_pos;
        for (; i < n && m_s[i] != u'<'; ++i)
            if (white && !IsWhite(m_s[i].unicode()))
                white = false;
        t.kind = white ? Token::White : Token::Text;
        return Finish(t, i);
    }
    if (m_pos + 1 >= n)
        return Unterminated(t, "tag");
    const char16_t c = m_s[m_pos + 1].unicode();
    const char16_t c2 = m_pos + 2 < n ? m_s[m_pos + 2].unicode() : 0;
    const char16_t c3 = m_pos + 3 < n ? m_s[m_pos + 3].unicode() : 0;
    switch (c) {
    case u'/': {
        t.nameStart = m_pos + 2;
        t.nameLen = NameEnd(m_s, t.nameStart) - t.nameStart;
        const qsizetype gt = m_s.indexOf(u'>', m_pos + 2);
        if (gt < 0)
            return Unterminated(t, "end_tag");
        t.kind = Token::EndTag;
        return Finish(t, static_cast<int>(gt) + 1);
    }
    case u'?': {
        t.nameStart = m_pos + 2;
        const Token name = TagNameAt(m_s, m_pos);
        t.nameLen = name.nameLen;
        return Delimited(t, Token::PI, u"?>", m_pos + 2, "processing_instruction");
    }
    case u'!':
        if (c2 == u'-') {
            if (c3 != u'-')
                return SyntaxError(t, "comment_tag_syntax", m_pos + 1);
            return Delimited(t, Token::Comment, u"-->", m_pos + 4, "comment");
        }
        if (c2 == u'[') {
            if (c3 != u'C')
                return SyntaxError(t, "cdata_section_syntax", m_pos + 1);
            return Delimited(t, Token::CData, u"]]>", m_pos + 4, "cdata_section");
        }
        if (c2 == u'D')
            return Doctype(t);
        return SyntaxError(t, "exclamation_tag_syntax", m_pos + 1);
    default:
        break;
    }
    if (IsNameStart(c))
        return StartTag(t);
    return SyntaxError(t, "first_tag_syntax", m_pos + 1);
}

} // namespace xml
