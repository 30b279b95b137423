#include "XCupsPrinterCatalog.h"

#include <QtPrintSupport/QPrinter>
#include <QtPrintSupport/QPrinterInfo>

#include <cups/cups.h>

#include <algorithm>
#include <cmath>

namespace {

QString Option(const cups_dest_t& dest, const char* name)
{
    return QString::fromUtf8(cupsGetOption(name, dest.num_options, dest.options));
}

int QueuedJobs(const char* printer)
{
    cups_job_t* jobs = nullptr;
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, printer, 0, CUPS_WHICHJOBS_ACTIVE);
    cupsFreeJobs(n, jobs);
    return std::max(0, n);
}

} // namespace

QList<QPair<QByteArray, QByteArray>> CupsJobOptions(const XPrintSettings& s)
{
    QList<QPair<QByteArray, QByteArray>> options;
    options.append({"copies", QByteArray::number(std::max(1, s.copies))});
    const char* sides[] = {"one-sided", "two-sided-long-edge", "two-sided-short-edge"};
    options.append({"sides", QByteArray(sides[std::clamp(s.duplex, 0, 2)])});
    options.append({"print-color-mode", QByteArray(s.color ? "color" : "monochrome")});
    // the PDF's pages already carry the paper and its orientation; the media names the sheet
    const auto mm = [](double v) { return QByteArray::number(std::round(v * 10) / 10, 'g', 6); };
    options.append({"media", "Custom." + mm(s.paperWidth) + "x" + mm(s.paperLength) + "mm"});
    options.append({"orientation-requested", QByteArray(s.landscape ? "4" : "3")});
    return options;
}

QList<XPrinterEntry> XCupsPrinterCatalog::List()
{
    QList<XPrinterEntry> entries;
    cups_dest_t* dests = nullptr;
    const int n = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    for (int i = 0; i < n; ++i) {
        const cups_dest_t& d = dests[i];
        if (d.instance)
            continue;
        XPrinterEntry e;
        e.name = QString::fromUtf8(d.name);
        e.jobs = QueuedJobs(d.name);
        e.states = PrinterStateTexts(Option(d, "printer-state").toInt(),
                                     Option(d, "printer-state-reasons").split(u',', Qt::SkipEmptyParts));
        e.physical = IsPhysicalDeviceUri(Option(d, "device-uri"));
        entries.append(e);
    }
    cupsFreeDests(n, dests);
    return entries;
}

bool XCupsPrinterCatalog::Capabilities(const QString& printer, XPrinterCaps& caps)
{
    const QPrinterInfo info = QPrinterInfo::printerInfo(printer);
    if (info.isNull())
        return false;
    caps = XPrinterCaps();
    const QPageSize largest = info.maximumPhysicalPageSize();
    // driverless queues often name no largest size: then any size may be asked for
    if (largest.isValid()) {
        const QSizeF mm = largest.size(QPageSize::Millimeter);
        caps.maxWidth = static_cast<int>(mm.width() * 10);
        caps.maxLength = static_cast<int>(mm.height() * 10);
    }
    caps.color = info.supportedColorModes().contains(QPrinter::Color);
    const QList<QPrinter::DuplexMode> duplex = info.supportedDuplexModes();
    caps.duplex = duplex.contains(QPrinter::DuplexLongSide) || duplex.contains(QPrinter::DuplexShortSide);
    return true;
}

bool XCupsPrinterCatalog::Submit(const QString& printer, const QString& pdfPath, const XPrintSettings& settings,
                                 QString& error)
{
    cups_option_t* options = nullptr;
    int count = 0;
    for (const auto& [name, value] : CupsJobOptions(settings))
        count = cupsAddOption(name.constData(), value.constData(), count, &options);
    const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, printer.toUtf8().constData(), pdfPath.toUtf8().constData(),
                                   settings.title.toUtf8().constData(), count, options);
    cupsFreeOptions(count, options);
    if (job <= 0) {
        error = QString::fromUtf8(cupsLastErrorString());
        return false;
    }
    return true;
}
