#include "LorvanVersion.h"
#include "CDBOperLog.h"
#include "CFakeAppServices.h"
#include "CHead.h"
#include "CModule.h"
#include "CodePages.h"
#include "CommandIds.h"
#include "DbTestSupport.h"
#include "OpenDatabase.h"
#include "OperLog.h"
#include "Resources.h"
#include "Settings.h"
#include "Version.h"
#include "XDateTime.h"

#include <gtest/gtest.h>

#include <QtCore/QDir>
#include <QtCore/QFile>

#include <memory>
#include <sys/stat.h>

namespace {

// The modules whose tables the schema declares so far; each domain adds its own here.
struct KnownModules
{
    KnownModules()
    {
        modules.push_back(std::make_unique<CModuleT<CDBOperLog>>());
        for (auto& m : modules)
            RegisterModule(m.get());
    }
    std::vector<std::unique_ptr<CModule>> modules;
};

const char* const kScript = R"(-- upgrade script of the tests
--[VERSION 4.5.5.0]
CREATE TABLE T_OLD (ID INTEGER) -- made at 4.5.5.0
--[VERSION 4.5.6]
CREATE TABLE T_A (ID INTEGER);
INSERT INTO T_A VALUES (1);
    INSERT INTO T_A VALUES (2) -- [w] three statements
 -- a comment line of its own
UPDATE T_A SET ID=ID+10 WHERE ID=1 -- plain
--[VERSION 4.5.8.1]
DROP TABLE NO_SUCH_TABLE -- [i] gone already
insert into T_A values ('OPER_MDF') -- lower case, symbol
)";

class OpenDatabaseTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        XClock::SetFixed(XDateTime(2025, 3, 5, 9, 30, 0));
        CFakeAppServices::Installed().Clear();
        m_previousSink = SetErrorSink([this](const XErrorReport& r) { reports.push_back(r); });
    }
    void TearDown() override
    {
        SetErrorSink(m_previousSink);
        XClock::Reset();
        CFakeAppServices::Installed().Clear();
    }
    QString StoredVersion() const
    {
        return QueryText(
            QStringLiteral("SELECT KeyValue FROM TB_PROFILE WHERE SecName='Global' AND KeyName='DatabaseVersion'"));
    }
    QString RunRows() const
    {
        return QueryText(QStringLiteral("SELECT group_concat(OperMemo, '|') FROM (SELECT OperMemo FROM TB_OPERLOG "
                                        "WHERE TypeID=10 AND UserID=0 ORDER BY ID)"));
    }

    TempDatabase m_db;
    KnownModules m_modules;
    std::vector<XErrorReport> reports;
    XErrorSink m_previousSink;
};

TEST(CreateDatabase, MakesAPrivateStampedFileOnce)
{
    ScopedHome home;
    const QString path = home.Path() + QStringLiteral("/sub/Lorvan.mdb");
    ASSERT_TRUE(CreateDatabase(path)) << GetOleDbErrorText().toStdString();
    struct stat st = {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".new")));
    QFile header(path);
    ASSERT_TRUE(header.open(QIODevice::ReadOnly));
    EXPECT_EQ(header.read(20).mid(18, 2), QByteArray("\x02\x02", 2)); // made in WAL mode already

    CXDBSession s;
    ASSERT_TRUE(s.Open(path));
    CXAccessor cmd;
    ASSERT_TRUE(cmd.Open(
        s, QStringLiteral("SELECT KeyValue FROM TB_PROFILE WHERE SecName='global' AND KeyName='databaseversion'")));
    ASSERT_TRUE(cmd.MoveNext());
    EXPECT_EQ(cmd.GetText(1), GetProgramVersionText());
    EXPECT_EQ(GetProgramVersionText(), FormatString(u"%d.%d.%d.%d", LORVAN_VERSION_MAJOR, LORVAN_VERSION_MINOR,
                                                    LORVAN_VERSION_PATCH, LORVAN_VERSION_TWEAK));
    for (const char* table : {"TB_PROFILE", "TB_OPERLOG", "TB_PHOTO", "TB_ACCOUNT", "TB_PROJECT"}) {
        CXAccessor t;
        EXPECT_TRUE(t.Open(s, QStringLiteral("SELECT COUNT(*) FROM ") + QLatin1String(table))) << table;
    }
    // one row per section and key, whatever the case
    EXPECT_FALSE(
        s.ExecuteSql(QStringLiteral("INSERT INTO TB_PROFILE (SecName,KeyName) VALUES ('GLOBAL','DATABASEVERSION')")));
    // an existing file is left as it is
    ASSERT_TRUE(s.ExecuteSql(QStringLiteral("INSERT INTO TB_PHOTO (MduID) VALUES (0)")));
    ASSERT_TRUE(CreateDatabase(path));
    CXAccessor count;
    ASSERT_TRUE(count.Open(s, QStringLiteral("SELECT COUNT(*) FROM TB_PHOTO")) && count.MoveNext());
    EXPECT_EQ(count.GetNumber(1), 1);
}

