// Issues and alters receipts for ever through the program's own save path, in the database
// of the program folder LORVAN_HOME names, until the crash-safety test kills the worker. Each kind of
// receipt is one writer of the table below; a kind joins the loop with a row here and a
// checker in the test.
//
// Every receipt states what a whole save leaves behind: its payer reads "whole-<lines>-<
// alterations>", so the test can tell a receipt from a torn one without knowing when the
// child died.
#include "CDBCollect.h"
#include "CDBReceipt.h"
#include "CModuleCollect.h"
#include "CModuleReceipt.h"
#include "CXDBSession.h"
#include "OpenDatabase.h"
#include "RecordWriter.h"

#include <QtCore/QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>

#include <sys/wait.h>
#include <unistd.h>

namespace {

using XRandom = std::mt19937;

const CXItem& Operator()
{
    static const CXItem* user = [] {
        auto* u = new CXItem;
        u->m_nMduID = MDU_TEACHER;
        u->m_nID = 1;
        u->m_strName = QStringLiteral("校长");
        u->m_nRightRole = 2;
        return u;
    }();
    return *user;
}

QString WholeMark(int lines, int alterations) { return QStringLiteral("whole-%1-%2").arg(lines).arg(alterations); }

void FillCollectLines(CDBCollect& c, int lines)
{
    c.m_items.RemoveAll(&c);
    for (int k = 1; k <= lines; ++k)
        c.AddItem(QStringLiteral("line %1/%2").arg(k).arg(lines), QStringLiteral("个"), k, 1.5);
}

int g_lastCollect = 0;

// Each returns the ID of the receipt saved, 0 when there was nothing to do, -1 on failure.
int IssueCollect(XRandom& rnd)
{
    CDBCollect c;
    const int lines = 1 + static_cast<int>(rnd() % 5);
    c.m_strPayer = WholeMark(lines, 0);
    c.m_strPayType = QStringLiteral("现金");
    FillCollectLines(c, lines);
    if (!SaveItem(nullptr, &c, nullptr, Operator()))
        return -1;
    g_lastCollect = c.m_nID;
    return c.m_nID;
}

// Reads a receipt back and saves it with other lines: the update, the removal of the stale
// lines and the change's log row are one save.
int AlterCollect(XRandom& rnd)
{
    CModule* module = FindModule(MDU_COLLECT);
    if (g_lastCollect == 0)
        return 0;
    // any receipt up to the last one this run issued, also those of runs killed earlier
    CXArray items(nullptr, true);
    CXMap query;
    query.SetText(QKEY_IDS, QString::number(1 + static_cast<int>(rnd() % static_cast<unsigned>(g_lastCollect))));
    if (!module->QueryItems(items, query, true, false))
        return -1;
    if (items.IsEmpty())
        return 0;
    auto* c = static_cast<CDBCollect*>(items.GetAt(0));
    std::unique_ptr<CXItem> earlier(c->CopyTo(nullptr));
    const QStringList mark = c->m_strPayer.split(u'-');
    const int lines = 1 + static_cast<int>(rnd() % 5);
    c->m_strPayer = WholeMark(lines, mark.value(2).toInt() + 1);
    FillCollectLines(*c, lines);
    return SaveItem(nullptr, c, earlier.get(), Operator()) ? c->m_nID : -1;
}

// Enrolment receipts: a sale of the one package to the one student; an alteration reads
// the receipt back and saves it with other alteration lines, as the alteration page saves
// the whole receipt.
int g_lastReceipt = 0;

void FillAlterations(CDBReceipt& r, int lines)
{
    r.m_alters.RemoveAll(&r);
    for (int k = 1; k <= lines; ++k) {
        auto* a = static_cast<CDBReceiptAlter*>(r.m_alters.CreateItem());
        a->m_dtDate = XDateTime::Today();
        a->m_nAlterType = k == 3 ? 1 : 0;
        a->m_fAlterPrice = k == 3 ? -100 : 50 * k;
        a->m_nAlterLesson = k == 3 ? 0 : k;
        a->m_strInsider = QStringLiteral("家长");
        r.m_alters.Add(a);
    }
}

int IssueReceipt(XRandom&)
{
    CDBReceipt r;
    r.m_dtDate = XDateTime::Today();
    r.m_student.m_nID = 1;
    r.m_charge.m_nID = 1;
    r.m_strPayType = QStringLiteral("现金");
    r.m_strPayer = WholeMark(0, 0);
    if (!SaveItem(nullptr, &r, nullptr, Operator()))
        return -1;
    g_lastReceipt = r.m_nID;
    return r.m_nID;
}

int AlterReceipt(XRandom& rnd)
{
    CModule* module = FindModule(MDU_RECEIPT);
    if (g_lastReceipt == 0)
        return 0;
    CXArray items(nullptr, true);
    CXMap query;
    query.SetText(QKEY_IDS, QString::number(1 + static_cast<int>(rnd() % static_cast<unsigned>(g_lastReceipt))));
    if (!module->QueryItems(items, query, true, false))
        return -1;
    if (items.IsEmpty())
        return 0;
    auto* r = static_cast<CDBReceipt*>(items.GetAt(0));
    std::unique_ptr<CXItem> earlier(r->CopyTo(nullptr));
    const QStringList mark = r->m_strPayer.split(u'-');
    const int lines = static_cast<int>(rnd() % 4);
    r->m_strPayer = WholeMark(lines, mark.value(2).toInt() + 1);
    FillAlterations(*r, lines);
    return SaveItem(nullptr, r, earlier.get(), Operator()) ? r->m_nID : -1;
}

struct XWriter
{
    const char* kind;
    int (*issue)(XRandom&);
    int (*alter)(XRandom&);
};

const XWriter kWriters[] = {
    {"collect", IssueCollect, AlterCollect},
    {"receipt", IssueReceipt, AlterReceipt},
};

// One worker: saves until killed (or until a save fails: exit 3). Every save that returned
// is acknowledged with "<kind> issued <id>" or "<kind> altered <id>": it was committed.
[[noreturn]] void Work(unsigned seed)
{
    XRandom rnd(seed);
    for (;;) {
        const XWriter& w = kWriters[rnd() % std::size(kWriters)];
        const bool alter = rnd() % 4 == 0;
        const int id = alter ? w.alter(rnd) : w.issue(rnd);
        if (id < 0) {
            std::fprintf(stderr, "%s: a save failed\n", w.kind);
            std::_Exit(3);
        }
        if (id > 0) {
            std::printf("%s %s %d\n", w.kind, alter ? "altered" : "issued", id);
            std::fflush(stdout);
        }
    }
}

} // namespace

