#pragma once

#include "XPrinterCatalog.h"

// The printers CUPS knows: their states and queued jobs from the CUPS server, their
// largest paper, colour and duplex from Qt's printer information, and jobs submitted as
// PDF files with the template's options.
class XCupsPrinterCatalog : public XPrinterCatalog
{
public:
    QList<XPrinterEntry> List() override;
    bool Capabilities(const QString& printer, XPrinterCaps& caps) override;
    bool Submit(const QString& printer, const QString& pdfPath, const XPrintSettings& settings,
                QString& error) override;
};

// The CUPS job options of the settings: copies, sides, colour mode, media and orientation.
QList<QPair<QByteArray, QByteArray>> CupsJobOptions(const XPrintSettings& settings);
