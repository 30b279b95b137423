// Serves the fixture school to a browser journey: saves the school into a temporary program
// folder through the program's own writer, starts the web service on a free port, prints
// "PORT <n>" and serves until its standard input closes.
//
// Besides the fixture, the school has a receipt print template and 郑强 may change class
// records (an operator with query and change rights on them), both saved the way the desktop
// saves them. The machine's CUPS printers are the printers (CUPS_SERVER picks the scheduler).
//
// A journey may ask, one line on standard input each:
//   remained   -> "REMAINED <number>=<lessons left> ..." for every receipt, as the desktop
//                 reads them from the database
//   setting <n> -> "SETTING <value>": preference field n as freshly read from the store
#include "CDBReceipt.h"
#include "CDBSetup.h"
#include "CDBTeacher.h"
#include "CDBTempl.h"
#include "CFakeAppServices.h"
#include "CModulePrjQuery.h"
#include "CModuleTempl.h"
#include "CMD5.h"
#include "CXArray.h"
#include "CXDBSession.h"
#include "FixtureSchool.h"
#include "OpenDatabase.h"
#include "RecordWriter.h"
#include "Resources.h"
#include "TeachingModules.h"
#include "WebService.h"
#include "WebState.h"
#include "XCupsPrinterCatalog.h"
#include "XErrorReporter.h"

#include <QtCore/QTemporaryDir>
#include <QtGui/QGuiApplication>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

namespace {

// A port nobody listens on now (the kernel's pick).
int FreePort()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
        port = ntohs(addr.sin_port);
    close(fd);
    return port;
}

std::unique_ptr<CXItem> ReadById(int mduId, int id)
{
    CModule* module = FindModule(mduId);
    CXArray items(nullptr, true);
    CXMap query;
    query.SetText(1, QString::number(id));
    if (!module || !module->QueryItems(items, query, false, true) || items.GetSize() != 1)
        return nullptr;
    std::unique_ptr<CXItem> item(items.Detach(0));
    item->m_pArray = nullptr;
    return item;
}

// 郑强, an operator who may read class records, may change them too: saved through the writer.
bool GrantClassRecordRights(int teacherId)
{
    std::unique_ptr<CXItem> read = ReadById(MDU_TEACHER, teacherId);
    auto* teacher = dynamic_cast<CDBTeacher*>(read.get());
    if (!teacher)
        return false;
    std::unique_ptr<CXItem> earlier(teacher->CopyTo(nullptr));
    teacher->m_nRightRole = 1;
    teacher->m_strRightData = QStringLiteral("<r><x id=\"%1\">%2</x></r>").arg(MDU_EDURCD).arg(RIGHT_QRY | RIGHT_MDF);
    teacher->m_rights.RemoveAll(nullptr);
    if (teacher->Validate(&FixtureUser(), true) >= ST_STOP) {
        std::fprintf(stderr, "teacher refused: %s\n", qPrintable(teacher->GetErrorText()));
        return false;
    }
    return SaveItem(nullptr, teacher, earlier.get(), FixtureUser());
}

int SaveReceiptTemplate()
{
    CDBTempl templ;
    templ.m_strName = QStringLiteral("报名收据");
    templ.m_nTemplMduID = MDU_RECEIPT;
    templ.m_templ = LoadResourceBytes(450, RT_RTF);
    if (templ.m_templ.isEmpty() || !SaveItem(nullptr, &templ, nullptr, FixtureUser()))
        return 0;
    return templ.m_nID;
}

QString RemainedLine()
{
    QString line = QStringLiteral("REMAINED");
    CModule* module = FindModule(MDU_RECEIPT);
    CXArray items(nullptr, true);
    if (!module || !module->QueryItems(items, CXMap(), true, false))
        return line;
    for (const CXItem* item : items)
        if (const auto* receipt = dynamic_cast<const CDBReceipt*>(item))
            line += QStringLiteral(" %1=%2").arg(receipt->m_strName).arg(receipt->m_nRemained);
    return line;
}

QString StoredSetting(int order)
{
    CDBSetup stored;
    stored.Load();
    const CHeads* heads = stored.GetHeads();
    if (order < 0 || order >= heads->GetSize())
        return QStringLiteral("UNKNOWN");
    return QStringLiteral("SETTING ") + stored.GetRawText(heads->GetAt(order));
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("LORVAN_HOME", home.path().toLocal8Bit());
    QGuiApplication app(argc, argv);

    CFakeAppServices services;
    services.expectPrompts = true; // no test runs here: errors go to stderr
    services.setup[QStringLiteral("RecordName")] = QStringLiteral("星光艺术学校");
    services.setup[QStringLiteral("DefaultPwd0")] = QStringLiteral("teach");
    services.setup[QStringLiteral("DefaultPwd1")] = QStringLiteral("learn");
    SetAppServices(&services);
    SetErrorSink([](const XErrorReport& r) {
        std::fprintf(stderr, "error report: %s | %s\n", qPrintable(r.task), qPrintable(r.message));
    });

    int rc = 0;
    {
        TempDatabase db;
        FixtureModules modules;
        // the class records and timetables phones read, and the query schemes of the lists
        XTeachingModules teaching;
        teaching.Register();
        CModulePrjQuery schemes;
        RegisterModule(&schemes);
        CModuleTempl templates;
        RegisterModule(&templates);
        XCupsPrinterCatalog printers;
        SetPrinterCatalog(&printers);
        {
            CXDBSession session;
            session.Connect();
            if (!MarkWritableColumns(session))
                return 2;
        }
        XFixtureSchool school;
        if (!BuildFixtureSchool(school))
            return 3;
        // 刘芳 (administrator) has a password of her own; the others keep the initial one
        Exec(QStringLiteral("UPDATE TB_TEACHER SET UserPassword='%1' WHERE ID=%2")
                 .arg(Md5HexW(QStringLiteral("liufang")))
                 .arg(school.t1));
        // the preferences the program holds while it runs, read from the store as at start
        CDBSetup current;
        current.Load();
        current.m_strRecordName = services.setup[QStringLiteral("RecordName")].toString();
        SetCurrentSetup(&current);
        const int templ = SaveReceiptTemplate();
        if (!templ || !GrantClassRecordRights(school.t5))
            return 3;

        const int port = FreePort();
        xInternet::SetWebPortRange(port, port);
        xInternet::StartWebService();
        for (int i = 0; i < 500 && !xInternet::GetWebServiceState().port; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (!xInternet::GetWebServiceState().port) {
            std::fprintf(stderr, "the web service did not start on port %d\n", port);
            rc = 4;
        } else {
            std::printf("PORT %d\n", port);
            std::fflush(stdout);
            char line[256];
            while (std::fgets(line, sizeof line, stdin)) {
                QString answer;
                if (std::strncmp(line, "remained", 8) == 0)
                    answer = RemainedLine();
                else if (std::strncmp(line, "setting ", 8) == 0)
                    answer = StoredSetting(std::atoi(line + 8));
                else
                    answer = QStringLiteral("UNKNOWN");
                std::printf("%s\n", answer.toUtf8().constData());
                std::fflush(stdout);
            }
        }
        xInternet::StopWebService();
        SetPrinterCatalog(nullptr);
        SetCurrentSetup(nullptr);
        UnregisterModule(&templates);
        UnregisterModule(&schemes);
        teaching.Unregister();
    }
    SetErrorSink(nullptr);
    SetAppServices(nullptr);
    return rc;
}
