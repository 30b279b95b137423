// Printing through a real CUPS scheduler: one started for the test in a folder of its own,
// with a queue that writes every job into a file. Skipped where no scheduler can start.
#include "XCupsPrinterCatalog.h"

#include <gtest/gtest.h>

#include <QtCore/QDateTime>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QProcess>
#include <QtCore/QStandardPaths>
#include <QtCore/QTemporaryDir>
#include <QtCore/QThread>
#include <QtGui/QPainter>
#include <QtGui/QPdfWriter>

#include <pwd.h>
#include <unistd.h>

namespace {

bool WriteFile(const QString& path, const QByteArray& text)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
}

class CupsScheduler
{
public:
    // Empty when it runs; else why not.
    QString Start()
    {
        const QString cupsd = QStandardPaths::findExecutable(QStringLiteral("cupsd"), {QStringLiteral("/usr/sbin")});
        const QString lpadmin =
            QStandardPaths::findExecutable(QStringLiteral("lpadmin"), {QStringLiteral("/usr/sbin")});
        if (cupsd.isEmpty() || lpadmin.isEmpty())
            return QStringLiteral("cupsd or lpadmin is not installed (Debian: cups)");
        if (geteuid() != 0)
            return QStringLiteral("starting a private cupsd needs root");
        const QString root = m_dir.path();
        for (const char* sub : {"spool", "cache", "log", "run", "state", "out"})
            QDir(root).mkpath(QLatin1String(sub));
        QFile::setPermissions(root + QStringLiteral("/out"), QFile::Permissions(0x7777));
        QProcess::execute(QStringLiteral("chown"), {QStringLiteral("-R"), QStringLiteral("lp"), root});
        const QByteArray r = root.toUtf8();
        m_socket = root + QStringLiteral("/run/cups.sock");
        WriteFile(root + QStringLiteral("/cupsd.conf"),
                  "Listen " + m_socket.toUtf8() +
                      "\nLogLevel warn\nWebInterface no\nDefaultAuthType None\n"
                      "<Location />\n Order allow,deny\n Allow all\n</Location>\n");
        WriteFile(root + QStringLiteral("/cups-files.conf"),
                  "ServerRoot " + r + "\nRequestRoot " + r + "/spool\nCacheDir " + r + "/cache\nStateDir " + r +
                      "/state\nTempDir " + r + "/spool\nErrorLog " + r + "/log/error_log\nAccessLog " + r +
                      "/log/access_log\nPageLog " + r +
                      "/log/page_log\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\nUser lp\nGroup lp\n"
                      "Sandboxing relaxed\nFileDevice Yes\n");
        m_cupsd.start(cupsd, {QStringLiteral("-f"), QStringLiteral("-c"), root + QStringLiteral("/cupsd.conf"),
                              QStringLiteral("-s"), root + QStringLiteral("/cups-files.conf")});
        if (!m_cupsd.waitForStarted(5000))
            return QStringLiteral("cupsd did not start");
        for (int i = 0; i < 50 && !QFileInfo::exists(m_socket); ++i)
            QThread::msleep(100);
        if (!QFileInfo::exists(m_socket))
            return QStringLiteral("cupsd did not listen");
        qputenv("CUPS_SERVER", m_socket.toUtf8());
        // the PDF queue writes each job into the PDF folder of the submitting user's home
        const QString ppd = QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd");
        if (!QFileInfo::exists(ppd) || !QFileInfo::exists(QStringLiteral("/usr/lib/cups/backend/cups-pdf")))
            return QStringLiteral("the PDF queue is not installed (Debian: printer-driver-cups-pdf)");
        if (const passwd* pw = getpwuid(geteuid()))
            m_out = QString::fromLocal8Bit(pw->pw_dir) + QStringLiteral("/PDF");
        if (QProcess::execute(lpadmin,
                              {QStringLiteral("-p"), QStringLiteral("OfficePDF"), QStringLiteral("-E"),
                               QStringLiteral("-v"), QStringLiteral("cups-pdf:/"), QStringLiteral("-P"), ppd}) != 0)
            return QStringLiteral("lpadmin could not add the queue");
        return QString();
    }
    ~CupsScheduler()
    {
        if (m_cupsd.state() != QProcess::NotRunning) {
            m_cupsd.terminate();
            m_cupsd.waitForFinished(5000);
        }
        qunsetenv("CUPS_SERVER");
    }
    QString Output() const { return m_out; }

private:
    QTemporaryDir m_dir;
    QProcess m_cupsd;
    QString m_socket, m_out;
};

TEST(CupsPrinting, QueuesAPdfOnARealScheduler)
{
    CupsScheduler cups;
    if (const QString why = cups.Start(); !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    XCupsPrinterCatalog catalog;
    const QList<XPrinterEntry> printers = catalog.List();
    ASSERT_EQ(printers.size(), 1);
    EXPECT_EQ(printers[0].name, QStringLiteral("OfficePDF"));
    EXPECT_FALSE(printers[0].physical); // a file queue
    EXPECT_TRUE(printers[0].states.isEmpty());
    XPrinterCaps caps;
    EXPECT_TRUE(catalog.Capabilities(QStringLiteral("OfficePDF"), caps));
    EXPECT_FALSE(catalog.Capabilities(QStringLiteral("NoSuchPrinter"), caps));

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("job.pdf"));
    {
        QPdfWriter writer(pdf);
        QPainter p(&writer);
        p.drawText(QPointF(200, 200), QStringLiteral("CUPS test page"));
    }
    XPrintSettings settings;
    // a title of its own finds this job's file among earlier ones
    settings.title = QStringLiteral("LorvanTest%1").arg(QDateTime::currentMSecsSinceEpoch());
    settings.copies = 2;
    QString error;
    ASSERT_TRUE(catalog.Submit(QStringLiteral("OfficePDF"), pdf, settings, error)) << error.toStdString();
    QByteArray out;
    for (int i = 0; i < 150 && out.isEmpty(); ++i) {
        QThread::msleep(100);
        for (const QFileInfo& file : QDir(cups.Output()).entryInfoList({settings.title + u'*'}, QDir::Files)) {
            QFile f(file.filePath());
            if (f.open(QIODevice::ReadOnly) && f.size() > 0) {
                out = f.readAll();
                f.remove();
            }
        }
    }
    EXPECT_TRUE(out.startsWith("%PDF")) << out.left(20).toStdString();
    EXPECT_FALSE(catalog.Submit(QStringLiteral("NoSuchPrinter"), pdf, settings, error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(CupsPrinting, JobOptions)
{
    XPrintSettings s;
    s.copies = 3;
    s.duplex = 2;
    s.color = true;
    s.paperWidth = 210;
    s.paperLength = 297;
    s.landscape = true;
    const auto options = CupsJobOptions(s);
    const QList<QPair<QByteArray, QByteArray>> expected = {{"copies", "3"},
                                                           {"sides", "two-sided-short-edge"},
                                                           {"print-color-mode", "color"},
                                                           {"media", "Custom.210x297mm"},
                                                           {"orientation-requested", "4"}};
    EXPECT_EQ(options, expected);
}

} // namespace
