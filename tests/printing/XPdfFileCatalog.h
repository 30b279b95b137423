#pragma once

#include "XPrinterCatalog.h"

#include <QtCore/QFile>
#include <QtCore/QMap>

// Printers that write each job's PDF into a folder, for tests: by default one physical
// printer "Office Laser" (colour and duplex, largest paper 216 x 356 mm) and one virtual
// "PDF Writer".
class XPdfFileCatalog : public XPrinterCatalog
{
public:
    explicit XPdfFileCatalog(const QString& folder) : m_folder(folder)
    {
        m_entries = {{QStringLiteral("Office Laser"), 2, {}, true}, {QStringLiteral("PDF Writer"), 0, {}, false}};
        m_caps.insert(QStringLiteral("Office Laser"), {2160, 3560, true, true});
        m_caps.insert(QStringLiteral("PDF Writer"), {});
        m_previous = SetPrinterCatalog(this);
    }
    ~XPdfFileCatalog() override { SetPrinterCatalog(m_previous); }

    QList<XPrinterEntry> List() override { return m_entries; }
    bool Capabilities(const QString& printer, XPrinterCaps& caps) override
    {
        if (!m_caps.contains(printer))
            return false;
        caps = m_caps.value(printer);
        return true;
    }
    bool Submit(const QString& printer, const QString& pdf, const XPrintSettings& settings, QString& error) override
    {
        if (m_fail) {
            error = QStringLiteral("打印机脱机");
            return false;
        }
        const QString target = QStringLiteral("%1/%2-%3.pdf").arg(m_folder, printer).arg(jobs.size() + 1);
        if (!QFile::copy(pdf, target)) {
            error = QStringLiteral("copy failed");
            return false;
        }
        jobs.append({target, settings});
        return true;
    }

    struct Job
    {
        QString pdf;
        XPrintSettings settings;
    };
    QList<Job> jobs;
    bool m_fail = false;
    QList<XPrinterEntry> m_entries;
    QMap<QString, XPrinterCaps> m_caps;

private:
    QString m_folder;
    XPrinterCatalog* m_previous;
};
