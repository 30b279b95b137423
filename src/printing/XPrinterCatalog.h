#pragma once

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>

class CXArray;

// One printer of the machine as the catalog lists it.
struct XPrinterEntry
{
    QString name;
    int jobs = 0;          // jobs queued
    QStringList states;    // state texts ("缺纸", "暂停"); empty when ready
    bool physical = false; // a real device (USB, network), not a file or PDF queue
};

// What a printer can do; sizes in tenths of a millimetre, 65534 when the printer does not say.
struct XPrinterCaps
{
    int maxWidth = 65534;
    int maxLength = 65534;
    bool color = true;
    bool duplex = true;
};

// How one print job is to be printed.
struct XPrintSettings
{
    QString title;
    int copies = 1;
    int duplex = 0; // 0 one-sided, 1 long edge, 2 short edge
    bool color = false;
    double paperWidth = 210.0; // mm, portrait sides
    double paperLength = 297.0;
    bool landscape = false;
};

// The printers of the machine: listing, capabilities and submitting a finished PDF. The
// program installs the system's catalog; tests install one that writes PDF files.
class XPrinterCatalog
{
public:
    virtual ~XPrinterCatalog() = default;
    virtual QList<XPrinterEntry> List() = 0;
    // False when the printer is unknown or does not answer.
    virtual bool Capabilities(const QString& printer, XPrinterCaps& caps) = 0;
    // Queues the PDF on the printer; false with the reason when the job was not accepted.
    virtual bool Submit(const QString& printer, const QString& pdfPath, const XPrintSettings& settings,
                        QString& error) = 0;
};

// The installed catalog; without one, a catalog with no printers.
XPrinterCatalog& PrinterCatalog();
// Installs the catalog (not owned; null for none) and returns the previous one.
XPrinterCatalog* SetPrinterCatalog(XPrinterCatalog* catalog);

// Empties the array and adds one plain record per printer: title the name, line id the
// queued jobs, and its state texts as grey messages, or "就绪" at the good level.
void GetPrinterList(CXArray& printers, bool bPhysicalOnly);

// The state texts of a printer from its state (3 idle, 4 processing, 5 stopped) and its
// state reasons, in the order of the printer state table; empty when ready.
QStringList PrinterStateTexts(int state, const QStringList& reasons);

// Whether a device address names a real device rather than a file or a PDF writer.
bool IsPhysicalDeviceUri(const QString& uri);
