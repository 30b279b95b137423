#include "XRibbonDef.h"

#include <QtCore/QXmlStreamReader>

#include <set>

namespace {

void Collect(const std::vector<XRibbonElement>& elements, std::vector<int>& ids, std::set<int>& seen)
{
    for (const XRibbonElement& e : elements) {
        if (e.id != 0 && seen.insert(e.id).second)
            ids.push_back(e.id);
        Collect(e.items, ids, seen);
    }
}

const XRibbonElement* FindIn(const std::vector<XRibbonElement>& elements, int id)
{
    for (const XRibbonElement& e : elements) {
        if (e.id == id)
            return &e;
        if (const XRibbonElement* sub = FindIn(e.items, id))
            return sub;
    }
    return nullptr;
}

XRibbonElement ReadElementAttributes(const QXmlStreamReader& r)
{
    XRibbonElement e;
    const QStringView name = r.name();
    using K = XRibbonElement::Kind;
    e.kind = name == u"check"       ? K::Check
             : name == u"menu"      ? K::Menu
             : name == u"combo"     ? K::Combo
             : name == u"row"       ? K::Row
             : name == u"separator" ? K::Separator
                                    : K::Button;
    const QXmlStreamAttributes a = r.attributes();
    e.id = a.value(QLatin1String("id")).toInt();
    e.label = a.value(QLatin1String("label")).toString();
    e.keyTip = a.value(QLatin1String("keytip")).toString();
    e.large = a.value(QLatin1String("large")) == u"1";
    e.width = a.value(QLatin1String("width")).toInt();
    return e;
}

// Reads the elements inside the current start element up to its end.
std::vector<XRibbonElement> ReadElements(QXmlStreamReader& r)
{
    std::vector<XRibbonElement> list;
    while (r.readNextStartElement()) {
        const QStringView n = r.name();
        if (n != u"button" && n != u"check" && n != u"menu" && n != u"combo" && n != u"row" && n != u"separator") {
            r.raiseError(QStringLiteral("unknown element <%1>").arg(n));
            return list;
        }
        XRibbonElement e = ReadElementAttributes(r);
        e.items = ReadElements(r);
        list.push_back(std::move(e));
    }
    return list;
}

} // namespace

const XRibbonElement* XRibbonDef::Find(int id) const
{
    if (const XRibbonElement* e = FindIn(mainItems, id))
        return e;
    if (switchButton.id == id)
        return &switchButton;
    for (const XRibbonCategory& c : categories)
        for (const XRibbonPanel& p : c.panels)
            if (const XRibbonElement* e = FindIn(p.elements, id))
                return e;
    return nullptr;
}

std::vector<int> XRibbonDef::CommandIds() const
{
    std::vector<int> ids;
    std::set<int> seen;
    Collect(mainItems, ids, seen);
    for (int id : qat)
        if (id != 0 && seen.insert(id).second)
            ids.push_back(id);
    Collect({switchButton}, ids, seen);
    for (const XRibbonCategory& c : categories)
        for (const XRibbonPanel& p : c.panels)
            Collect(p.elements, ids, seen);
    return ids;
}

bool ParseRibbonDef(const QString& xml, XRibbonDef& def, QString* error)
{
    def = XRibbonDef();
    QXmlStreamReader r(xml);
    if (!r.readNextStartElement() || r.name() != u"ribbon")
        r.raiseError(QStringLiteral("no <ribbon> root"));
    while (!r.hasError() && r.readNextStartElement()) {
        const QStringView n = r.name();
        if (n == u"application") {
            def.mainLabel = r.attributes().value(QLatin1String("label")).toString();
            def.mainKeyTip = r.attributes().value(QLatin1String("keytip")).toString();
            def.mainItems = ReadElements(r);
        } else if (n == u"qat") {
            while (r.readNextStartElement()) {
                def.qat.push_back(r.attributes().value(QLatin1String("id")).toInt());
                r.skipCurrentElement();
            }
        } else if (n == u"switch") {
            def.switchButton = ReadElementAttributes(r);
            r.skipCurrentElement();
        } else if (n == u"category") {
            XRibbonCategory c;
            c.id = r.attributes().value(QLatin1String("id")).toInt();
            c.label = r.attributes().value(QLatin1String("label")).toString();
            c.keyTip = r.attributes().value(QLatin1String("keytip")).toString();
            c.context = r.attributes().value(QLatin1String("context")) == u"1";
            while (r.readNextStartElement()) {
                if (r.name() != u"panel") {
                    r.raiseError(QStringLiteral("a category holds panels only"));
                    break;
                }
                XRibbonPanel p;
                p.label = r.attributes().value(QLatin1String("label")).toString();
                p.elements = ReadElements(r);
                c.panels.push_back(std::move(p));
            }
            def.categories.push_back(std::move(c));
        } else {
            r.raiseError(QStringLiteral("unknown element <%1>").arg(n));
        }
    }
    if (r.hasError()) {
        if (error)
            *error = QStringLiteral("%1:%2: %3").arg(r.lineNumber()).arg(r.columnNumber()).arg(r.errorString());
        def = XRibbonDef();
        return false;
    }
    return true;
}

QString FormatQatCommands(const std::vector<int>& ids)
{
    QStringList parts;
    for (int id : ids)
        parts << QString::number(id);
    return parts.join(u',');
}

std::vector<int> ParseQatCommands(const QString& text)
{
    std::vector<int> ids;
    for (const QString& part : text.split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int id = part.trimmed().toInt(&ok);
        if (ok && id >= 0)
            ids.push_back(id);
    }
    return ids;
}

QStringList DistinctHistory(const QStringList& newestFirst, int max)
{
    QStringList out;
    for (const QString& raw : newestFirst) {
        if (out.size() >= max)
            break;
        const QString text = raw.trimmed();
        if (!text.isEmpty() && !out.contains(text))
            out << text;
    }
    return out;
}
