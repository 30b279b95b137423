#include "RtfReader.h"

#include "CodePages.h"
#include "RtfFormat.h"

#include <QtCore/QHash>
#include <QtCore/QUrl>
#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtGui/QTextCursor>
#include <QtGui/QTextDocument>
#include <QtGui/QTextTable>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>
#include <map>
#include <set>
#include <vector>

namespace {

// Bounds that keep hostile input cheap: deeper groups are skipped, wider rows cut, and a
// table whose column grid would grow beyond the limit starts a new table.
constexpr int kMaxDepth = 200;
constexpr int kMaxCellsPerRow = 64;
constexpr int kMaxGridColumns = 256;
constexpr int kMaxTwips = 31680; // 22 inches
constexpr int kMaxFonts = 4096;
constexpr int kMaxColors = 4096;
constexpr int kMaxPictPixels = 4000;

enum class Dest { Body, FontTable, ColorTable, Pict, Object, Skip };

using CharState = RtfCharState;

struct TabStop
{
    int twips;
    QTextOption::TabType type;
};

struct ParaState
{
    int align = 0; // 0 left, 1 centre, 2 right, 3 justified
    int left = 0;
    int right = 0;
    int first = 0;
    int before = 0;
    int after = 0;
    int lineSpacing = 0;
    bool lineMultiple = false;
    std::vector<TabStop> tabs;
    QTextOption::TabType nextTabType = QTextOption::LeftTab;
    bool inTable = false;
    bool breakBefore = false;
};

struct GroupState
{
    CharState chr;
    ParaState para;
    Dest dest = Dest::Body;
    int uc = 1;
    bool star = false; // "\*" seen: the group is skipped unless its word is known
};

struct Run
{
    QString text;
    QTextCharFormat format;
    CharState state;
    bool image = false;
};

struct Para
{
    QTextBlockFormat format;
    std::vector<Run> runs;
};

struct Border
{
    QTextFrameFormat::BorderStyle style = QTextFrameFormat::BorderStyle_None;
    int width = -1; // twips; -1 not given
    QColor color;
    bool set = false;
};

struct CellDef
{
    int right = 0;
    Border borders[4]; // top, left, bottom, right
    QColor shading;
    int vertical = 0; // 0 top, 1 centre, 2 bottom
    int hmerge = 0;   // 1 first, 2 merged into the one before
    int vmerge = 0;   // 1 first, 2 merged into the one above
};

struct RowDef
{
    Border borders[6]; // \trbrdrt l b r h v: for the cells that have none of their own
    int left = 0;
    int gap = 108;
    int align = 0;
    int height = 0;
    std::vector<CellDef> cells;
};

struct Row
{
    RowDef def;
    std::vector<std::vector<Para>> cells;
};

struct Item
{
    bool table = false;
    Para para;
    std::vector<Row> rows;
};

struct Font
{
    QString name;
    int codePage = 0;
};

struct Picture
{
    QString name;
    QImage image;
};

int CodePageOfCharset(int charset, int documentPage)
{
    switch (charset) {
    case 0:
        return 1252;
    case 2:
        return 1252;
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 255:
        return 437;
    default:
        return documentPage;
    }
}

// A code page iconv cannot convert would lose the text: such a page is not taken.
bool KnownCodePage(int codePage)
{
    thread_local std::map<int, bool> known;
    const auto it = known.find(codePage);
    if (it != known.end())
        return it->second;
    const bool ok = codePage > 0 && ToWide(QByteArrayLiteral("A"), codePage) == QLatin1String("A");
    if (known.size() < 64)
        known[codePage] = ok;
    return ok;
}

int ClampTwips(int v) { return std::clamp(v, -kMaxTwips, kMaxTwips); }

double Px(int twips) { return twips / kTwipsPerPixel; }

class Parser
{
public:
    explicit Parser(const QByteArray& rtf) : m_data(rtf) {}

    qsizetype Parse();
    void Build(QTextDocument& doc);

private:
    GroupState& St() { return m_stack.back(); }
    bool Dropped();
    void OpenGroup();
    void CloseGroup();
    void Word(const QByteArray& word, bool hasParam, int param);
    void Symbol(char c);
    void Byte(char c);
    void HexByte(char c);
    void AppendChar(QChar c);
    void FlushBytes();
    void FlushText();
    int CurrentCodePage();
    QTextCharFormat CharFormat(const CharState& s) const;
    QTextBlockFormat BlockFormat(const ParaState& p, bool breakBefore) const;
    QColor Color(int index) const;
    void EndParagraph();
    void EndCell();
    void EndRow();
    void FinishRow();
    void FinishPicture();
    void CommitFont();
    bool BodyWord(const QByteArray& w, bool hasParam, int param);
    bool TableWord(const QByteArray& w, bool hasParam, int param);
    bool CharWord(const QByteArray& w, bool hasParam, int param);
    bool ParaWord(const QByteArray& w, bool hasParam, int param);
    void BuildTable(QTextCursor& cursor, const std::vector<Row>& rows);
    void InsertParas(QTextCursor& cursor, const std::vector<Para>& paras, bool blockFree, bool inCell = false);

    const QByteArray& m_data;
    qsizetype m_pos = 0;
    std::vector<GroupState> m_stack;
    int m_overflow = 0;
    int m_ucSkip = 0;

    int m_docCodePage = 936;
    int m_defaultFont = 0;
    std::map<int, Font> m_fonts;
    int m_fontNumber = -1;
    int m_fontCharset = -1;
    int m_fontCodePage = 0;
    std::vector<QColor> m_colors;
    int m_red = -1, m_green = -1, m_blue = -1;

