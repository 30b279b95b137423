#include "JetFunctions.h"

#include "XDateTime.h"

#include <QtCore/QChar>

#include <sqlite3.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

// ---------------------------------------------------------------------------------------
// LIKE

struct LikeToken
{
    enum Kind { Literal, One, Any, Class } kind = Literal;
    char32_t ch = 0;                                   // Literal: the character, case-folded
    bool negated = false;                              // Class
    std::vector<std::pair<char32_t, char32_t>> ranges; // Class: single characters are c-c
};

struct LikePattern
{
    QString source;
    char32_t escape = 0;
    bool invalid = false;
    std::vector<LikeToken> tokens;
};

char32_t Fold(char32_t c) { return QChar::toCaseFolded(c); }

std::vector<char32_t> CodePoints(QStringView s)
{
    std::vector<char32_t> out;
    out.reserve(static_cast<std::size_t>(s.size()));
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t u = s[i].unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < s.size() && QChar::isLowSurrogate(s[i + 1].unicode())) {
            out.push_back(QChar::surrogateToUcs4(u, s[i + 1].unicode()));
            ++i;
        } else {
            out.push_back(u);
        }
    }
    return out;
}

void CompileLike(LikePattern& pat)
{
    const std::vector<char32_t> p = CodePoints(pat.source);
    const std::size_t n = p.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char32_t c = p[i];
        LikeToken tok;
        if (pat.escape && c == pat.escape) {
            if (i + 1 >= n) {
                pat.invalid = true;
                return;
            }
            tok.ch = Fold(p[++i]);
        } else if (c == U'%') {
            if (!pat.tokens.empty() && pat.tokens.back().kind == LikeToken::Any)
                continue;
            tok.kind = LikeToken::Any;
        } else if (c == U'_') {
            tok.kind = LikeToken::One;
        } else if (c == U'[') {
            std::size_t j = i + 1;
            tok.kind = LikeToken::Class;
            if (j < n && p[j] == U'!') {
                tok.negated = true;
                ++j;
            }
            const std::size_t first = j;
            while (j < n && p[j] != U']')
                ++j;
            if (j >= n) {
                pat.invalid = true;
                return;
            }
            // "[]" matches the empty text: nothing to add.
            if (j == first && !tok.negated) {
                i = j;
                continue;
            }
            for (std::size_t k = first; k < j; ++k) {
                // A "-" between two characters makes a range; at either end it is itself.
                if (k + 2 < j && p[k + 1] == U'-') {
                    tok.ranges.emplace_back(p[k], p[k + 2]);
                    k += 2;
                } else {
                    tok.ranges.emplace_back(p[k], p[k]);
                }
            }
            i = j;
        } else {
            tok.ch = Fold(c);
        }
        pat.tokens.push_back(std::move(tok));
    }
}

bool InRange(char32_t c, char32_t lo, char32_t hi) { return c >= lo && c <= hi; }

bool MatchOne(const LikeToken& tok, char32_t c)
{
    switch (tok.kind) {
    case LikeToken::Literal:
        return tok.ch == Fold(c);
    case LikeToken::One:
        return true;
    case LikeToken::Any:
        return false;
    case LikeToken::Class: {
        const char32_t variants[4] = {c, Fold(c), QChar::toUpper(c), QChar::toLower(c)};
        bool hit = false;
        for (const auto& [lo, hi] : tok.ranges) {
            for (char32_t v : variants)
                if (InRange(v, lo, hi) || InRange(v, Fold(lo), Fold(hi)))
                    hit = true;
            if (hit)
                break;
        }
        return hit != tok.negated;
    }
    }
    return false;
}

bool MatchTokens(const std::vector<LikeToken>& tokens, QStringView textView)
{
    const std::vector<char32_t> text = CodePoints(textView);
    const std::size_t n = text.size(), m = tokens.size();
    constexpr std::size_t none = std::numeric_limits<std::size_t>::max();
    std::size_t t = 0, p = 0, starP = none, starT = 0;
    // Every token but "%" takes exactly one character, so the last "%" is the only place to
    // back up to.
    while (t < n) {
        if (p < m && tokens[p].kind == LikeToken::Any) {
            starP = p++;
            starT = t;
            continue;
        }
        if (p < m && MatchOne(tokens[p], text[t])) {
            ++p;
            ++t;
            continue;
        }
        if (starP != none) {
            p = starP + 1;
            t = ++starT;
            continue;
        }
        return false;
    }
    while (p < m && tokens[p].kind == LikeToken::Any)
        ++p;
    return p == m;
}

QStringView TextOf(sqlite3_value* v)
{
    const auto* data = static_cast<const char16_t*>(sqlite3_value_text16(v));
    const int bytes = sqlite3_value_bytes16(v);
    return data ? QStringView(data, bytes / 2) : QStringView();
}