// A fork server, so that a kill costs a fork rather than a program start: each "go <seed>"
// line on stdin forks a worker that saves from a connection of its own, answers "pid <pid>",
// and once the worker is gone "dead <signal>" (or "exit <code>"). End of input ends it.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    CModuleCollect collects;
    CModuleReceipt receipts;
    RegisterModule(&collects);
    RegisterModule(&receipts);
    {
        CXDBSession session;
        session.Connect();
        // the student and the package every enrolment receipt names
        const bool school = session.ExecuteSql(QStringLiteral(
            "INSERT INTO TB_COURSE (RecordName) SELECT '钢琴' WHERE NOT EXISTS (SELECT 1 FROM TB_COURSE);"
            "INSERT INTO TB_CHARGE (RecordName, LessonNum, UnitPrice, ValidDays) SELECT '钢琴一对一', 15, 200, 183 "
            "WHERE NOT EXISTS (SELECT 1 FROM TB_CHARGE);"
            "INSERT INTO TB_CHARGE_COURSE (ChargeID, CourseID) SELECT 1, 1 WHERE NOT EXISTS (SELECT 1 FROM "
            "TB_CHARGE_COURSE);"
            "INSERT INTO TB_STUDENT (RealName) SELECT '张三' WHERE NOT EXISTS (SELECT 1 FROM TB_STUDENT)"));
        if (!school || !MarkWritableColumns(session)) {
            std::fprintf(stderr, "cannot open the database\n");
            return 2;
        }
    }
    // no database handle may cross the fork: each worker opens its own
    CXDBSession::CloseShared();

    char line[64];
    while (std::fgets(line, sizeof line, stdin)) {
        unsigned seed = 0;
        if (std::sscanf(line, "go %u", &seed) != 1)
            continue;
        std::fflush(stdout);
        const pid_t pid = fork();
        if (pid < 0)
            return 4;
        if (pid == 0)
            Work(seed);
        std::printf("pid %d\n", static_cast<int>(pid));
        std::fflush(stdout);
        int status = 0;
        if (waitpid(pid, &status, 0) != pid)
            return 5;
        if (WIFSIGNALED(status))
            std::printf("dead %d\n", WTERMSIG(status));
        else
            std::printf("exit %d\n", WEXITSTATUS(status));
        std::fflush(stdout);
    }
    UnregisterModule(&receipts);
    UnregisterModule(&collects);
    return 0;
}
