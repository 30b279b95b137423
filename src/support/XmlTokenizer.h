#pragma once

#include <QtCore/QStringView>

// The tokenizer of the XML document: one token at a time from an offset, recognising only
// what the document needs to find elements (no validation).
namespace xml {

inline bool IsWhite(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }

// What may follow "<" in a start tag: A-Z, ":", "_", and everything above "`".
inline bool IsNameStart(char16_t c) { return (c >= u'A' && c <= u'Z') || c == u':' || c == u'_' || c > u'`'; }

struct Token
{
    enum Kind { End, StartTag, EmptyTag, EndTag, PI, Comment, CData, Doctype, White, Text, Error };
    Kind kind = End;
    int start = 0;
    int length = 0;
    int nameStart = 0; // tags and processing instructions
    int nameLen = 0;
    const char* error = nullptr;     // event of an error token
    const char* errorType = nullptr; // what was unterminated
};

class Tokenizer
{
public:
    explicit Tokenizer(QStringView text, int pos = 0) : m_s(text), m_pos(pos) {}
    Token Next();

    // The name bounds of the tag that starts at `start` ("<name" or "</name").
    static Token TagNameAt(QStringView text, int start);

private:
    Token StartTag(Token t);
    Token Doctype(Token t);
    Token Delimited(Token t, Token::Kind kind, QStringView terminator, int contentFrom, const char* type);
    Token SyntaxError(Token t, const char* error, int from);
    Token Unterminated(Token t, const char* type);
    Token Finish(Token t, int end);

    QStringView m_s;
    int m_pos;
};

} // namespace xml