void FreePattern(void* p) { delete static_cast<LikePattern*>(p); }

void LikeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            return sqlite3_result_null(ctx);
    char32_t escape = 0;
    if (argc == 3) {
        const std::vector<char32_t> e = CodePoints(TextOf(argv[2]));
        if (e.size() != 1)
            return sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
        escape = e[0];
    }
    auto* pat = static_cast<LikePattern*>(sqlite3_get_auxdata(ctx, 0));
    const QStringView source = TextOf(argv[0]);
    if (!pat || pat->escape != escape || pat->source != source) {
        auto* fresh = new LikePattern;
        fresh->source = source.toString();
        fresh->escape = escape;
        CompileLike(*fresh);
        sqlite3_set_auxdata(ctx, 0, fresh, FreePattern);
        // SQLite may free the data at once; then use it for this row only.
        pat = static_cast<LikePattern*>(sqlite3_get_auxdata(ctx, 0));
        if (!pat) {
            LikePattern once;
            once.source = source.toString();
            once.escape = escape;
            CompileLike(once);
            if (once.invalid)
                return sqlite3_result_error(ctx, "Invalid pattern string", -1);
            return sqlite3_result_int(ctx, MatchTokens(once.tokens, TextOf(argv[1])) ? 1 : 0);
        }
    }
    if (pat->invalid)
        return sqlite3_result_error(ctx, "Invalid pattern string", -1);
    sqlite3_result_int(ctx, MatchTokens(pat->tokens, TextOf(argv[1])) ? 1 : 0);
}

// ---------------------------------------------------------------------------------------
// Scalar functions

void DateFunction(sqlite3_context* ctx, int, sqlite3_value**) { sqlite3_result_double(ctx, XClock::Today().Day()); }

void NowFunction(sqlite3_context* ctx, int, sqlite3_value**) { sqlite3_result_double(ctx, XClock::Now().Day()); }

void ResultText(sqlite3_context* ctx, QStringView text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

void LenFunction(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    sqlite3_result_int(ctx, static_cast<int>(TextOf(argv[0]).size()));
}

void IntFunction(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    sqlite3_value* v = argv[0];
    int type = sqlite3_value_type(v);
    if (type == SQLITE_TEXT || type == SQLITE_BLOB)
        type = sqlite3_value_numeric_type(v);
    if (type == SQLITE_INTEGER)
        return sqlite3_result_int64(ctx, sqlite3_value_int64(v));
    if (type != SQLITE_FLOAT)
        return sqlite3_result_null(ctx);
    const double d = std::floor(sqlite3_value_double(v));
    if (d >= -9.2e18 && d <= 9.2e18)
        sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(d));
    else
        sqlite3_result_double(ctx, d);
}

bool HasNull(int argc, sqlite3_value** argv)
{
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            return true;
    return false;
}

qsizetype CountArg(sqlite3_value* v) { return std::max<qsizetype>(0, sqlite3_value_int(v)); }

void LeftFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (HasNull(argc, argv))
        return sqlite3_result_null(ctx);
    ResultText(ctx, TextOf(argv[0]).left(CountArg(argv[1])));
}

void RightFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (HasNull(argc, argv))
        return sqlite3_result_null(ctx);
    ResultText(ctx, TextOf(argv[0]).right(CountArg(argv[1])));
}

void MidFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (HasNull(argc, argv))
        return sqlite3_result_null(ctx);
    const QStringView s = TextOf(argv[0]);
    const qsizetype start = std::max(1, sqlite3_value_int(argv[1])) - 1;
    if (start >= s.size())
        return ResultText(ctx, QStringView());
    ResultText(ctx, argc == 3 ? s.mid(start, CountArg(argv[2])) : s.mid(start));
}

// FORMATDATE(day number, format): the program's own date formatter (FormatDateTime), so
// titles built in SQL read like the dates the program shows ("%Y年%#m月%#d日", "%A").
void FormatDateFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (HasNull(argc, argv))
        return sqlite3_result_null(ctx);
    const QString text = FormatDateTime(XDateTime(sqlite3_value_double(argv[0])), TextOf(argv[1]).toString());
    ResultText(ctx, text);
}

// ---------------------------------------------------------------------------------------
// FIRST and LAST: the value of the group's first or last row, NULL included.

struct PickState
{
    sqlite3_value* value = nullptr;
    bool set = false;
};

template <bool Last> void PickStep(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    auto* st = static_cast<PickState*>(sqlite3_aggregate_context(ctx, sizeof(PickState)));
    if (!st || (st->set && !Last))
        return;
    sqlite3_value_free(st->value);
    st->value = sqlite3_value_dup(argv[0]);
    st->set = true;
}

