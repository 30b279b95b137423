#include "XSheetReader.h"

#include "CXXmlDoc.h"

#include <minizip/unzip.h>

#include <QtCore/QDate>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QRegularExpression>

#include <cmath>
#include <cstring>
#include <vector>

// ---------------------------------------------------------------------------------------
// Cells

namespace {

constexpr int kMaxRows = 1048576;
constexpr int kMaxColumns = 16384;
// Serial days of the 1904 date system are this many days behind those of the 1900 system.
constexpr double kDays1904 = 1462;

qint64 CellKey(int row, int column) { return (static_cast<qint64>(row) << 16) | column; }

} // namespace

const XCell* XSheet::At(int row, int column) const
{
    const auto it = m_cells.constFind(CellKey(row, column));
    return it == m_cells.constEnd() ? nullptr : &*it;
}

QString XSheet::Text(int row, int column) const
{
    const XCell* c = At(row, column);
    return c ? c->text : QString();
}

bool XSheet::Number(int row, int column, double* value) const
{
    const XCell* c = At(row, column);
    if (!c)
        return false;
    if (c->kind == XCell::Number || c->kind == XCell::Bool) {
        *value = c->number;
        return true;
    }
    if (c->kind != XCell::Text)
        return false;
    bool ok = false;
    const double v = c->text.trimmed().toDouble(&ok);
    if (ok && std::isfinite(v))
        *value = v;
    return ok && std::isfinite(v);
}

void XSheet::Set(int row, int column, XCell cell)
{
    m_cells.insert(CellKey(row, column), std::move(cell));
    m_nLastRow = std::max(m_nLastRow, row);
    m_nLastColumn = std::max(m_nLastColumn, column);
}

void XSheet::Clear()
{
    m_cells.clear();
    m_nLastRow = m_nLastColumn = -1;
}

bool ParseCellRef(QStringView ref, int* row, int* column)
{
    qsizetype i = 0;
    if (i < ref.size() && ref[i] == u'$')
        ++i;
    int col = 0;
    const qsizetype letters = i;
    for (; i < ref.size() && ref[i].toUpper() >= u'A' && ref[i].toUpper() <= u'Z'; ++i) {
        col = col * 26 + (ref[i].toUpper().unicode() - u'A' + 1);
        if (col > kMaxColumns)
            return false;
    }
    if (i == letters)
        return false;
    if (i < ref.size() && ref[i] == u'$')
        ++i;
    int r = 0;
    const qsizetype digits = i;
    for (; i < ref.size() && ref[i].isDigit(); ++i) {
        r = r * 10 + ref[i].digitValue();
        if (r > kMaxRows)
            return false;
    }
    if (i == digits || i != ref.size() || r < 1)
        return false;
    *row = r - 1;
    *column = col - 1;
    return true;
}

QString CellRef(int row, int column)
{
    QString letters;
    for (int c = column + 1; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(u'A' + (c - 1) % 26));
    return letters + QString::number(row + 1);
}

QString NumberText(double value) { return QString::asprintf("%.15g", value); }