    QByteArray m_bytes;
    QString m_text;

    std::vector<Run> m_runs;
    std::vector<Para> m_cellParas;
    std::vector<std::vector<Para>> m_cells;
    RowDef m_row;
    CellDef m_cell;
    Border* m_border = nullptr;
    bool m_nextBreak = false;
    std::vector<Item> m_items;

    struct
    {
        QByteArray kind;
        QByteArray hex;
        QByteArray binary;
        int w = 0, h = 0, goalW = 0, goalH = 0, scaleX = 100, scaleY = 100;
    } m_pict;
    std::vector<Picture> m_pictures;
};

qsizetype Parser::Parse()
{
    qsizetype start = 0;
    while (start < m_data.size() && std::isspace(static_cast<unsigned char>(m_data[start])))
        ++start;
    if (!m_data.mid(start, 5).startsWith("{\\rtf"))
        return 0;
    m_pos = start;
    const qsizetype n = m_data.size();
    bool closed = false;
    while (m_pos < n && !closed) {
        const char c = m_data[m_pos];
        if (c == '{') {
            ++m_pos;
            OpenGroup();
        } else if (c == '}') {
            ++m_pos;
            CloseGroup();
            closed = m_stack.empty();
        } else if (c == '\\') {
            ++m_pos;
            if (m_pos >= n)
                break;
            const char d = m_data[m_pos];
            if (std::isalpha(static_cast<unsigned char>(d))) {
                const qsizetype wordStart = m_pos;
                while (m_pos < n && std::isalpha(static_cast<unsigned char>(m_data[m_pos])))
                    ++m_pos;
                const QByteArray word = m_data.mid(wordStart, std::min<qsizetype>(m_pos - wordStart, 32));
                bool hasParam = false;
                bool negative = false;
                long long value = 0;
                if (m_pos + 1 < n && m_data[m_pos] == '-' &&
                    std::isdigit(static_cast<unsigned char>(m_data[m_pos + 1]))) {
                    negative = true;
                    ++m_pos;
                }
                while (m_pos < n && std::isdigit(static_cast<unsigned char>(m_data[m_pos]))) {
                    hasParam = true;
                    value = std::min<long long>(value * 10 + (m_data[m_pos] - '0'), 1LL << 32);
                    ++m_pos;
                }
                if (m_pos < n && m_data[m_pos] == ' ')
                    ++m_pos;
                value = std::clamp<long long>(negative ? -value : value, INT_MIN, INT_MAX);
                Word(word, hasParam, static_cast<int>(value));
            } else if (d == '\'') {
                ++m_pos;
                const QByteArray hex = m_data.mid(m_pos, 2);
                bool ok = false;
                const int v = hex.size() == 2 ? hex.toInt(&ok, 16) : 0;
                if (ok) {
                    m_pos += 2;
                    HexByte(static_cast<char>(v));
                }
            } else {
                ++m_pos;
                Symbol(d);
            }
        } else {
            ++m_pos;
            if (c != '\r' && c != '\n')
                Byte(c);
        }
    }
    // an unclosed document ends where the text ends
    while (!m_stack.empty())
        CloseGroup();
    return m_pos;
}

void Parser::OpenGroup()
{
    FlushText();
    m_ucSkip = 0;
    if (m_stack.size() >= kMaxDepth) {
        ++m_overflow;
        return;
    }
    if (m_stack.empty())
        m_stack.emplace_back();
    else
        m_stack.push_back(St());
    St().star = false;
}

void Parser::CloseGroup()
{
    m_ucSkip = 0;
    if (m_overflow > 0) {
        --m_overflow;
        return;
    }
    if (m_stack.empty())
        return;
    FlushText();
    const Dest closing = St().dest;
    if (closing == Dest::FontTable) {
        if (m_fontNumber >= 0 && !m_text.isEmpty())
            CommitFont();
        m_text.clear();
    }
    if (m_stack.size() == 1) {
        // the end of the document: the last paragraph has no mark of its own
        if (St().para.inTable && !m_runs.empty())
            EndCell();
        if (!m_cells.empty())
            FinishRow();
        Item item;
        item.para.format = BlockFormat(St().para, St().para.breakBefore || m_nextBreak);
        item.para.runs = std::move(m_runs);
        m_runs.clear();
        m_items.push_back(std::move(item));
        m_stack.pop_back();
        return;
    }
    m_stack.pop_back();
    if (closing == Dest::Pict && St().dest != Dest::Pict)
        FinishPicture();
}

int Parser::CurrentCodePage()
{
    if (St().dest == Dest::FontTable) {
        const int page = m_fontCodePage > 0 ? m_fontCodePage : CodePageOfCharset(m_fontCharset, m_docCodePage);
        return KnownCodePage(page) ? page : m_docCodePage;
    }
    const int f = St().chr.font >= 0 ? St().chr.font : m_defaultFont;
    const auto it = m_fonts.find(f);
    return it != m_fonts.end() && it->second.codePage > 0 ? it->second.codePage : m_docCodePage;
}

void Parser::FlushBytes()
{
    if (m_bytes.isEmpty())
        return;
    m_text += ToWide(m_bytes, CurrentCodePage());
    m_bytes.clear();
}

void Parser::FlushText()
{
    if (m_stack.empty())
        return;
    FlushBytes();
    if (m_text.isEmpty() || St().dest != Dest::Body)
        return; // a font name goes on collecting up to its ";"

    if (!m_runs.empty() && !m_runs.back().image && m_runs.back().state == St().chr) {
        m_runs.back().text += m_text;
    } else {
        Run run;
        run.text = m_text;
        run.state = St().chr;
        run.format = CharFormat(St().chr);
        m_runs.push_back(std::move(run));
    }
    m_text.clear();
}

// Outside the document, or a character of the fallback text after \uN.
bool Parser::Dropped()
{
    if (m_stack.empty())
        return true;
    if (m_ucSkip > 0) {
        --m_ucSkip;
        return true;
    }
    return false;
}

void Parser::AppendChar(QChar c)
{
    if (Dropped())
        return;
    const Dest d = St().dest;
    if (d != Dest::Body && d != Dest::FontTable)
        return;
    FlushBytes();
    m_text += c;
}

void Parser::Byte(char c)
{
    if (Dropped())
        return;
    switch (St().dest) {
    case Dest::Body:
        if (c != '\0')
            m_bytes += c;
        break;
    case Dest::FontTable:
        if (c == ';') {
            FlushBytes();
            CommitFont();
        } else if (c != '\0') {
            m_bytes += c;
        }
        break;
    case Dest::ColorTable:
        if (c == ';') {
            if (m_colors.size() < kMaxColors)
                m_colors.push_back(m_red < 0 && m_green < 0 && m_blue < 0
                                       ? QColor()
                                       : QColor(std::max(m_red, 0), std::max(m_green, 0), std::max(m_blue, 0)));
            m_red = m_green = m_blue = -1;
        }
        break;
    case Dest::Pict:
        if (std::isxdigit(static_cast<unsigned char>(c)))
            m_pict.hex += c;
        break;
    case Dest::Object:
    case Dest::Skip:
        break;
    }
}

void Parser::HexByte(char c)
{
    if (Dropped())
        return;
    const Dest d = St().dest;
    if ((d == Dest::Body || d == Dest::FontTable) && c != '\0')
        m_bytes += c;
}

void Parser::CommitFont()
{
    FlushBytes();
    QString name = m_text.trimmed();
    m_text.clear();
    if (m_fontNumber >= 0 && (m_fonts.size() < kMaxFonts || m_fonts.count(m_fontNumber))) {
        Font& f = m_fonts[m_fontNumber];
        f.name = name;
        const int page = m_fontCodePage > 0 ? m_fontCodePage : CodePageOfCharset(m_fontCharset, m_docCodePage);
        f.codePage = KnownCodePage(page) ? page : 0;
    }
    m_fontNumber = -1;
    m_fontCharset = -1;
    m_fontCodePage = 0;
}

void Parser::Symbol(char c)
{
    if (m_stack.empty())
        return;
    if (c == '*') {
        St().star = true;
        return;
    }
    if (c == '\\' || c == '{' || c == '}') {
        Byte(c);
        return;
    }
    if (m_ucSkip > 0) {
        --m_ucSkip;
        return;
    }
    switch (c) {
    case '~':
        AppendChar(QChar(0x00A0));
        break;
    case '-':
        AppendChar(QChar(0x00AD));
        break;
    case '_':
        AppendChar(QChar(0x2011));
        break;
    case '\r':
    case '\n':
        if (St().dest == Dest::Body)
            EndParagraph();
        break;
    default:
        break;
    }
}

void Parser::Word(const QByteArray& w, bool hasParam, int param)
{
    if (m_stack.empty())
        return;
    GroupState& st = St();
    if (w == "bin") {
        // raw bytes follow: picture data or something to step over
        FlushText();
        const qsizetype count = std::min<qsizetype>(std::max(param, 0), m_data.size() - m_pos);
        if (st.dest == Dest::Pict)
            m_pict.binary += m_data.mid(m_pos, count);
        m_pos += count;
        return;
    }
    if (st.dest == Dest::Skip)
        return;
    if (w == "u") {
        FlushBytes();
        const int skip = st.uc;
        m_ucSkip = 0;
        if (param != 0 || hasParam)
            AppendChar(QChar(static_cast<char16_t>(param & 0xFFFF)));
        m_ucSkip = skip;
        return;
    }
    if (m_ucSkip > 0) {
        --m_ucSkip;
        return;
    }
    FlushText();

    const bool star = st.star;
    st.star = false;
    // destinations
    if (w == "fonttbl") {
        st.dest = Dest::FontTable;
        return;
    }
    if (w == "colortbl") {
        st.dest = Dest::ColorTable;
        m_colors.clear();
        m_red = m_green = m_blue = -1;
        return;
    }
    if (w == "pict") {
        if (st.dest != Dest::Body) {
            st.dest = Dest::Skip;
            return;
        }
        st.dest = Dest::Pict;
        m_pict = {};
        return;
    }
    if (w == "shppict" || w == "fldrslt" || w == "pntext" || w == "listtext")
        return; // their content is shown as it stands
    if (w == "object" || w == "shp") {
        if (st.dest == Dest::Body)
            st.dest = Dest::Object;
        return;
    }
    if (w == "result" || w == "shprslt") {
        if (st.dest == Dest::Object)
            st.dest = Dest::Body;
        return;
    }
    static const std::set<QByteArray> skipped = {"stylesheet",
                                                 "info",
                                                 "header",
                                                 "headerl",
                                                 "headerr",
                                                 "headerf",
                                                 "footer",
                                                 "footerl",
                                                 "footerr",
                                                 "footerf",
                                                 "footnote",
                                                 "fldinst",
                                                 "nonshppict",
                                                 "xe",
                                                 "tc",
                                                 "nonesttables",
                                                 "listtable",
                                                 "listoverridetable",
                                                 "rsidtbl",
                                                 "generator",
                                                 "falt",
                                                 "panose",
                                                 "annotation",
                                                 "atnid",
                                                 "atnauthor",
                                                 "template",
                                                 "revtbl",
                                                 "filetbl",
                                                 "pgdsctbl",
                                                 "themedata",
                                                 "colorschememapping",
                                                 "latentstyles",
                                                 "datastore",
                                                 "xmlnstbl",
                                                 "mmathPr",
                                                 "bkmkstart",
                                                 "bkmkend",
                                                 "fontemb",
                                                 "fontfile",
                                                 "keywords",
                                                 "comment",
                                                 "title",
                                                 "subject",
                                                 "author",
                                                 "operator",
                                                 "objdata",
                                                 "blipuid"};
    if (star || skipped.count(w)) {
        st.dest = Dest::Skip;
        return;
    }

    switch (st.dest) {
    case Dest::FontTable:
        if (w == "f") {
            if (m_fontNumber >= 0 && !m_text.isEmpty())
                CommitFont();
            m_fontNumber = std::max(param, 0);
            m_fontCharset = -1;
            m_fontCodePage = 0;
        } else if (w == "fcharset") {
            m_fontCharset = param;
        } else if (w == "cpg") {
            m_fontCodePage = KnownCodePage(param) ? param : 0;
        }
        return;
    case Dest::ColorTable:
        if (w == "red")
            m_red = std::clamp(param, 0, 255);
        else if (w == "green")
            m_green = std::clamp(param, 0, 255);
        else if (w == "blue")
            m_blue = std::clamp(param, 0, 255);
        return;
    case Dest::Pict:
        if (w == "pngblip" || w == "jpegblip" || w == "wmetafile" || w == "emfblip" || w == "dibitmap" ||
            w == "wbitmap" || w == "macpict" || w == "pmmetafile")
            m_pict.kind = w;
        else if (w == "picw")
            m_pict.w = param;
        else if (w == "pich")
            m_pict.h = param;
        else if (w == "picwgoal")
            m_pict.goalW = param;
        else if (w == "pichgoal")
            m_pict.goalH = param;
        else if (w == "picscalex")
            m_pict.scaleX = param;
        else if (w == "picscaley")
            m_pict.scaleY = param;
        return;
    default:
        break;
    }

    if (w == "ansicpg") {
        if (KnownCodePage(param))
            m_docCodePage = param;
    } else if (w == "mac" || w == "pc" || w == "pca") {
        const int page = w == "mac" ? 10000 : w == "pc" ? 437 : 850;
        if (KnownCodePage(page))
            m_docCodePage = page;
    } else if (w == "deff") {
        m_defaultFont = std::max(param, 0);
    } else if (w == "uc") {
        st.uc = std::clamp(param, 0, 16);
    } else if (CharWord(w, hasParam, param) || ParaWord(w, hasParam, param) || TableWord(w, hasParam, param)) {
    } else if (st.dest == Dest::Body) {
        BodyWord(w, hasParam, param);
    }
}

bool Parser::CharWord(const QByteArray& w, bool hasParam, int param)
{
    CharState& c = St().chr;
    const bool on = !hasParam || param != 0;
    if (w == "plain")
        c = CharState{};
    else if (w == "f")
        c.font = std::max(param, 0);
    else if (w == "fs")
        c.halfPoints = hasParam ? std::clamp(param, 1, 3276) : 24;
    else if (w == "b")
        c.bold = on;
    else if (w == "i")
        c.italic = on;
    else if (w == "ul" || w == "ulw" || w == "uld" || w == "uldb" || w == "uldash" || w == "ulth" || w == "ulwave")
        c.underline = on;
    else if (w == "ulnone")
        c.underline = false;
    else if (w == "strike" || w == "striked")
        c.strike = on;
    else if (w == "cf")
        c.fore = std::max(param, 0);
    else if (w == "cb" || w == "highlight" || w == "chcbpat")
        c.back = std::max(param, 0);
    else if (w == "super")
        c.vertical = on ? 1 : 0;
    else if (w == "sub")
        c.vertical = on ? 2 : 0;
    else if (w == "nosupersub")
        c.vertical = 0;
    else
        return false;
    return true;
}

bool Parser::ParaWord(const QByteArray& w, bool hasParam, int param)
{
    ParaState& p = St().para;
    if (w == "pard") {
        p = ParaState{};
    } else if (w == "ql") {
        p.align = 0;
    } else if (w == "qc") {
        p.align = 1;
    } else if (w == "qr") {
        p.align = 2;
    } else if (w == "qj") {
        p.align = 3;
    } else if (w == "li" || w == "lin") {
        p.left = ClampTwips(param);
    } else if (w == "ri" || w == "rin") {
        p.right = ClampTwips(param);
    } else if (w == "fi") {
        p.first = ClampTwips(param);
    } else if (w == "sb") {
        p.before = std::clamp(param, 0, kMaxTwips);
    } else if (w == "sa") {
        p.after = std::clamp(param, 0, kMaxTwips);
    } else if (w == "sl") {
        p.lineSpacing = ClampTwips(param);
    } else if (w == "slmult") {
        p.lineMultiple = !hasParam || param != 0;
    } else if (w == "tqr") {
        p.nextTabType = QTextOption::RightTab;
    } else if (w == "tqc") {
        p.nextTabType = QTextOption::CenterTab;
    } else if (w == "tqdec") {
        p.nextTabType = QTextOption::DelimiterTab;
    } else if (w == "tx" || w == "tb") {
        if (p.tabs.size() < 64)
            p.tabs.push_back({std::clamp(param, 0, kMaxTwips), p.nextTabType});
        p.nextTabType = QTextOption::LeftTab;
    } else if (w == "intbl") {
        p.inTable = true;
    } else if (w == "itap") {
        p.inTable = param > 0;
    } else if (w == "pagebb") {
        p.breakBefore = !hasParam || param != 0;
    } else {
        return false;
    }
    return true;
}

bool Parser::TableWord(const QByteArray& w, bool /*hasParam*/, int param)
{
    static const QByteArray sides[4] = {"clbrdrt", "clbrdrl", "clbrdrb", "clbrdrr"};
    if (w == "trowd") {
        m_row = RowDef{};
        m_cell = CellDef{};
        m_border = nullptr;
    } else if (w == "trgaph") {
        m_row.gap = std::clamp(param, 0, kMaxTwips);
    } else if (w == "trleft") {
        m_row.left = ClampTwips(param);
    } else if (w == "trql") {
        m_row.align = 0;
    } else if (w == "trqc") {
        m_row.align = 1;
    } else if (w == "trqr") {
        m_row.align = 2;
    } else if (w == "trrh") {
        m_row.height = ClampTwips(param);
    } else if (w == "cellx") {
        m_cell.right = ClampTwips(param);
        if (m_row.cells.size() < kMaxCellsPerRow)
            m_row.cells.push_back(m_cell);
        m_cell = CellDef{};
        m_border = nullptr;
    } else if (w.startsWith("clbrdr")) {
        m_border = nullptr;
        for (int i = 0; i < 4; ++i)
            if (w == sides[i])
                m_border = &m_cell.borders[i];
        if (m_border)
            m_border->set = true;
    } else if (w == "trbrdrt" || w == "trbrdrl" || w == "trbrdrb" || w == "trbrdrr" || w == "trbrdrh" ||
               w == "trbrdrv") {
        static const char order[] = "tlbrhv";
        m_border = &m_row.borders[std::strchr(order, w.back()) - order];
        m_border->set = true;
    } else if (w.startsWith("trbrdr") || w == "brdrt" || w == "brdrl" || w == "brdrb" || w == "brdrr" || w == "box" ||
               w.startsWith("chbrdr")) {
        // borders of paragraphs and characters are not kept
        m_border = nullptr;
    } else if (w.startsWith("brdr")) {
        if (!m_border)
            return true;
        if (w == "brdrw")
            m_border->width = std::clamp(param, 0, 1000);
        else if (w == "brdrcf")
            m_border->color = Color(param);
        else if (w == "brdrnone" || w == "brdrnil" || w == "brdrtbl")
            m_border->style = QTextFrameFormat::BorderStyle_None;
        else if (w == "brdrdb")
            m_border->style = QTextFrameFormat::BorderStyle_Double;
        else if (w == "brdrdot")
            m_border->style = QTextFrameFormat::BorderStyle_Dotted;
        else if (w == "brdrdash" || w == "brdrdashsm")
            m_border->style = QTextFrameFormat::BorderStyle_Dashed;
        else
            m_border->style = QTextFrameFormat::BorderStyle_Solid; // \brdrs, \brdrth and the fancy kinds
    } else if (w == "clcbpat") {
        m_cell.shading = Color(param);
    } else if (w == "clvertalt") {
        m_cell.vertical = 0;
    } else if (w == "clvertalc") {
        m_cell.vertical = 1;
    } else if (w == "clvertalb") {
        m_cell.vertical = 2;
    } else if (w == "clmgf") {
        m_cell.hmerge = 1;
    } else if (w == "clmrg") {
        m_cell.hmerge = 2;
    } else if (w == "clvmgf") {
        m_cell.vmerge = 1;
    } else if (w == "clvmrg") {
        m_cell.vmerge = 2;
    } else {
        return false;
    }
    return true;
}

bool Parser::BodyWord(const QByteArray& w, bool /*hasParam*/, int /*param*/)
{
    static const QHash<QByteArray, char16_t> chars = {
        {"tab", u'\t'},        {"line", 0x2028},    {"emdash", 0x2014},  {"endash", 0x2013},
        {"bullet", 0x2022},    {"lquote", 0x2018},  {"rquote", 0x2019},  {"ldblquote", 0x201C},
        {"rdblquote", 0x201D}, {"emspace", 0x2003}, {"enspace", 0x2002}, {"qmspace", 0x2005},
        {"zwj", 0x200D},       {"zwnj", 0x200C},    {"ltrmark", 0x200E}, {"rtlmark", 0x200F}};
    const auto it = chars.find(w);
    if (it != chars.end()) {
        AppendChar(QChar(*it));
    } else if (w == "par" || w == "sect" || w == "nestcell" || w == "nestrow") {
        // nested tables are flattened: their cells become paragraphs of the outer cell
        EndParagraph();
    } else if (w == "page") {
        EndParagraph();
        m_nextBreak = true;
    } else if (w == "cell") {
        EndCell();
    } else if (w == "row") {
        EndRow();
    } else {
        return false;
    }
    return true;
}

QColor Parser::Color(int index) const
{
    if (index <= 0 || index >= static_cast<int>(m_colors.size()))
        return QColor();
    return m_colors[index];
}

QTextCharFormat Parser::CharFormat(const CharState& s) const
{
    QTextCharFormat f;
    const auto font = m_fonts.find(s.font >= 0 ? s.font : m_defaultFont);
    if (font != m_fonts.end() && !font->second.name.isEmpty())
        f.setFontFamilies({font->second.name});
    f.setFontPointSize(s.halfPoints / 2.0);
    if (s.bold)
        f.setFontWeight(QFont::Bold);
    if (s.italic)
        f.setFontItalic(true);
    if (s.underline)
        f.setFontUnderline(true);
    if (s.strike)
        f.setFontStrikeOut(true);
    const QColor fore = Color(s.fore);
    if (fore.isValid())
        f.setForeground(fore);
    const QColor back = Color(s.back);
    if (back.isValid())
        f.setBackground(back);
    if (s.vertical == 1)
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (s.vertical == 2)
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    return f;
}

QTextBlockFormat Parser::BlockFormat(const ParaState& p, bool breakBefore) const
{
    QTextBlockFormat f;
    static const Qt::Alignment aligns[4] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight, Qt::AlignJustify};
    f.setAlignment(aligns[p.align]);
    if (p.left)
        f.setLeftMargin(Px(p.left));
    if (p.right)
        f.setRightMargin(Px(p.right));
    if (p.first)
        f.setTextIndent(Px(p.first));
    if (p.before)
        f.setTopMargin(Px(p.before));
    if (p.after)
        f.setBottomMargin(Px(p.after));
    if (p.lineSpacing != 0) {
        if (p.lineMultiple)
            f.setLineHeight(std::abs(p.lineSpacing) * 100.0 / 240, QTextBlockFormat::ProportionalHeight);
        else if (p.lineSpacing > 0)
            f.setLineHeight(Px(p.lineSpacing), QTextBlockFormat::MinimumHeight);
        else
            f.setLineHeight(Px(-p.lineSpacing), QTextBlockFormat::FixedHeight);
    }
    if (!p.tabs.empty()) {
        QList<QTextOption::Tab> tabs;
        for (const TabStop& t : p.tabs)
            tabs.append(QTextOption::Tab(Px(t.twips), t.type));
        f.setTabPositions(tabs);
    }
    if (breakBefore)
        f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    return f;
}