TEST(UpgradeScript, SectionsGroupsAndComments)
{
    std::vector<XUpgradeTask> tasks =
        ScanUpgradeScript(QString::fromUtf8(kScript), ParseVersion(QStringLiteral("4.5.5.0")));
    QStringList got;
    for (const XUpgradeTask& t : tasks)
        got.append(t.text + QStringLiteral(" => ") + t.sql);
    EXPECT_EQ(got, (QStringList{
                       "4.5.6 [w] three statements => CREATE TABLE T_A (ID INTEGER)",
                       "4.5.6 [w] three statements => INSERT INTO T_A VALUES (1)",
                       "4.5.6 [w] three statements => INSERT INTO T_A VALUES (2)",
                       "4.5.6 plain => UPDATE T_A SET ID=ID+10 WHERE ID=1",
                       "4.5.8.1 [i] gone already => DROP TABLE NO_SUCH_TABLE",
                       "4.5.8.1 lower case, symbol => insert into T_A values (6)",
                   }));
    EXPECT_EQ(ScanUpgradeScript(QString::fromUtf8(kScript), 0).size(), 7u);
    EXPECT_TRUE(ScanUpgradeScript(QString::fromUtf8(kScript), ParseVersion(QStringLiteral("4.5.8.1"))).empty());
    // line ends of either kind
    const QString crlf = QString::fromUtf8(kScript).replace(u'\n', QLatin1String("\r\n"));
    EXPECT_EQ(ScanUpgradeScript(crlf, 0).size(), 7u);
    EXPECT_EQ(ScanUpgradeScript(crlf, 0)[0].text, "4.5.5.0 made at 4.5.5.0");
    // the shipped script holds no section newer than the program, and a database of the
    // first release has steps to take
    const QString shipped = LoadResourceText(IDR_SQL_UPGRADE, RT_SQL, CP_UTF8);
    EXPECT_TRUE(ScanUpgradeScript(shipped, ParseVersion(GetProgramVersionText())).empty());
    EXPECT_FALSE(ScanUpgradeScript(shipped, ParseVersion(QStringLiteral("4.6.0.0"))).empty());
}