void PickFinal(sqlite3_context* ctx)
{
    auto* st = static_cast<PickState*>(sqlite3_aggregate_context(ctx, 0));
    if (!st || !st->value)
        return sqlite3_result_null(ctx);
    sqlite3_result_value(ctx, st->value);
    sqlite3_value_free(st->value);
    st->value = nullptr;
}

// ---------------------------------------------------------------------------------------
// Rewrite

bool IsWordChar(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'@' || c == u'$' || c.unicode() >= 0x80; }

} // namespace

bool JetLikeMatch(QStringView pattern, QStringView text, char32_t escape, bool* invalid)
{
    LikePattern pat;
    pat.source = pattern.toString();
    pat.escape = escape;
    CompileLike(pat);
    if (invalid)
        *invalid = pat.invalid;
    return !pat.invalid && MatchTokens(pat.tokens, text);
}

bool RegisterJetFunctions(sqlite3* db)
{
    constexpr int pure = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    struct Scalar
    {
        const char* name;
        int args;
        int flags;
        void (*fn)(sqlite3_context*, int, sqlite3_value**);
    };
    const Scalar scalars[] = {
        {"DATE", 0, SQLITE_UTF8, DateFunction},
        {"NOW", 0, SQLITE_UTF8, NowFunction},
        {"LEN", 1, pure, LenFunction},
        {"INT", 1, pure, IntFunction},
        {"JLEFT", 2, pure, LeftFunction},
        {"JRIGHT", 2, pure, RightFunction},
        {"MID", 2, pure, MidFunction},
        {"MID", 3, pure, MidFunction},
        {"FORMATDATE", 2, pure, FormatDateFunction},
        {"like", 2, SQLITE_UTF16 | SQLITE_DETERMINISTIC, LikeFunction},
        {"like", 3, SQLITE_UTF16 | SQLITE_DETERMINISTIC, LikeFunction},
    };
    for (const Scalar& s : scalars)
        if (sqlite3_create_function_v2(db, s.name, s.args, s.flags, nullptr, s.fn, nullptr, nullptr, nullptr) !=
            SQLITE_OK)
            return false;
    if (sqlite3_create_function_v2(db, "FIRST", 1, SQLITE_UTF8, nullptr, nullptr, PickStep<false>, PickFinal,
                                   nullptr) != SQLITE_OK)
        return false;
    if (sqlite3_create_function_v2(db, "LAST", 1, SQLITE_UTF8, nullptr, nullptr, PickStep<true>, PickFinal, nullptr) !=
        SQLITE_OK)
        return false;
    return true;
}

QString RewriteJetSql(const QString& sql)
{
    QString out;
    out.reserve(sql.size() + 16);
    const qsizetype n = sql.size();
    qsizetype i = 0;
    // Copies from i up to and including the closing character; an unclosed one runs to the end.
    auto copyQuoted = [&](QChar close) {
        qsizetype j = i + 1;
        while (j < n) {
            if (sql[j] == close) {
                // a doubled quote inside a literal is one quote, not the end
                if (close != u']' && j + 1 < n && sql[j + 1] == close) {
                    j += 2;
                    continue;
                }
                break;
            }
            ++j;
        }
        const qsizetype end = std::min(j + 1, n);
        out += QStringView(sql).mid(i, end - i);
        i = end;
    };
    while (i < n) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"') {
            copyQuoted(c);
        } else if (c == u'[') {
            copyQuoted(u']');
        } else if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            qsizetype j = sql.indexOf(u'\n', i);
            j = j < 0 ? n : j + 1;
            out += QStringView(sql).mid(i, j - i);
            i = j;
        } else if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            qsizetype j = sql.indexOf(QLatin1String("*/"), i + 2);
            j = j < 0 ? n : j + 2;
            out += QStringView(sql).mid(i, j - i);
            i = j;
        } else if (IsWordChar(c)) {
            qsizetype j = i;
            while (j < n && IsWordChar(sql[j]))
                ++j;
            const QStringView word = QStringView(sql).mid(i, j - i);
            qsizetype k = j;
            while (k < n && sql[k].isSpace())
                ++k;
            const bool call = k < n && sql[k] == u'(';
            if (call &&
                (word.compare(u"LEFT", Qt::CaseInsensitive) == 0 || word.compare(u"RIGHT", Qt::CaseInsensitive) == 0)) {
                out += u'J';
                out += word;
            } else if (!call && word.compare(u"MOD", Qt::CaseInsensitive) == 0) {
                out += u'%'; // Jet's remainder operator; SQLite's keeps the sign of the dividend alike
            } else if (word.compare(u"@@Identity", Qt::CaseInsensitive) == 0) {
                out += QLatin1String("last_insert_rowid()");
            } else {
                out += word;
            }
            i = j;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}