void Parser::EndParagraph()
{
    FlushText();
    Para para;
    para.format = BlockFormat(St().para, St().para.breakBefore || m_nextBreak);
    m_nextBreak = false;
    para.runs = std::move(m_runs);
    m_runs.clear();
    if (St().para.inTable) {
        m_cellParas.push_back(std::move(para));
        return;
    }
    if (!m_cells.empty() || !m_cellParas.empty()) {
        if (!m_cellParas.empty()) {
            m_cells.push_back(std::move(m_cellParas));
            m_cellParas.clear();
        }
        FinishRow();
    }
    Item item;
    item.para = std::move(para);
    m_items.push_back(std::move(item));
}

void Parser::EndCell()
{
    FlushText();
    Para para;
    para.format = BlockFormat(St().para, false);
    para.runs = std::move(m_runs);
    m_runs.clear();
    m_cellParas.push_back(std::move(para));
    if (m_cells.size() < kMaxCellsPerRow)
        m_cells.push_back(std::move(m_cellParas));
    m_cellParas.clear();
}

void Parser::EndRow()
{
    FlushText();
    if (!m_runs.empty() || !m_cellParas.empty())
        EndCell();
    FinishRow();
}

void Parser::FinishRow()
{
    if (m_cells.empty())
        return;
    Row row;
    row.def = m_row;
    row.cells = std::move(m_cells);
    m_cells.clear();
    if (m_items.empty() || !m_items.back().table) {
        Item item;
        item.table = true;
        m_items.push_back(std::move(item));
    }
    m_items.back().rows.push_back(std::move(row));
}

