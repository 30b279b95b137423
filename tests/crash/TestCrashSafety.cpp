// A child issues and alters receipts through the program's own save path while this test
// kills it at random moments. After every kill the file must be sound and every receipt in
// it whole: its number, its lines and its log rows all there, or the receipt not there at
// all; and every save the child saw return must still be there. The child's payer mark
// "whole-<lines>-<alterations>" says what whole means.
#include "DbTestSupport.h"
#include "RecordConsts.h"

#include <gtest/gtest.h>

#include <QtCore/QElapsedTimer>
#include <QtCore/QProcess>
#include <QtCore/QThread>

#include <functional>
#include <map>
#include <random>

#include <signal.h>
#include <sys/types.h>

namespace {

constexpr int kKills = 100;

// One kind of receipt: its table, its lines' table and parent column, its module and the
// number pattern's prefix.
struct XKind
{
    const char* kind;
    const char* table;
    const char* lines;
    const char* parent;
    int mduId;
    const char* prefix;
};

// Every receipt of the kind whole, no line or add-log row without its receipt; the first
// fault found, or empty.
QString CheckWhole(const XKind& k)
{
    const struct
    {
        const char* what;
        const char* sql; // counts the faulty rows
    } checks[] = {
        {"receipt without a number of the pattern",
         "SELECT COUNT(*) FROM %T WHERE KeyName NOT GLOB '%P[0-9][0-9][0-9][0-9][0-9][0-9]'"},
        {"number given twice", "SELECT COUNT(*) - COUNT(DISTINCT KeyName) FROM %T"},
        {"receipt whose lines are not the ones its last save wrote",
         "SELECT COUNT(*) FROM %T c WHERE (SELECT COUNT(*) FROM %L i WHERE i.%C=c.ID) <> "
         "CAST(substr(c.Payer, 7, instr(substr(c.Payer, 7), '-') - 1) AS INTEGER)"},
        {"receipt without exactly one add-log row",
         "SELECT COUNT(*) FROM %T c WHERE (SELECT COUNT(*) FROM TB_OPERLOG o WHERE o.TypeID=4 AND "
         "o.MduID=%M AND o.ItemID=c.ID) <> 1"},
        {"alteration without its log row, or a log row without its alteration",
         "SELECT COUNT(*) FROM %T c WHERE (SELECT COUNT(*) FROM TB_OPERLOG o WHERE o.TypeID=6 AND "
         "o.MduID=%M AND o.ItemID=c.ID) <> CAST(substr(c.Payer, 8 + instr(substr(c.Payer, 7), '-') - 1) AS INTEGER)"},
        {"line without its receipt", "SELECT COUNT(*) FROM %L WHERE %C NOT IN (SELECT ID FROM %T)"},
        {"add-log row without its receipt",
         "SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=4 AND MduID=%M AND ItemID NOT IN (SELECT ID FROM %T)"},
    };
    for (const auto& c : checks) {
        const QString sql = QString::fromUtf8(c.sql)
                                .replace(QLatin1String("%T"), QLatin1String(k.table))
                                .replace(QLatin1String("%L"), QLatin1String(k.lines))
                                .replace(QLatin1String("%C"), QLatin1String(k.parent))
                                .replace(QLatin1String("%M"), QString::number(k.mduId))
                                .replace(QLatin1String("%P"), QLatin1String(k.prefix));
        const QString faults = QueryText(sql);
        if (faults != QLatin1String("0"))
            return QStringLiteral("%1: %2").arg(QString::fromUtf8(c.what), faults);
    }
    return QString();
}

// The receipt kinds the child writes (its table of writers names the same kinds). The lines
// of an enrolment receipt are its alterations; of a general receipt, its items.
const XKind kKinds[] = {
    {"collect", "TB_COLLECT", "TB_COLLECT_ITEM", "CollectID", MDU_COLLECT, "T"},
    {"receipt", "TB_RECEIPT", "TB_RECEIPT_ALTER", "ReceiptID", MDU_RECEIPT, "B"},
};

// What the writer said about one worker: its process, the saves it acknowledged (each one
// committed), and how it ended.
struct XWorker
{
    pid_t pid = 0;
    int saves = 0;
    std::map<QString, QList<int>> issued; // kind -> IDs
    QByteArray end;                       // "dead <signal>" or "exit <code>"
};

// Reads the writer's lines until the condition holds; false when it does not within 10 s.
bool ReadUntil(QProcess& writer, XWorker& w, const std::function<bool()>& done)
{
    QElapsedTimer wait;
    wait.start();
    while (!done()) {
        if (!writer.canReadLine()) {
            if (writer.state() != QProcess::Running || wait.elapsed() > 10000)
                return false;
            writer.waitForReadyRead(50);
            continue;
        }
        const QList<QByteArray> words = writer.readLine().trimmed().split(' ');
        if (words.value(0) == "pid")
            w.pid = words.value(1).toInt();
        else if (words.value(0) == "dead" || words.value(0) == "exit")
            w.end = words.join(' ');
        else if (words.size() == 3) {
            ++w.saves;
            if (words[1] == "issued")
                w.issued[QString::fromLatin1(words[0])].append(words[2].toInt());
        }
    }
    return true;
}

TEST(CrashSafety, ReceiptsSurviveAKillAtAnyMomentWhole)
{
    TempDatabase db; // the writer finds it through the same program folder
    std::mt19937 rnd(20260318);
    QProcess writer;
    writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    writer.start(QStringLiteral(LORVAN_CRASH_WRITER), {});
    ASSERT_TRUE(writer.waitForStarted(10000));
    std::map<QString, QList<int>> acknowledged;
    for (int kill = 0; kill < kKills; ++kill) {
        writer.write(QByteArray("go ") + QByteArray::number(rnd()) + '\n');
        // the kill lands after 0, 1 or 2 acknowledged saves and a random pause: before the
        // first save, in the middle of one, or between two
        XWorker w;
        const int saves = static_cast<int>(rnd() % 3);
        ASSERT_TRUE(ReadUntil(writer, w, [&] { return w.pid > 0 && w.saves >= saves; })) << "kill " << kill;
        QThread::usleep(rnd() % 40000);
        ASSERT_EQ(::kill(w.pid, SIGKILL), 0);
        ASSERT_TRUE(ReadUntil(writer, w, [&] { return !w.end.isEmpty(); })) << "kill " << kill;
        ASSERT_EQ(w.end, QByteArray("dead ") + QByteArray::number(SIGKILL)) << "kill " << kill;
        for (const auto& [kind, ids] : w.issued)
            acknowledged[kind] += ids;

        ASSERT_EQ(QueryText(QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok")) << "after kill " << kill;
        for (const XKind& k : kKinds) {
            const QString fault = CheckWhole(k);
            ASSERT_TRUE(fault.isEmpty()) << k.kind << " after kill " << kill << ": " << fault.toStdString();
        }
    }
    writer.closeWriteChannel();
    EXPECT_TRUE(writer.waitForFinished(10000));
    // every save a worker saw return is there: a commit survives the kill right after it
    qsizetype issued = 0;
    for (const XKind& c : kKinds) {
        const QList<int>& ids = acknowledged[QString::fromLatin1(c.kind)];
        issued += ids.size();
        EXPECT_GE(ids.size(), kKills / 10) << c.kind; // each kind's writer really wrote
        QStringList list;
        for (int id : ids)
            list << QString::number(id);
        EXPECT_EQ(QueryNumber(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE ID IN (%2)")
                                  .arg(QString::fromLatin1(c.table), list.join(u','))),
                  ids.size())
            << c.kind;
    }
    EXPECT_GE(issued, kKills / 2); // the loop really wrote
}

} // namespace