TEST_F(OpenDatabaseTest, CurrentDatabaseRunsNoScriptButMarksColumnsAndLogsTheStart)
{
    ASSERT_TRUE(OpenDatabaseWithScript(QString::fromUtf8(kScript)));
    EXPECT_TRUE(CFakeAppServices::Installed().progress.isEmpty());
    EXPECT_TRUE(CFakeAppServices::Installed().messages.empty());
    EXPECT_FALSE(QDir(m_db.Home() + QStringLiteral("/backup")).exists());
    EXPECT_EQ(QueryText(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name='T_A'")), "0");
    const CHeads& heads = *CDBOperLog::StaticHeads();
    EXPECT_TRUE(heads.FindByColumn(QStringLiteral("OperMemo"))->m_bWritable);
    EXPECT_TRUE(heads.FindByColumn(QStringLiteral("UserSession"))->m_bWritable);
    EXPECT_FALSE(heads.FindByColumn(QStringLiteral("ID"))->m_bWritable);
    EXPECT_EQ(RunRows(), QString::fromUtf8("启动"));
    EXPECT_EQ(StoredVersion(), GetProgramVersionText());
    EXPECT_TRUE(reports.empty());
}

TEST_F(OpenDatabaseTest, OlderDatabaseIsBackedUpAndUpgraded)
{
    SetStoredVersion(QStringLiteral("4.5.5.0"));
    CFakeAppServices::Installed().expectPrompts = true; // the summary
    ASSERT_TRUE(OpenDatabaseWithScript(QString::fromUtf8(kScript)));
    // only the sections after 4.5.5.0 ran, every statement of a group on its own
    EXPECT_EQ(QueryText(QStringLiteral("SELECT group_concat(ID, ',') FROM T_A")), "11,2,6");
    EXPECT_EQ(QueryText(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name='T_OLD'")), "0");
    EXPECT_EQ(StoredVersion(), GetProgramVersionText());

    auto& fake = CFakeAppServices::Installed();
    ASSERT_GE(fake.progress.size(), 3);
    EXPECT_EQ(fake.progress[0], QString::fromUtf8("begin:升级数据库:7"));
    EXPECT_EQ(fake.progress[1], QString::fromUtf8("step:正在升级数据库 (6/1) ...\r\n4.5.6 [w] three statements"));
    EXPECT_EQ(fake.progress.last(), "end");

    // the warning makes the summary appear
    ASSERT_EQ(fake.messages.size(), 1u);
    const QString summary = fake.messages[0].text;
    EXPECT_EQ(fake.messages[0].type, static_cast<unsigned>(MB_ICONWARNING));
    EXPECT_TRUE(summary.startsWith(
        FormatString(u"数据库版本从 4.5.5.0 升级至 %s，共 6 项升级任务，其中 5 项执行完成，1 项忽略，0 项错误。",
                     GetProgramVersionText())))
        << summary.toStdString();
    EXPECT_TRUE(summary.contains(QString::fromUtf8("4.5.6 [w] three statements")));

    // the backup holds the database as it was, readable by its owner only
    const QString backup = m_db.Home() + QStringLiteral("/backup/Lorvan4.5.5.0_20250305.mdb");
    struct stat st = {};
    ASSERT_EQ(::stat(QFile::encodeName(backup).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    CXDBSession old;
    ASSERT_TRUE(old.Open(backup));
    CXAccessor check;
    ASSERT_TRUE(check.Open(old, QStringLiteral("SELECT (SELECT COUNT(*) FROM sqlite_master WHERE name='T_A') || "
                                               "(SELECT KeyValue FROM TB_PROFILE WHERE KeyName='DatabaseVersion')")));
    ASSERT_TRUE(check.MoveNext());
    EXPECT_EQ(check.GetText(1), "04.5.5.0");

    // the start log: the start, the ignored failure, the summary; also in the upgrade log
    const QStringList rows = RunRows().split(u'|');
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0], QString::fromUtf8("启动"));
    EXPECT_TRUE(rows[1].startsWith(
        QString::fromUtf8("升级数据库忽略：4.5.8.1 [i] gone already DROP TABLE NO_SUCH_TABLE no such table")))
        << rows[1].toStdString();
    EXPECT_EQ(rows[2], summary);
    QFile log(m_db.Home() + QStringLiteral("/lorvan.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(log.readAll()).contains(QString::fromUtf8("升级数据库忽略：")));
}

TEST_F(OpenDatabaseTest, IgnoredFailuresAloneShowNoSummaryErrorsDo)
{
    SetStoredVersion(QStringLiteral("4.5.0.0"));
    ASSERT_TRUE(OpenDatabaseWithScript(QStringLiteral("--[VERSION 4.5.1]\nDROP TABLE NO_SUCH -- [i] may be gone\n")));
    EXPECT_TRUE(CFakeAppServices::Installed().messages.empty());

    SetStoredVersion(QStringLiteral("4.5.0.0"));
    CFakeAppServices::Installed().expectPrompts = true;
    ASSERT_TRUE(OpenDatabaseWithScript(QStringLiteral("--[VERSION 4.5.1]\nDROP TABLE NO_SUCH -- must exist\n")));
    ASSERT_EQ(CFakeAppServices::Installed().messages.size(), 1u);
    EXPECT_TRUE(CFakeAppServices::Installed().messages[0].text.contains(
        QString::fromUtf8("其中 0 项执行完成，0 项忽略，1 项错误")));
    EXPECT_TRUE(RunRows().contains(QString::fromUtf8("升级数据库错误：4.5.1 must exist DROP TABLE NO_SUCH")));
}

TEST_F(OpenDatabaseTest, NoVersionRowCountsAsTheOldestVersion)
{
    SetStoredVersion(QString());
    const QString script = QStringLiteral("--[VERSION 4.1.1.0]\nCREATE TABLE T_SAME (ID INTEGER) -- not run\n"
                                          "--[VERSION 4.1.2]\nCREATE TABLE T_NEXT (ID INTEGER) -- run\n");
    ASSERT_TRUE(OpenDatabaseWithScript(script));
    EXPECT_EQ(QueryText(QStringLiteral("SELECT group_concat(name) FROM sqlite_master WHERE name LIKE 'T[_]%'")),
              "T_NEXT");
    EXPECT_TRUE(QFile::exists(m_db.Home() + QStringLiteral("/backup/Lorvan4.1.1.0_20250305.mdb")));
    EXPECT_EQ(StoredVersion(), GetProgramVersionText());
}

TEST_F(OpenDatabaseTest, OldChangeTextsAreConvertedBelow4480)
{
    SetStoredVersion(QStringLiteral("4.4.7"));
    const QString old = QString::fromUtf8(
        "修改项：姓名：\r\n修改前：张三\r\n修改后：李四\r\n\r\n修改项：电话：\r\n修改前：1\r\n修改后：2");
    CXDBSession s;
    s.Connect();
    CXAccessor insert;
    ASSERT_TRUE(insert.Prepare(s, QStringLiteral("INSERT INTO TB_OPERLOG (TypeID,OperMemo) VALUES (?,?)")));
    for (int type : {OPER_MDF, OPER_ADD}) {
        insert.SetParamInt(1, type);
        insert.SetParamText(2, old);
        ASSERT_TRUE(insert.Execute());
    }
    ASSERT_TRUE(OpenDatabaseWithScript(QString()));
    EXPECT_EQ(QueryText(QStringLiteral("SELECT OperMemo FROM TB_OPERLOG WHERE TypeID=6")),
              QString::fromUtf8("姓名：<del>张三</del>李四\r\n电话：<del>1</del>2"));
    EXPECT_EQ(QueryText(QStringLiteral("SELECT OperMemo FROM TB_OPERLOG WHERE TypeID=4")), old);
    EXPECT_FALSE(QDir(m_db.Home() + QStringLiteral("/backup")).exists()); // no task, no backup
}

TEST_F(OpenDatabaseTest, FailedBackupLeavesTheDatabaseUntouched)
{
    SetStoredVersion(QStringLiteral("4.5.5.0"));
    QFile blocker(m_db.Home() + QStringLiteral("/backup")); // a file where the folder should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    CFakeAppServices::Installed().expectPrompts = true;
    EXPECT_FALSE(OpenDatabaseWithScript(QString::fromUtf8(kScript)));
    ASSERT_EQ(CFakeAppServices::Installed().messages.size(), 1u);
    EXPECT_TRUE(CFakeAppServices::Installed().messages[0].text.startsWith(
        FormatString(u"备份 “%s” 至 “%s/backup/Lorvan4.5.5.0_20250305.mdb” 失败！\r\n", m_db.Path(), m_db.Home())))
        << CFakeAppServices::Installed().messages[0].text.toStdString();
    EXPECT_EQ(QueryText(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name='T_A'")), "0");
    EXPECT_EQ(StoredVersion(), "4.5.5.0");
    EXPECT_EQ(RunRows(), "<null>");
}

TEST_F(OpenDatabaseTest, NewerDatabaseIsRefusedAndKeepsItsVersion)
{
    SetStoredVersion(QStringLiteral("4.7.0.0"));
    CFakeAppServices::Installed().expectPrompts = true;
    EXPECT_FALSE(OpenDatabaseWithScript(QString::fromUtf8(kScript)));
    ASSERT_EQ(CFakeAppServices::Installed().messages.size(), 1u);
    EXPECT_TRUE(CFakeAppServices::Installed().messages[0].text.contains(QLatin1String("4.7.0.0")));
    EXPECT_EQ(StoredVersion(), "4.7.0.0");
    EXPECT_EQ(RunRows(), "<null>");
    EXPECT_TRUE(CFakeAppServices::Installed().progress.isEmpty());
}

TEST_F(OpenDatabaseTest, MissingTableOfAModuleStopsTheOpen)
{
    ASSERT_TRUE(Exec(QStringLiteral("DROP TABLE TB_OPERLOG")));
    EXPECT_FALSE(OpenDatabaseWithScript(QString()));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].task, QString::fromUtf8("更新列头可写入属性"));
    EXPECT_TRUE(reports[0].message.contains(QLatin1String("TB_OPERLOG")));
}

// A field whose column is missing from the schema would silently never be written.
TEST_F(OpenDatabaseTest, EveryColumnOfTheFieldTablesExists)
{
    ASSERT_TRUE(OpenDatabaseWithScript(QString()));
    QStringList missing;
    auto check = [&missing](const CHeads& heads) {
        if (heads.m_strTable.isEmpty())
            return;
        for (int i = 0; i < heads.GetSize(); ++i) {
            const CHead* h = heads.GetAt(i);
            if (h->m_strColumn.isEmpty() || h->m_strColumn == QLatin1String("ID"))
                continue;
            if (!h->m_bWritable)
                missing.append(heads.m_strTable + u'.' + h->m_strColumn);
        }
    };
    ASSERT_FALSE(GetModules().empty());
    for (CModule* module : GetModules()) {
        check(*module->GetHeads());
        std::unique_ptr<CXItem> blank(module->CreateItem());
        const CHeads& heads = *module->GetHeads();
        for (int i = 0; i < heads.GetSize(); ++i)
            if (heads.GetAt(i)->m_nType == XAR)
                if (const CHeads* child = blank->Member<CXArray>(heads.GetAt(i)->m_nOffset).GetHeads())
                    check(*child);
    }
    EXPECT_EQ(missing, QStringList());
}

} // namespace