void Parser::FinishPicture()
{
    QByteArray data = m_pict.binary.isEmpty() ? QByteArray::fromHex(m_pict.hex) : m_pict.binary;
    QImage image;
    const bool decodable = m_pict.kind == "pngblip" || m_pict.kind == "jpegblip";
    if (decodable)
        image.loadFromData(data, m_pict.kind == "pngblip" ? "PNG" : "JPEG");
    double w = 0, h = 0;
    if (m_pict.goalW > 0 && m_pict.goalH > 0) {
        w = Px(m_pict.goalW);
        h = Px(m_pict.goalH);
    } else if (!image.isNull()) {
        w = image.width();
        h = image.height();
    } else if (m_pict.w > 0 && m_pict.h > 0) {
        // metafile extents are in hundredths of a millimetre
        const bool metafile = !decodable && m_pict.kind != "dibitmap" && m_pict.kind != "wbitmap";
        w = metafile ? m_pict.w * 96.0 / 2540 : m_pict.w;
        h = metafile ? m_pict.h * 96.0 / 2540 : m_pict.h;
    }
    if (m_pict.scaleX > 0)
        w = w * m_pict.scaleX / 100;
    if (m_pict.scaleY > 0)
        h = h * m_pict.scaleY / 100;
    w = std::clamp(w, 1.0, double(kMaxPictPixels));
    h = std::clamp(h, 1.0, double(kMaxPictPixels));

    QTextImageFormat format;
    format.merge(CharFormat(St().chr));
    if (image.isNull()) {
        // a picture we cannot decode keeps its place as a box of its size
        image = QImage(std::max(1, qRound(w)), std::max(1, qRound(h)), QImage::Format_RGB32);
        image.fill(QColor(240, 240, 240));
        QPainter painter(&image);
        painter.setPen(QColor(160, 160, 160));
        painter.drawRect(0, 0, image.width() - 1, image.height() - 1);
    } else {
        format.setProperty(RtfProperty::PictData, data);
        format.setProperty(RtfProperty::PictKind, QString::fromLatin1(m_pict.kind == "pngblip" ? "png" : "jpeg"));
    }
    const QString name = QStringLiteral("rtfpict:%1").arg(m_pictures.size() + 1);
    m_pictures.push_back({name, image});
    format.setName(name);
    format.setWidth(w);
    format.setHeight(h);

    Run run;
    run.text = QString(QChar::ObjectReplacementCharacter);
    run.format = format;
    run.image = true;
    m_runs.push_back(std::move(run));
    m_pict = {};
}

