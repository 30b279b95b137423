#include "ReferenceTables.h"

#include "CodePages.h"
#include "CommandIds.h"
#include "Resources.h"
#include "TextUtils.h"

#include <QtCore/QHash>

#include <mutex>

namespace {

// Table lines end in CR LF or a lone LF.
QStringList SplitLines(const QString& text)
{
    QStringList lines = text.split(u'\n');
    for (QString& line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    return lines;
}

} // namespace

QList<XPaperSize> ParsePaperSizes(const QString& text)
{
    QList<XPaperSize> papers;
    QStringList fields;
    QList<int> numbers;
    for (const QString& line : SplitLines(text)) {
        if (line.startsWith(u';') || SplitStrings(line, fields) != 3)
            continue;
        SplitInts(line, numbers);
        XPaperSize paper;
        paper.width = numbers[0];
        paper.height = numbers[1];
        paper.id = paper.height << 16 | paper.width;
        paper.name = fields[2];
        papers.append(paper);
    }
    return papers;
}

const QList<XPaperSize>& GetPaperSizes()
{
    static QList<XPaperSize> papers;
    static std::once_flag once;
    std::call_once(once, [] { papers = ParsePaperSizes(LoadResourceText(IDR_CSV_PAPERS, RT_CSV, CP_UTF8)); });
    return papers;
}

QString GetAreaName(const QString& code)
{
    static QHash<QString, QString> areas;
    static std::once_flag once;
    std::call_once(once, [] {
        for (const QString& line : SplitLines(LoadResourceText(IDR_CSV_AREAS, RT_CSV, CP_UTF8))) {
            const qsizetype comma = line.indexOf(u',');
            if (comma >= 0)
                areas.insert(line.left(comma), line.mid(comma + 1));
        }
    });

    if (code.size() < 2)
        return QString();
    QString path = areas.value(code.left(2) + QLatin1String("0000"));
    if (path.isEmpty())
        return QString();
    if (code.size() >= 4) {
        const QString city = areas.value(code.left(4) + QLatin1String("00"));
        if (!city.isEmpty()) {
            path += u'>' + city;
            if (code.size() >= 6) {
                const QString county = areas.value(code.left(6));
                if (!county.isEmpty())
                    path += u'>' + county;
            }
        }
    }
    return path;
}
