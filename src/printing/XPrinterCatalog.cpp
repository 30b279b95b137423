#include "XPrinterCatalog.h"

#include "CXArray.h"
#include "CXItem.h"
#include "XService.h"

namespace {

class XNoPrinters : public XPrinterCatalog
{
public:
    QList<XPrinterEntry> List() override { return {}; }
    bool Capabilities(const QString&, XPrinterCaps&) override { return false; }
    bool Submit(const QString&, const QString&, const XPrintSettings&, QString& error) override
    {
        error = QStringLiteral("没有可用的打印机");
        return false;
    }
};

XService<XPrinterCatalog> g_catalog;

} // namespace

XPrinterCatalog& PrinterCatalog()
{
    static XNoPrinters none;
    return g_catalog.GetOr(none);
}

XPrinterCatalog* SetPrinterCatalog(XPrinterCatalog* catalog) { return g_catalog.Install(catalog); }

void GetPrinterList(CXArray& printers, bool bPhysicalOnly)
{
    printers.RemoveAll(nullptr);
    for (const XPrinterEntry& entry : PrinterCatalog().List()) {
        if (bPhysicalOnly && !entry.physical)
            continue;
        auto* item = new CXItem;
        item->m_strName = entry.name;
        item->m_nSubID = entry.jobs;
        for (const QString& state : entry.states)
            item->AddStatusText(ST_GRAY, nullptr, state);
        if (entry.states.isEmpty())
            item->AddStatusText(ST_GOOD, nullptr, QStringLiteral("就绪"));
        printers.Add(item);
    }
}

QStringList PrinterStateTexts(int state, const QStringList& reasons)
{
    // reason words (without the -report/-warning/-error suffix) to texts, in table order
    static const std::pair<const char*, const char16_t*> kReasons[] = {
        {"door-open", u"机盖打开"}, {"cover-open", u"机盖打开"},
        {"toner-empty", u"缺墨"},   {"marker-supply-empty", u"缺墨"},
        {"offline", u"脱机"},       {"output-area-full", u"联机超限"},
        {"media-jam", u"卡纸"},     {"media-empty", u"缺纸"},
        {"media-needed", u"缺纸"},  {"paused", u"暂停"},
        {"toner-low", u"墨不足"},   {"marker-supply-low", u"墨不足"},
    };
    QStringList texts;
    const auto add = [&texts](const QString& text) {
        if (!texts.contains(text))
            texts << text;
    };
    for (const auto& [word, text] : kReasons)
        for (QString reason : reasons) {
            for (const char* suffix : {"-report", "-warning", "-error"})
                if (reason.endsWith(QLatin1String(suffix)))
                    reason.chop(static_cast<int>(qstrlen(suffix)));
            if (reason == QLatin1String(word))
                add(QString::fromUtf16(text));
        }
    if (state == 5)
        add(QStringLiteral("暂停"));
    else if (state == 4)
        add(QStringLiteral("正在打印"));
    return texts;
}

bool IsPhysicalDeviceUri(const QString& uri)
{
    static const char* const kSchemes[] = {"usb", "parallel", "serial", "socket", "ipp", "ipps", "lpd", "dnssd", "hp"};
    const QString scheme = uri.section(u':', 0, 0).toLower();
    for (const char* s : kSchemes)
        if (scheme == QLatin1String(s))
            return true;
    return false;
}