void Parser::InsertParas(QTextCursor& cursor, const std::vector<Para>& paras, bool blockFree, bool inCell)
{
    for (const Para& para : paras) {
        const QTextCharFormat first = para.runs.empty() ? QTextCharFormat() : para.runs.front().format;
        if (blockFree) {
            cursor.setBlockFormat(para.format);
            // the char format of a cell's first block is the cell's own format
            if (!inCell)
                cursor.setBlockCharFormat(first);
        } else {
            cursor.insertBlock(para.format, first);
        }
        blockFree = false;
        for (const Run& run : para.runs) {
            if (run.image)
                cursor.insertImage(run.format.toImageFormat());
            else
                cursor.insertText(run.text, run.format);
        }
    }
}

void Parser::BuildTable(QTextCursor& cursor, const std::vector<Row>& rows)
{
    // Each RTF row has its own cell edges; the table's grid is the union of them, and every
    // RTF cell spans the grid columns between its edges.
    struct Region
    {
        int row, col, rowSpan, colSpan;
        const CellDef* def;
        const std::vector<Para>* paras;
        int height;
    };
    std::set<int> edges;
    std::vector<std::vector<std::pair<int, int>>> spans(rows.size());
    for (size_t r = 0; r < rows.size(); ++r) {
        const Row& row = rows[r];
        int prev = row.def.left;
        edges.insert(prev);
        const size_t count = std::max(row.cells.size(), row.def.cells.size());
        for (size_t k = 0; k < count; ++k) {
            int right = k < row.def.cells.size() ? row.def.cells[k].right : prev + 1440;
            right = std::max(right, prev + 1);
            spans[r].push_back({prev, right});
            edges.insert(right);
            prev = right;
        }
    }
    const std::vector<int> grid(edges.begin(), edges.end());
    const int cols = static_cast<int>(grid.size()) - 1;
    const int nrows = static_cast<int>(rows.size());
    auto column = [&](int edge) {
        return static_cast<int>(std::lower_bound(grid.begin(), grid.end(), edge) - grid.begin());
    };

    static const CellDef noDef;
    static const std::vector<Para> noParas;
    std::vector<Region> regions;
    std::vector<int> open(cols, -1); // region index of a vertical merge open at a start column
    for (int r = 0; r < nrows; ++r) {
        const Row& row = rows[r];
        std::vector<int> nextOpen(cols, -1);
        int lastInRow = -1;
        for (size_t k = 0; k < spans[r].size(); ++k) {
            const CellDef& def = k < row.def.cells.size() ? row.def.cells[k] : noDef;
            const std::vector<Para>& paras = k < row.cells.size() ? row.cells[k] : noParas;
            const int c0 = column(spans[r][k].first);
            const int c1 = column(spans[r][k].second);
            if (def.hmerge == 2 && lastInRow >= 0 && regions[lastInRow].row == r) {
                regions[lastInRow].colSpan = c1 - regions[lastInRow].col;
                continue;
            }
            if (def.vmerge == 2 && open[c0] >= 0) {
                Region& above = regions[open[c0]];
                if (above.col + above.colSpan == c1 && above.row + above.rowSpan == r) {
                    ++above.rowSpan;
                    nextOpen[c0] = open[c0];
                    lastInRow = -1;
                    continue;
                }
            }
            regions.push_back({r, c0, 1, c1 - c0, &def, &paras, row.def.height});
            lastInRow = static_cast<int>(regions.size()) - 1;
            if (def.vmerge == 1)
                nextOpen[c0] = lastInRow;
        }
        open = std::move(nextOpen);
    }

    QTextTableFormat tf;
    tf.setBorder(0);
    tf.setBorderCollapse(true);
    tf.setCellSpacing(0);
    tf.setCellPadding(Px(rows.front().def.gap));
    tf.setMargin(0);
    if (grid.front() > 0)
        tf.setLeftMargin(Px(grid.front()));
    tf.setProperty(RtfProperty::TableLeft, grid.front());
    static const Qt::Alignment aligns[3] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    tf.setAlignment(aligns[rows.front().def.align]);
    QList<QTextLength> widths;
    for (int c = 0; c < cols; ++c)
        widths.append(QTextLength(QTextLength::FixedLength, Px(grid[c + 1] - grid[c])));
    tf.setColumnWidthConstraints(widths);

    QTextTable* table = cursor.insertTable(nrows, cols, tf);
    std::vector<char> used(static_cast<size_t>(nrows) * cols, 0);
    for (const Region& g : regions) {
        bool free = true;
        for (int r = g.row; r < g.row + g.rowSpan; ++r)
            for (int c = g.col; c < g.col + g.colSpan; ++c)
                free = free && !used[static_cast<size_t>(r) * cols + c];
        if (!free)
            continue;
        for (int r = g.row; r < g.row + g.rowSpan; ++r)
            for (int c = g.col; c < g.col + g.colSpan; ++c)
                used[static_cast<size_t>(r) * cols + c] = 1;
        QTextTableCell cell = table->cellAt(g.row, g.col);
        QTextTableCellFormat cf;
        const QTextFrameFormat::BorderStyle none = QTextFrameFormat::BorderStyle_None;
        const Border* own = g.def->borders;
        const bool hasOwn = std::any_of(own, own + 4, [](const Border& b) { return b.set; });
        const Border* row = rows[g.row].def.borders;
        const auto either = [](const Border& a, const Border& b) -> const Border& { return a.set ? a : b; };
        const bool first = g.col == column(spans[g.row].front().first);
        const bool last = g.col + g.colSpan == column(spans[g.row].back().second);
        const Border* sides[4] = {&either(row[0], row[4]), first ? &either(row[1], row[5]) : &either(row[5], row[1]),
                                  &either(row[2], row[4]), last ? &either(row[3], row[5]) : &either(row[5], row[3])};
        for (int side = 0; side < 4; ++side) {
            const Border& b = hasOwn ? own[side] : *sides[side];
            const bool shown = b.set && b.style != none;
            const double width = shown ? Px(b.width >= 0 ? b.width : 15) : 0;
            const QTextFrameFormat::BorderStyle style = shown ? b.style : none;
            switch (side) {
            case 0:
                cf.setTopBorder(width);
                cf.setTopBorderStyle(style);
                break;
            case 1:
                cf.setLeftBorder(width);
                cf.setLeftBorderStyle(style);
                break;
            case 2:
                cf.setBottomBorder(width);
                cf.setBottomBorderStyle(style);
                break;
            default:
                cf.setRightBorder(width);
                cf.setRightBorderStyle(style);
                break;
            }
            if (shown && b.color.isValid()) {
                switch (side) {
                case 0:
                    cf.setTopBorderBrush(b.color);
                    break;
                case 1:
                    cf.setLeftBorderBrush(b.color);
                    break;
                case 2:
                    cf.setBottomBorderBrush(b.color);
                    break;
                default:
                    cf.setRightBorderBrush(b.color);
                    break;
                }
            }
        }
        if (g.def->shading.isValid())
            cf.setBackground(g.def->shading);
        if (g.def->vertical == 1)
            cf.setVerticalAlignment(QTextCharFormat::AlignMiddle);
        else if (g.def->vertical == 2)
            cf.setVerticalAlignment(QTextCharFormat::AlignBottom);
        if (g.height != 0)
            cf.setProperty(RtfProperty::RowHeight, g.height);
        // the format replaces the cell's span, so it goes first
        cell.setFormat(cf);
        if (g.rowSpan > 1 || g.colSpan > 1)
            table->mergeCells(g.row, g.col, g.rowSpan, g.colSpan);
        cell = table->cellAt(g.row, g.col);
        QTextCursor cc = cell.firstCursorPosition();
        InsertParas(cc, *g.paras, true, true);
    }
    for (int r = 0; r < nrows; ++r)
        for (int c = 0; c < cols; ++c)
            if (!used[static_cast<size_t>(r) * cols + c]) {
                QTextTableCell cell = table->cellAt(r, c);
                QTextTableCellFormat cf = cell.format().toTableCellFormat();
                cf.setProperty(RtfProperty::FillerCell, true);
                cell.setFormat(cf);
            }
    cursor = table->lastCursorPosition();
    cursor.movePosition(QTextCursor::NextBlock);
}

