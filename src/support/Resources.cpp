#include "Resources.h"

#include "CodePages.h"
#include "XString.h"

#include <QtCore/QDirIterator>
#include <QtCore/QFile>
#include <QtCore/QHash>

#include <algorithm>
#include <mutex>

namespace {

struct StringEntry
{
    int id;
    const char16_t* text;
};

// The program's string table: "prompt\nname" per command, module and message id.
const StringEntry kStrings[] = {
#include "strings.inc"
};

struct Registry
{
    QHash<QString, QString> byKey; // "TYPE:id" -> resource path
    QStringList duplicates;        // the claims beyond the first, see DuplicateResourceIds
};

QString Key(int id, const QString& type) { return type.toUpper() + u':' + QString::number(id); }

const Registry& GetRegistry()
{
    static Registry registry;
    static std::once_flag once;
    std::call_once(once, [] {
        QStringList paths;
        QDirIterator it(QStringLiteral(":/"), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            paths << it.next();
        // Sorted, so that of two files claiming one id the same one wins on every run.
        paths.sort();
        for (const QString& path : paths) {
            const QString key = NumberedResourceKey(path);
            if (key.isEmpty())
                continue;
            if (const auto found = registry.byKey.constFind(key); found != registry.byKey.cend())
                registry.duplicates << key + u' ' + *found + u' ' + path;
            else
                registry.byKey.insert(key, path);
        }
    });
    return registry;
}

const std::vector<StringEntry>& SortedStrings()
{
    static const auto sorted = [] {
        std::vector<StringEntry> v(std::begin(kStrings), std::end(kStrings));
        std::stable_sort(v.begin(), v.end(), [](const StringEntry& a, const StringEntry& b) { return a.id < b.id; });
        return v;
    }();
    return sorted;
}

} // namespace

QString NumberedResourceKey(const QString& path)
{
    // Every compiled-in file whose name starts with a number is that resource of the type
    // named by its top folder.
    const QString rel = path.startsWith(QLatin1String(":/")) ? path.mid(2) : path;
    const qsizetype slash = rel.indexOf(u'/');
    if (slash <= 0)
        return QString();
    const QString type = rel.left(slash);
    const QString name = rel.mid(rel.lastIndexOf(u'/') + 1);
    qsizetype digits = 0;
    while (digits < name.size() && name[digits].isDigit() && name[digits].unicode() < 128)
        ++digits;
    if (digits == 0 || (digits < name.size() && name[digits] != u'.' && name[digits] != u'-'))
        return QString();
    return Key(name.left(digits).toInt(), type);
}

QStringList DuplicateResourceIds()
{
    QStringList found = GetRegistry().duplicates;
    const std::vector<StringEntry>& strings = SortedStrings();
    for (size_t i = 1; i < strings.size(); ++i)
        if (strings[i].id == strings[i - 1].id)
            found << QStringLiteral("STRING:") + QString::number(strings[i].id);
    return found;
}

QString ResourcePath(int id, const char* type)
{
    if (id == 0 || !type)
        return QString();
    return GetRegistry().byKey.value(Key(id, QString::fromLatin1(type)));
}

QByteArray LoadResourceFile(const QString& path)
{
    QFile f(path);
    if (path.isEmpty() || !f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

QByteArray LoadResourceBytes(int id, const char* type)
{
    QByteArray bytes = LoadResourceFile(ResourcePath(id, type));
    const qsizetype zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    return bytes;
}

QString LoadResourceText(int id, const char* type, int codePage)
{
    if (id == 0)
        return QString();
    return ToWide(LoadResourceBytes(id, type), codePage);
}

QString LoadStringText(int id)
{
    const std::vector<StringEntry>& sorted = SortedStrings();
    auto it =
        std::lower_bound(sorted.begin(), sorted.end(), id, [](const StringEntry& e, int key) { return e.id < key; });
    if (it == sorted.end() || it->id != id)
        return QString();
    return QString::fromUtf16(it->text);
}

QString LoadCommandText(int id, bool keepAccelerator)
{
    if (id == 0)
        return QString();
    return ExtractCommandText(LoadStringText(id), keepAccelerator);
}

QString ExtractCommandText(QString text, bool keepAccelerator)
{
    qsizetype lf = text.indexOf(u'\n');
    if (lf >= 0) {
        text.remove(0, lf + 1);
        lf = text.indexOf(u'\n');
        if (lf >= 0)
            text.truncate(lf);
    }
    if (!keepAccelerator) {
        const qsizetype amp = text.indexOf(QLatin1String("(&"));
        if (amp >= 0) {
            const qsizetype close = text.indexOf(u')', amp);
            text.remove(amp, close < 0 ? text.size() - amp : close - amp + 1);
        }
        qsizetype end = text.size();
        while (end > 0 && (text[end - 1] == u'.' || IsWhiteChar(text[end - 1])))
            --end;
        text = TrimWhite(text.left(end));
    }
    return text;
}

QString LoadCommandPrompt(int id)
{
    if (id == -1)
        return QString();
    const QString text = LoadStringText(id);
    const qsizetype lf = text.indexOf(u'\n');
    return lf < 0 ? text : text.left(lf);
}