bool DateTextToSerial(const QString& text, double* serial)
{
    static const QRegularExpression re(
        QStringLiteral(R"(^\s*(\d{4})-(\d{1,2})-(\d{1,2})(?:[ T](\d{1,2}):(\d{2})(?::(\d{2})(?:\.\d+)?)?)?\s*$)"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return false;
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    const int h = m.captured(4).toInt(), mi = m.captured(5).toInt(), s = m.captured(6).toInt();
    if (!date.isValid() || h > 23 || mi > 59 || s > 59)
        return false;
    *serial = static_cast<double>(QDate(1899, 12, 30).daysTo(date)) + (h * 3600 + mi * 60 + s) / 86400.0;
    return true;
}

// ---------------------------------------------------------------------------------------
// The zip container, read from memory

namespace {

struct MemoryStream
{
    const QByteArray* data;
    qint64 pos = 0;
};

voidpf ZCALLBACK MemOpen(voidpf opaque, const char*, int mode)
{
    if (mode & ZLIB_FILEFUNC_MODE_WRITE)
        return nullptr;
    return new MemoryStream{static_cast<const QByteArray*>(opaque)};
}

uLong ZCALLBACK MemRead(voidpf, voidpf stream, void* buf, uLong size)
{
    auto* s = static_cast<MemoryStream*>(stream);
    const qint64 left = s->data->size() - s->pos;
    const qint64 n = std::max<qint64>(0, std::min<qint64>(left, static_cast<qint64>(size)));
    if (n > 0)
        std::memcpy(buf, s->data->constData() + s->pos, static_cast<size_t>(n));
    s->pos += n;
    return static_cast<uLong>(n);
}

uLong ZCALLBACK MemWrite(voidpf, voidpf, const void*, uLong) { return 0; }

long ZCALLBACK MemTell(voidpf, voidpf stream) { return static_cast<long>(static_cast<MemoryStream*>(stream)->pos); }

long ZCALLBACK MemSeek(voidpf, voidpf stream, uLong offset, int origin)
{
    auto* s = static_cast<MemoryStream*>(stream);
    qint64 base = 0;
    if (origin == ZLIB_FILEFUNC_SEEK_CUR)
        base = s->pos;
    else if (origin == ZLIB_FILEFUNC_SEEK_END)
        base = s->data->size();
    const qint64 to = base + static_cast<qint64>(offset);
    if (to < 0 || to > s->data->size())
        return -1;
    s->pos = to;
    return 0;
}

int ZCALLBACK MemClose(voidpf, voidpf stream)
{
    delete static_cast<MemoryStream*>(stream);
    return 0;
}

int ZCALLBACK MemError(voidpf, voidpf) { return 0; }

class ZipReader
{
public:
    ZipReader(const QByteArray& data, const XReadLimits& limits) : m_limits(limits)
    {
        zlib_filefunc_def funcs{};
        funcs.zopen_file = MemOpen;
        funcs.zread_file = MemRead;
        funcs.zwrite_file = MemWrite;
        funcs.ztell_file = MemTell;
        funcs.zseek_file = MemSeek;
        funcs.zclose_file = MemClose;
        funcs.zerror_file = MemError;
        funcs.opaque = const_cast<QByteArray*>(&data);
        m_zip = unzOpen2("", &funcs);
    }
    ~ZipReader()
    {
        if (m_zip)
            unzClose(m_zip);
    }
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    bool IsOpen() const { return m_zip != nullptr; }
    bool Has(const QString& name) { return Locate(name); }

    // The part's bytes; false with the reason when it is missing, damaged or too large. The
    // size the archive claims is not trusted: reading stops at the limit.
    bool Read(const QString& name, QByteArray& out, QString* error)
    {
        out.clear();
        if (!Locate(name)) {
            *error = QStringLiteral("缺少文件部件 %1").arg(name);
            return false;
        }
        if (unzOpenCurrentFile(m_zip) != UNZ_OK) {
            *error = QStringLiteral("文件部件 %1 已损坏").arg(name);
            return false;
        }
        char buf[65536];
        int n = 0;
        bool ok = true;
        while ((n = unzReadCurrentFile(m_zip, buf, sizeof buf)) > 0) {
            if (out.size() + n > m_limits.maxPartBytes) {
                *error = QStringLiteral("文件部件 %1 解压后超过 %2 MB").arg(name).arg(m_limits.maxPartBytes >> 20);
                ok = false;
                break;
            }
            out.append(buf, n);
        }
        if (ok && n < 0) {
            *error = QStringLiteral("文件部件 %1 已损坏").arg(name);
            ok = false;
        }
        if (unzCloseCurrentFile(m_zip) != UNZ_OK && ok) { // a CRC mismatch shows here
            *error = QStringLiteral("文件部件 %1 已损坏").arg(name);
            ok = false;
        }
        if (!ok)
            out.clear();
        return ok;
    }

private:
    bool Locate(const QString& name)
    {
        const QByteArray n = name.toUtf8();
        return m_zip &&
               (unzLocateFile(m_zip, n.constData(), 1) == UNZ_OK || unzLocateFile(m_zip, n.constData(), 2) == UNZ_OK);
    }

    unzFile m_zip = nullptr;
    XReadLimits m_limits;
};

// ---------------------------------------------------------------------------------------
// XML parts

QStringView LocalName(const QString& tag)
{
    const qsizetype colon = tag.indexOf(u':');
    return colon < 0 ? QStringView(tag) : QStringView(tag).mid(colon + 1);
}

bool Is(const CXXmlDoc& doc, int i, QStringView local) { return LocalName(doc.GetTagName(i)) == local; }

int FirstChild(const CXXmlDoc& doc, int i) { return doc.Elem(i).iFirstChild; }
int Next(const CXXmlDoc& doc, int i) { return doc.Elem(i).iNext; }

int Child(const CXXmlDoc& doc, int parent, QStringView local)
{
    for (int i = FirstChild(doc, parent); i; i = Next(doc, i))
        if (Is(doc, i, local))
            return i;
    return 0;
}

class BookReader
{
public:
    BookReader(const QByteArray& data, const XReadLimits& limits) : m_zip(data, limits), m_limits(limits) {}

    bool Read(XSheet& sheet, const QString& sheetName)
    {
        if (!m_zip.IsOpen())
            return Fail(QStringLiteral("不是有效的 xlsx 表格文件"));
        QString workbook = QStringLiteral("xl/workbook.xml");
        {
            CXXmlDoc rels;
            if (m_zip.Has(QStringLiteral("_rels/.rels"))) {
                if (!Parse(QStringLiteral("_rels/.rels"), rels))
                    return false;
                const QString target = Target(rels, QStringLiteral("/officeDocument"), QString());
                if (!target.isEmpty())
                    workbook = target;
            }
        }
        const QString folder = workbook.contains(u'/') ? workbook.left(workbook.lastIndexOf(u'/') + 1) : QString();
        const QString relsPath =
            folder + QStringLiteral("_rels/") + workbook.mid(folder.size()) + QStringLiteral(".rels");

        CXXmlDoc book;
        if (!Parse(workbook, book))
            return false;
        const int root = Child(book, 0, u"workbook");
        if (!root)
            return Fail(QStringLiteral("文件部件 %1 不是工作簿").arg(workbook));
        if (const int pr = Child(book, root, u"workbookPr")) {
            const QString v = book.GetAttribute(pr, QStringLiteral("date1904"));
            m_b1904 = v == QLatin1String("1") || v.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
        }
        QString relId;
        const int sheets = Child(book, root, u"sheets");
        for (int s = sheets ? FirstChild(book, sheets) : 0; s; s = Next(book, s)) {
            if (!Is(book, s, u"sheet"))
                continue;
            const QString name = book.GetAttribute(s, QStringLiteral("name"));
            if (sheetName.isEmpty() || name == sheetName) {
                sheet.m_strName = name;
                relId = book.GetAttribute(s, QStringLiteral("r:id"));
                break;
            }
        }
        if (relId.isEmpty())
            return Fail(sheetName.isEmpty() ? QStringLiteral("工作簿中没有工作表")
                                            : QStringLiteral("找不到工作表 “%1”").arg(sheetName));

        CXXmlDoc rels;
        if (!Parse(relsPath, rels))
            return false;
        const QString sheetPath = Target(rels, QString(), relId, folder);
        if (sheetPath.isEmpty())
            return Fail(QStringLiteral("缺少工作表 “%1” 的文件部件").arg(sheet.m_strName));
        const QString stringsPath = Target(rels, QStringLiteral("/sharedStrings"), QString(), folder);
        if (!stringsPath.isEmpty() && m_zip.Has(stringsPath) && !ReadStrings(stringsPath))
            return false;
        const QString stylesPath = Target(rels, QStringLiteral("/styles"), QString(), folder);
        if (!stylesPath.isEmpty() && m_zip.Has(stylesPath) && !ReadStyles(stylesPath))
            return false;
        return ReadCells(sheetPath, sheet);
    }

    QString m_strError;

private:
    bool Fail(const QString& text)
    {
        m_strError = text;
        return false;
    }

    bool Parse(const QString& part, CXXmlDoc& doc)
    {
        QByteArray bytes;
        if (!m_zip.Read(part, bytes, &m_strError))
            return false;
        if (bytes.startsWith("\xEF\xBB\xBF"))
            bytes.remove(0, 3);
        if (!doc.SetDocText(QString::fromUtf8(bytes)))
            return Fail(QStringLiteral("文件部件 %1 不是格式正确的 XML").arg(part));
        // Reads answer at an element position only; the walk below goes by the table.
        doc.FindElement();
        return true;
    }

    // The target of the first relationship whose type ends in typeSuffix (or whose Id is
    // id), as a path inside the archive.
    static QString Target(const CXXmlDoc& rels, const QString& typeSuffix, const QString& id,
                          const QString& folder = QString())
    {
        const int root = Child(rels, 0, u"Relationships");
        for (int r = root ? FirstChild(rels, root) : 0; r; r = Next(rels, r)) {
            if (!Is(rels, r, u"Relationship"))
                continue;
            const bool match = id.isEmpty() ? rels.GetAttribute(r, QStringLiteral("Type")).endsWith(typeSuffix)
                                            : rels.GetAttribute(r, QStringLiteral("Id")) == id;
            if (!match)
                continue;
            QString target = rels.GetAttribute(r, QStringLiteral("Target"));
            if (target.startsWith(u'/'))
                return target.mid(1);
            target = folder + target;
            // "worksheets/../x" and the like
            QStringList parts;
            for (const QString& p : target.split(u'/')) {
                if (p == QLatin1String(".."))
                    parts.isEmpty() ? void() : parts.removeLast();
                else if (p != QLatin1String(".") && !p.isEmpty())
                    parts << p;
            }
            return parts.join(u'/');
        }
        return QString();
    }

    // The text of a shared or inline string: its own <t> and the <t> of each rich-text run;
    // phonetic runs are left out.
    static QString StringText(const CXXmlDoc& doc, int si)
    {
        QString text;
        for (int i = FirstChild(doc, si); i; i = Next(doc, i)) {
            if (Is(doc, i, u"t"))
                text += doc.GetText(i);
            else if (Is(doc, i, u"r"))
                if (const int t = Child(doc, i, u"t"))
                    text += doc.GetText(t);
        }
        return text;
    }

    bool ReadStrings(const QString& part)
    {
        CXXmlDoc doc;
        if (!Parse(part, doc))
            return false;
        const int root = Child(doc, 0, u"sst");
        for (int si = root ? FirstChild(doc, root) : 0; si; si = Next(doc, si))
            if (Is(doc, si, u"si"))
                m_strings.push_back(StringText(doc, si));
        return true;
    }

    static bool IsDateFormat(int id, const QString& code)
    {
        if ((id >= 14 && id <= 22) || (id >= 45 && id <= 47))
            return true;
        if (code.isEmpty())
            return false;
        QString bare;
        bool quoted = false;
        int bracket = 0;
        for (qsizetype i = 0; i < code.size(); ++i) {
            const QChar ch = code[i];
            if (ch == u'"')
                quoted = !quoted;
            else if (!quoted && ch == u'[')
                ++bracket;
            else if (!quoted && ch == u']')
                bracket = std::max(0, bracket - 1);
            else if (!quoted && ch == u'\\')
                ++i;
            else if (!quoted && !bracket)
                bare += ch.toLower();
        }
        return bare.contains(u'y') || bare.contains(u'd') || bare.contains(u'h') ||
               (bare.contains(u'm') && !bare.contains(u'0') && !bare.contains(u'#'));
    }

    bool ReadStyles(const QString& part)
    {
        CXXmlDoc doc;
        if (!Parse(part, doc))
            return false;
        const int root = Child(doc, 0, u"styleSheet");
        if (!root)
            return true;
        QHash<int, QString> codes;
        if (const int fmts = Child(doc, root, u"numFmts"))
            for (int f = FirstChild(doc, fmts); f; f = Next(doc, f))
                codes.insert(doc.GetAttribute(f, QStringLiteral("numFmtId")).toInt(),
                             doc.GetAttribute(f, QStringLiteral("formatCode")));
        if (const int xfs = Child(doc, root, u"cellXfs"))
            for (int x = FirstChild(doc, xfs); x; x = Next(doc, x)) {
                const int id = doc.GetAttribute(x, QStringLiteral("numFmtId")).toInt();
                m_dateStyles.push_back(IsDateFormat(id, codes.value(id)));
            }
        return true;
    }

    bool ReadCells(const QString& part, XSheet& sheet)
    {
        CXXmlDoc doc;
        if (!Parse(part, doc))
            return false;
        const int root = Child(doc, 0, u"worksheet");
        const int data = root ? Child(doc, root, u"sheetData") : 0;
        if (!data)
            return Fail(QStringLiteral("文件部件 %1 不是工作表").arg(part));
        int row = -1;
        for (int r = FirstChild(doc, data); r; r = Next(doc, r)) {
            if (!Is(doc, r, u"row"))
                continue;
            const QString rAttr = doc.GetAttribute(r, QStringLiteral("r"));
            if (rAttr.isEmpty()) {
                ++row;
            } else {
                bool ok = false;
                row = rAttr.toInt(&ok) - 1;
                if (!ok || row < 0 || row >= kMaxRows)
                    return Fail(QStringLiteral("行号 “%1” 超出表格范围").arg(rAttr.left(20)));
            }
            if (row >= kMaxRows)
                return Fail(QStringLiteral("行数超出表格范围"));
            int column = -1;
            for (int c = FirstChild(doc, r); c; c = Next(doc, c)) {
                if (!Is(doc, c, u"c"))
                    continue;
                const QString ref = doc.GetAttribute(c, QStringLiteral("r"));
                int cellRow = row;
                if (ref.isEmpty()) {
                    ++column;
                } else if (!ParseCellRef(ref, &cellRow, &column) || cellRow != row) {
                    return Fail(QStringLiteral("单元格引用 “%1” 无效或超出表格范围").arg(ref.left(20)));
                }
                if (column >= kMaxColumns)
                    return Fail(QStringLiteral("列数超出表格范围"));
                XCell cell;
                if (!ReadCell(doc, c, cell, CellRef(row, column)))
                    return false;
                if (cell.kind == XCell::Empty)
                    continue;
                if (sheet.CellCount() >= m_limits.maxCells)
                    return Fail(QStringLiteral("单元格数超过 %1").arg(m_limits.maxCells));
                sheet.Set(row, column, std::move(cell));
            }
        }
        return true;
    }

    bool ReadCell(const CXXmlDoc& doc, int c, XCell& cell, const QString& ref)
    {
        const QString type = doc.GetAttribute(c, QStringLiteral("t"));
        const int v = Child(doc, c, u"v");
        const QString value = v ? doc.GetText(v) : QString();
        if (type == QLatin1String("inlineStr")) {
            const int is = Child(doc, c, u"is");
            cell.text = is ? StringText(doc, is) : QString();
            cell.kind = cell.text.isEmpty() ? XCell::Empty : XCell::Text;
            return true;
        }
        if (!v)
            return true; // a cell with a format only
        if (type == QLatin1String("s")) {
            bool ok = false;
            const int index = value.trimmed().toInt(&ok);
            if (!ok || index < 0 || index >= static_cast<int>(m_strings.size()))
                return Fail(QStringLiteral("单元格 %1 引用的共享字符串 “%2” 不存在").arg(ref, value.left(20)));
            cell.text = m_strings[static_cast<size_t>(index)];
            cell.kind = XCell::Text;
        } else if (type == QLatin1String("str") || type == QLatin1String("e")) {
            cell.text = value;
            cell.kind = type == QLatin1String("e") ? XCell::Error : XCell::Text;
        } else if (type == QLatin1String("b")) {
            cell.kind = XCell::Bool;
            cell.number = value.trimmed() == QLatin1String("1") ? 1 : 0;
            cell.text = cell.number ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        } else if (type == QLatin1String("d")) {
            if (!DateTextToSerial(value, &cell.number))
                return Fail(QStringLiteral("单元格 %1 的日期 “%2” 无效").arg(ref, value.left(40)));
            cell.kind = XCell::Number;
            cell.date = true;
            cell.text = NumberText(cell.number);
        } else {
            bool ok = false;
            cell.number = value.trimmed().toDouble(&ok);
            if (!ok || !std::isfinite(cell.number))
                return Fail(QStringLiteral("单元格 %1 的数值 “%2” 无效").arg(ref, value.left(40)));
            const int style = doc.GetAttribute(c, QStringLiteral("s")).toInt();
            cell.date =
                style >= 0 && style < static_cast<int>(m_dateStyles.size()) && m_dateStyles[static_cast<size_t>(style)];
            if (cell.date && m_b1904)
                cell.number += kDays1904;
            cell.kind = XCell::Number;
            cell.text = NumberText(cell.number);
        }
        if (cell.kind == XCell::Text && cell.text.isEmpty())
            cell.kind = XCell::Empty;
        return true;
    }

    ZipReader m_zip;
    XReadLimits m_limits;
    bool m_b1904 = false;
    std::vector<QString> m_strings;
    std::vector<bool> m_dateStyles;
};

bool ReadFileBytes(const QString& path, QByteArray& data, QString* error, const XReadLimits& limits)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    if (file.size() > limits.maxFileBytes) {
        *error = QStringLiteral("文件超过 %1 MB").arg(limits.maxFileBytes >> 20);
        return false;
    }
    data = file.readAll();
    return true;
}

} // namespace

bool ReadXlsxData(const QByteArray& data, XSheet& sheet, QString* error, const QString& sheetName,
                  const XReadLimits& limits)
{
    sheet.Clear();
    sheet.m_strName.clear();
    QString ignored;
    if (!error)
        error = &ignored;
    if (data.size() > limits.maxFileBytes) {
        *error = QStringLiteral("文件超过 %1 MB").arg(limits.maxFileBytes >> 20);
        return false;
    }
    BookReader reader(data, limits);
    if (reader.Read(sheet, sheetName))
        return true;
    *error = reader.m_strError;
    sheet.Clear(); // nothing of a book that cannot be read as a whole
    return false;
}

bool ReadXlsxFile(const QString& path, XSheet& sheet, QString* error, const QString& sheetName,
                  const XReadLimits& limits)
{
    QString ignored;
    if (!error)
        error = &ignored;
    QByteArray data;
    if (!ReadFileBytes(path, data, error, limits)) {
        sheet.Clear();
        return false;
    }
    return ReadXlsxData(data, sheet, error, sheetName, limits);
}

bool ReadSpreadsheet(const QString& path, XSheet& sheet, QString* error, const QString& sheetName)
{
    if (QFileInfo(path).suffix().compare(QLatin1String("xls"), Qt::CaseInsensitive) == 0)
        return ReadXlsFile(path, sheet, error, sheetName);
    return ReadXlsxFile(path, sheet, error, sheetName);
}