void Parser::Build(QTextDocument& doc)
{
    // loading is not a step the user can undo
    const bool undo = doc.isUndoRedoEnabled();
    doc.setUndoRedoEnabled(false);
    doc.clear();
    for (const Picture& p : m_pictures)
        doc.addResource(QTextDocument::ImageResource, QUrl(p.name), p.image);
    QTextCursor cursor(&doc);
    cursor.beginEditBlock();
    bool blockFree = true;
    for (const Item& item : m_items) {
        if (!item.table) {
            InsertParas(cursor, {item.para}, blockFree);
            blockFree = false;
            continue;
        }
        // rows run on in one table while the grid stays within bounds
        std::vector<Row> rows;
        std::set<int> edges;
        auto flush = [&] {
            if (!rows.empty())
                BuildTable(cursor, rows);
            rows.clear();
            edges.clear();
        };
        for (const Row& row : item.rows) {
            std::set<int> mine = edges;
            mine.insert(row.def.left);
            for (const CellDef& d : row.def.cells)
                mine.insert(d.right);
            if (static_cast<int>(mine.size()) > kMaxGridColumns + 1)
                flush();
            edges.insert(row.def.left);
            for (const CellDef& d : row.def.cells)
                edges.insert(d.right);
            rows.push_back(row);
        }
        flush();
        blockFree = true;
    }
    cursor.endEditBlock();
    doc.setUndoRedoEnabled(undo);
}

} // namespace

qsizetype ReadRtf(const QByteArray& rtf, QTextDocument& doc)
{
    Parser parser(rtf);
    const qsizetype read = parser.Parse();
    if (read > 0)
        parser.Build(doc);
    return read;
}
