// Times the receipt figures read through the receipt view against the same figures from one
// hand-written query, on a generated school; prints each derived table's time and plan.
// Usage: bench_receipts [receipts=100000] [students=30000] [lessons=800000]
//
// With "issue" first: issues receipts one transaction each through the module's save path,
// against the same rows (number, receipt, log row) written bare through the SQLite C API one
// transaction each, on files of the same kind (the program's schema, WAL); prints the ratio.
// Usage: bench_receipts issue [receipts=1000]. With TMPDIR=/dev/shm both files live in
// memory and the ratio shows the save path's own cost rather than the disk's.
#include "CDBReceipt.h"
#include "CModule.h"
#include "CModuleReceipt.h"
#include "CXAccessor.h"
#include "CXDBSession.h"
#include "OpenDatabase.h"
#include "PeopleModules.h"
#include "RecordWriter.h"
#include "Resources.h"
#include "SqlPrepare.h"
#include "XDateTime.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QTemporaryDir>

#include <sqlite3.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

double Seconds(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

bool Exec(CXDBSession& s, const QString& sql)
{
    if (!s.ExecuteSql(sql)) {
        std::fprintf(stderr, "%s\n%s\n", qPrintable(sql.left(300)), qPrintable(GetOleDbErrorText()));
        return false;
    }
    return true;
}

// Steps every row; the sum of every numeric column lets two queries be compared.
struct XRun
{
    long rows = -1;
    double sum = 0;
    double seconds = 0;
};

XRun Run(CXDBSession& s, const QString& sql)
{
    XRun run;
    const auto t0 = std::chrono::steady_clock::now();
    CXAccessor cmd;
    if (!cmd.Open(s, sql)) {
        std::fprintf(stderr, "%s\n%s\n", qPrintable(sql.left(300)), qPrintable(GetOleDbErrorText()));
        return run;
    }
    run.rows = 0;
    const int columns = cmd.GetColumnCount();
    while (cmd.MoveNext()) {
        ++run.rows;
        for (int c = 1; c <= columns; ++c)
            run.sum += cmd.GetNumber(c);
    }
    run.seconds = Seconds(t0);
    return cmd.Failed() ? XRun() : run;
}

void PrintPlan(CXDBSession& s, const QString& sql)
{
    CXAccessor cmd;
    if (!cmd.Open(s, QStringLiteral("EXPLAIN QUERY PLAN ") + sql))
        return;
    while (cmd.MoveNext())
        std::printf("    %s\n", qPrintable(cmd.GetText(4)));
}

// The figures of the view, in its column order, from one flat query written for SQLite:
// the same pre-aggregated sources, the arithmetic inline instead of nested levels.
const char* kHandWritten = R"(
WITH ALT AS (
  SELECT ReceiptID, SUM(AlterPrice) AS P, SUM(AlterLesson) AS L, SUM(AlterValid) AS V, MAX(RecordDate) AS M,
    MAX(CASE WHEN AlterType <> 0 THEN RecordDate ELSE 0 END) AS R
  FROM TB_RECEIPT_ALTER GROUP BY ReceiptID),
RCC AS (
  SELECT R.ID, R.StudentID, CC.CourseID, R.PayDate FROM TB_CHARGE_COURSE CC JOIN TB_RECEIPT R ON R.ChargeID = CC.ChargeID),
RCP AS (SELECT StudentID, CourseID, MIN(PayDate) AS F, MAX(PayDate) AS L FROM RCC GROUP BY StudentID, CourseID),
SCC AS (
  SELECT ES.StudentID, E.CourseID, COUNT(*) AS A,
    SUM((E.DateEnd = 0 OR E.DateEnd >= DATE()) AND (ES.EduEnd = 0 OR ES.EduEnd >= DATE())) AS C
  FROM TB_EDUSCH_STUDENT ES JOIN TB_EDUSCH E ON E.ID = ES.EduSchID GROUP BY ES.StudentID, E.CourseID),
RCH AS (
  SELECT RCC.ID, MIN(RCP.F) = MIN(RCC.PayDate) AS N, MAX(RCP.L) > MIN(RCC.PayDate) AS H,
    TOTAL(SCC.A) AS A, TOTAL(SCC.C) AS C
  FROM RCC JOIN RCP USING (StudentID, CourseID) LEFT JOIN SCC USING (StudentID, CourseID) GROUP BY RCC.ID),
RCD AS (
  SELECT RS.ReceiptID, COUNT(*) AS N, MIN(RD.ClassDate) AS F, MAX(RD.ClassDate) AS L
  FROM TB_EDURCD_STUDENT RS JOIN TB_EDURCD RD ON RD.ID = RS.EduRcdID
  WHERE RS.Attence > 1 AND RS.ReceiptID <> 0 GROUP BY RS.ReceiptID),
B AS (
  SELECT R.ID, R.PayDate, G.ClassType, G.FixedDate,
    R.PayNum * G.LessonNum + R.AdjLsnVal AS Lesson,
    R.PayNum * G.LessonNum * G.UnitPrice * R.AdjDcntVal / 100.0 + R.AdjPriceVal AS Pay,
    CASE WHEN R.AdjBgnVal <> 0 THEN R.AdjBgnVal WHEN G.FixedDate <> 0 THEN G.UsefulBgn ELSE R.PayDate END AS Bgn,
    CASE WHEN G.FixedDate <> 0 THEN G.UsefulEnd
         ELSE (CASE WHEN R.AdjBgnVal <> 0 THEN R.AdjBgnVal ELSE R.PayDate END) + G.ValidDays * R.PayNum + R.AdjValidVal
    END AS PayValid,
    IFNULL(ALT.P, 0) AS AltPrice, IFNULL(ALT.L, 0) AS AltLesson, IFNULL(ALT.V, 0) AS AltValid,
    IFNULL(ALT.M, 0) AS AltMax, IFNULL(ALT.R, 0) AS AltRtr,
    IFNULL(RCH.N, 0) AS NewCheckIn, IFNULL(RCH.H, 0) AS HasRenew, IFNULL(RCH.A, 0) AS SchAll,
    IFNULL(RCH.C, 0) AS SchCur, IFNULL(RCD.F, 0) AS rcdMin, IFNULL(RCD.L, 0) AS rcdMax, IFNULL(RCD.N, 0) AS CountIn
  FROM TB_RECEIPT R JOIN TB_CHARGE G ON G.ID = R.ChargeID
  LEFT JOIN ALT ON ALT.ReceiptID = R.ID LEFT JOIN RCH ON RCH.ID = R.ID LEFT JOIN RCD ON RCD.ReceiptID = R.ID),
E AS (
  SELECT B.*, Lesson + AltLesson AS LessonEnd, Pay + AltPrice AS PayEnd,
    CASE WHEN AltRtr = 0 OR AltRtr > PayValid + AltValid THEN PayValid + AltValid ELSE AltRtr END AS ValidEnd
  FROM B),
Z AS (
  SELECT E.*, (AltRtr <> 0 OR ((FixedDate <> 0 OR ClassType <> 0) AND ValidEnd < DATE())) AS ZeroLesson FROM E)
SELECT ID, Lesson, Pay, Bgn, PayValid, AltPrice, AltLesson, AltValid, AltMax, AltRtr, LessonEnd, PayEnd, ValidEnd,
  NewCheckIn, HasRenew, SchAll, SchCur, rcdMin, rcdMax, ZeroLesson, CountIn,
  CASE WHEN ZeroLesson THEN 0 ELSE LessonEnd - CountIn END AS Remained,
  CASE WHEN ZeroLesson THEN LessonEnd - CountIn ELSE 0 END AS LsnInvalid,
  CASE WHEN AltRtr <> 0 THEN 6 WHEN ZeroLesson OR LessonEnd = CountIn THEN 5 WHEN LessonEnd < CountIn THEN 4
       WHEN IFNULL(SchCur, 0) > 0 THEN 3 WHEN ValidEnd < DATE() THEN 2 ELSE 1 END AS ItemStatus
FROM Z
)";

const char* kViewColumns =
    "SELECT ID, Lesson, Pay, Bgn, PayValid, AltPrice, AltLesson, AltValid, AltMax, AltRtr, LessonEnd, PayEnd, "
    "ValidEnd, NewCheckIn, HasRenew, SchAll, SchCur, rcdMin, rcdMax, ZeroLesson, CountIn, Remained, LsnInvalid, "
    "ItemStatus FROM [V_RECEIPT]";

// One derived table of the view, alone.
struct XDerived
{
    const char* name;
    const char* sql;
};

const XDerived kDerived[] = {
    {"ALT", "SELECT ReceiptID, SUM(AlterPrice), SUM(AlterLesson), SUM(AlterValid), MAX(RecordDate), "
            "MAX(CASE WHEN AlterType <> 0 THEN RecordDate ELSE 0 END) FROM TB_RECEIPT_ALTER GROUP BY ReceiptID"},
    {"RCH",
     "SELECT RCC.RcpID, MIN(RCP.crsPayMin), MAX(RCP.crsPayMax), SUM(IFNULL(SCC.SchA, 0)), SUM(IFNULL(SCC.SchC, 0)) "
     "FROM (SELECT RR.ID AS RcpID, RR.StudentID, CC.CourseID, RR.PayDate FROM TB_CHARGE_COURSE AS CC "
     "INNER JOIN TB_RECEIPT AS RR ON RR.ChargeID = CC.ChargeID) AS RCC "
     "LEFT JOIN (SELECT RR.StudentID, CC.CourseID, MIN(RR.PayDate) AS crsPayMin, MAX(RR.PayDate) AS crsPayMax "
     "FROM TB_CHARGE_COURSE AS CC INNER JOIN TB_RECEIPT AS RR ON RR.ChargeID = CC.ChargeID "
     "GROUP BY RR.StudentID, CC.CourseID) AS RCP ON RCP.StudentID = RCC.StudentID AND RCP.CourseID = RCC.CourseID "
     "LEFT JOIN (SELECT ES.StudentID, E.CourseID, COUNT(*) AS SchA, SUM(CASE WHEN (E.DateEnd = 0 OR E.DateEnd >= "
     "DATE()) AND (ES.EduEnd = 0 OR ES.EduEnd >= DATE()) THEN 1 ELSE 0 END) AS SchC FROM TB_EDUSCH_STUDENT AS ES "
     "INNER JOIN TB_EDUSCH AS E ON E.ID = ES.EduSchID GROUP BY ES.StudentID, E.CourseID) AS SCC "
     "ON SCC.StudentID = RCC.StudentID AND SCC.CourseID = RCC.CourseID GROUP BY RCC.RcpID"},
    {"RCD", "SELECT RS.ReceiptID, COUNT(*), MIN(RD.ClassDate), MAX(RD.ClassDate) FROM TB_EDURCD_STUDENT AS RS "
            "INNER JOIN TB_EDURCD AS RD ON RD.ID = RS.EduRcdID WHERE RS.Attence > 1 AND RS.ReceiptID <> 0 "
            "GROUP BY RS.ReceiptID"},
};

// ---- issuing -----------------------------------------------------------------------

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

// One sale as the receipt page leaves it: student, package, two periods at 95 %.
void FillSale(CDBReceipt& r)
{
    r.m_dtDate = XDateTime::Today();
    r.m_student.m_nID = 1;
    r.m_charge.m_nID = 1;
    r.m_strPayType = QStringLiteral("微信");
    r.m_nPayNum = 2;
    r.m_nAdjDcnt = 1;
    r.m_nAdjDcntVal = 95;
    r.m_strAdjDcntMemo = QStringLiteral("老学员");
}

// The module's save path, with the page's validation before each save when asked (it reads
// the package of a new receipt).
double IssueThroughModule(int receipts, bool validate)
{
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < receipts; ++i) {
        CDBReceipt r;
        FillSale(r);
        if (validate)
            r.Validate(&Operator(), true);
        if (!SaveItem(nullptr, &r, nullptr, Operator()))
            return -1;
    }
    return Seconds(t0);
}

bool RunBare(sqlite3* db, const char* sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    std::fprintf(stderr, "%s: %s\n", sql, sqlite3_errmsg(db));
    return false;
}

double IssueBare(const QString& path, int receipts)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK || !RunBare(db, "PRAGMA journal_mode=WAL"))
        return -1;
    sqlite3_stmt *number = nullptr, *receipt = nullptr, *log = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT MAX(KeyName COLLATE BINARY) FROM TB_RECEIPT WHERE KeyName COLLATE BINARY BETWEEN "
                       "'B260001' AND 'B269999'",
                       -1, &number, nullptr);
    sqlite3_prepare_v2(db,
                       "INSERT INTO TB_RECEIPT (KeyName,RecordMemo,StudentID,PayDate,Payer,PayType,PayNum,AdjDcntVal,"
                       "AdjDcntMemo,ChargeID) VALUES (?,'',1,?,'',?,2,95,?,1)",
                       -1, &receipt, nullptr);
    sqlite3_prepare_v2(
        db, "INSERT INTO TB_OPERLOG (OperTime,UserID,UserMduID,TypeID,MduID,ItemID) VALUES (?,1,322,4,331,?)", -1, &log,
        nullptr);
    if (!number || !receipt || !log)
        return -1;
    const double day = XDateTime::Today().Day();
    const QByteArray payType = QStringLiteral("微信").toUtf8(), memo = QStringLiteral("老学员").toUtf8();
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < receipts; ++i) {
        if (!RunBare(db, "BEGIN IMMEDIATE"))
            return -1;
        int counter = 1;
        if (sqlite3_step(number) == SQLITE_ROW && sqlite3_column_type(number, 0) != SQLITE_NULL)
            counter = std::atoi(reinterpret_cast<const char*>(sqlite3_column_text(number, 0)) + 3) + 1;
        sqlite3_reset(number);
        char key[16];
        std::snprintf(key, sizeof key, "B26%04d", counter);
        sqlite3_bind_text(receipt, 1, key, -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(receipt, 2, day);
        sqlite3_bind_text(receipt, 3, payType.constData(), -1, SQLITE_STATIC);
        sqlite3_bind_text(receipt, 4, memo.constData(), -1, SQLITE_STATIC);
        if (sqlite3_step(receipt) != SQLITE_DONE)
            return -1;
        sqlite3_reset(receipt);
        sqlite3_bind_double(log, 1, XDateTime::Now().Day());
        sqlite3_bind_int64(log, 2, sqlite3_last_insert_rowid(db));
        if (sqlite3_step(log) != SQLITE_DONE)
            return -1;
        sqlite3_reset(log);
        if (!RunBare(db, "COMMIT"))
            return -1;
    }
    const double seconds = Seconds(t0);
    for (sqlite3_stmt* st : {number, receipt, log})
        sqlite3_finalize(st);
    sqlite3_close(db);
    return seconds;
}

// A fresh database in its own program folder, with one course, one package and one student
// for the receipts to name.
bool FreshSchool(const QTemporaryDir& home)
{
    qputenv("LORVAN_HOME", home.path().toLocal8Bit());
    if (!CreateDatabase(GetConnectionString()))
        return false;
    CXDBSession s;
    s.Connect();
    return Exec(s, QStringLiteral("INSERT INTO TB_COURSE (RecordName) VALUES ('钢琴');"
                                  "INSERT INTO TB_CHARGE (RecordName, LessonNum, UnitPrice, ValidDays) "
                                  "VALUES ('钢琴一对一', 15, 200, 183);"
                                  "INSERT INTO TB_CHARGE_COURSE (ChargeID, CourseID) VALUES (1, 1);"
                                  "INSERT INTO TB_STUDENT (RealName) VALUES ('张三')")) &&
           MarkWritableColumns(s);
}

int Issue(int receipts)
{
    XClock::SetFixed(XDateTime(2026, 3, 18, 10, 0, 0));
    QTemporaryDir bareHome, moduleHome, validateHome;
    if (!FreshSchool(bareHome))
        return 1;
    const double bare = IssueBare(GetConnectionString(), receipts);
    CModuleReceipt module;
    const std::unique_ptr<CModule> packages = CreateChargeModule(); // the validation reads the package
    RegisterModule(&module);
    RegisterModule(packages.get());
    const bool ok = FreshSchool(moduleHome);
    const double saved = ok ? IssueThroughModule(receipts, false) : -1;
    CXDBSession::CloseShared();
    const bool ok2 = FreshSchool(validateHome);
    const double validated = ok2 ? IssueThroughModule(receipts, true) : -1;
    CXDBSession::CloseShared();
    UnregisterModule(packages.get());
    UnregisterModule(&module);
    if (bare <= 0 || saved <= 0 || validated <= 0) {
        std::fprintf(stderr, "a save failed\n");
        return 1;
    }
    std::printf("%d enrolment receipts, one transaction each (number, receipt, log row)\n", receipts);
    std::printf("  module save path:         %.3f s (%.2f ms each)  ratio %.2f\n", saved, 1000 * saved / receipts,
                saved / bare);
    std::printf("  validation and save path: %.3f s (%.2f ms each)  ratio %.2f\n", validated,
                1000 * validated / receipts, validated / bare);
    std::printf("  bare SQLite:              %.3f s (%.2f ms each)\n", bare, 1000 * bare / receipts);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "issue") == 0) {
        QCoreApplication app(argc, argv);
        return Issue(argc > 2 ? std::atoi(argv[2]) : 1000);
    }
    const int receipts = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int students = argc > 2 ? std::atoi(argv[2]) : 30000;
    const int lessons = argc > 3 ? std::atoi(argv[3]) : 800000;
    QTemporaryDir home;
    qputenv("LORVAN_HOME", home.path().toLocal8Bit());
    XClock::SetFixed(XDateTime(2026, 6, 15, 10, 0, 0));
    const int today = static_cast<int>(XDateTime(2026, 6, 15).Day());
    if (!CreateDatabase(GetConnectionString()))
        return 1;
    CXDBSession s;
    s.Connect();

    // 20 courses; 60 packages of one or two courses: mostly counted and long-term, every
    // fifth periodic, every seventh short-term; receipts over two years with some
    // adjustments; one in ten altered, one in thirty refunded; a timetable line per
    // student; consuming and other class lines spread over the receipts.
    auto t0 = std::chrono::steady_clock::now();
    const QString rows =
        QStringLiteral("WITH RECURSIVE N(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM N WHERE i < %1) ");
    const auto rnd = [](int n) { return QStringLiteral("(ABS(RANDOM()) % %1)").arg(n); };
    const bool generated =
        Exec(s, QStringLiteral("BEGIN")) &&
        Exec(s, rows.arg(20) + QStringLiteral("INSERT INTO TB_COURSE (RecordName) SELECT '课程' || i FROM N")) &&
        Exec(s, rows.arg(60) + QStringLiteral("INSERT INTO TB_CHARGE (RecordName, ClassType, FixedDate, ValidDays, "
                                              "UsefulBgn, UsefulEnd, LessonNum, UnitPrice) SELECT '课时包' || i, "
                                              "i % 5 = 0, i % 7 = 0, CASE WHEN i % 7 = 0 THEN 0 ELSE 90 + i * 3 END, "
                                              "CASE WHEN i % 7 = 0 THEN %1 - i * 10 ELSE 0 END, "
                                              "CASE WHEN i % 7 = 0 THEN %1 - i * 10 + 60 ELSE 0 END, "
                                              "10 + i % 20, 50 + i * 5 FROM N")
                                   .arg(today)) &&
        Exec(s, rows.arg(60) + QStringLiteral("INSERT INTO TB_CHARGE_COURSE (ChargeID, CourseID) "
                                              "SELECT i, 1 + i % 20 FROM N UNION ALL "
                                              "SELECT i, 1 + (i + 7) % 20 FROM N WHERE i % 3 = 0")) &&
        Exec(s,
             rows.arg(students) + QStringLiteral("INSERT INTO TB_STUDENT (RealName) SELECT '学员' || (i % %1) FROM N")
                                      .arg(students / 2 + 1)) &&
        Exec(s, rows.arg(receipts) +
                    QStringLiteral("INSERT INTO TB_RECEIPT (KeyName, StudentID, PayDate, PayNum, AdjDcntVal, "
                                   "AdjPriceVal, AdjLsnVal, AdjBgnVal, AdjValidVal, ChargeID, PayType) "
                                   "SELECT 'B' || i, 1 + %1, %2 - %3, 1 + %4, CASE WHEN i % 4 = 0 THEN 95 ELSE 100 "
                                   "END, CASE WHEN i % 6 = 0 THEN -100 ELSE 0 END, CASE WHEN i % 8 = 0 THEN 2 ELSE 0 "
                                   "END, 0, CASE WHEN i % 9 = 0 THEN 30 ELSE 0 END, 1 + %5, '现金' FROM N")
                        .arg(rnd(students))
                        .arg(today)
                        .arg(rnd(730))
                        .arg(rnd(2))
                        .arg(rnd(60))) &&
        Exec(s, rows.arg(receipts / 10) +
                    QStringLiteral("INSERT INTO TB_RECEIPT_ALTER (ReceiptID, RecordDate, AlterType, AlterPrice, "
                                   "AlterLesson, AlterValid, Insider) SELECT i * 10, %1 - %2, i % 3 = 0, "
                                   "CASE WHEN i % 3 = 0 THEN -500 ELSE 100 END, CASE WHEN i % 3 = 0 THEN 0 ELSE 2 END, "
                                   "CASE WHEN i % 3 = 0 THEN 0 ELSE 30 END, '家长' FROM N")
                        .arg(today)
                        .arg(rnd(300))) &&
        Exec(s, rows.arg(200) + QStringLiteral("INSERT INTO TB_EDUSCH (CourseID, DateBgn, DateEnd) SELECT 1 + i % 20, "
                                               "%1 - 300, CASE WHEN i % 4 = 0 THEN %1 - 10 ELSE 0 END FROM N")
                                    .arg(today)) &&
        Exec(s, rows.arg(students) + QStringLiteral("INSERT INTO TB_EDUSCH_STUDENT (EduSchID, StudentID) "
                                                    "SELECT 1 + %1, i FROM N")
                                         .arg(rnd(200))) &&
        Exec(s, rows.arg(lessons / 8) + QStringLiteral("INSERT INTO TB_EDURCD (CourseID, ClassDate, ClassStatus) "
                                                       "SELECT 1 + i % 20, %1 - %2, 2 FROM N")
                                            .arg(today)
                                            .arg(rnd(700))) &&
        Exec(s, rows.arg(lessons) + QStringLiteral("INSERT INTO TB_EDURCD_STUDENT (EduRcdID, StudentID, Attence, "
                                                   "ReceiptID) SELECT 1 + %1, 1 + %2, %3, 1 + %4 FROM N")
                                        .arg(rnd(lessons / 8))
                                        .arg(rnd(students))
                                        .arg(rnd(5))
                                        .arg(rnd(receipts))) &&
        Exec(s, QStringLiteral("COMMIT")) && Exec(s, QStringLiteral("ANALYZE"));
    if (!generated)
        return 1;
    std::printf("generated %d receipts, %d students, %d class lines in %.1f s\n", receipts, students, lessons,
                Seconds(t0));

    // each query twice, alternating, the faster run counted: the first run of all also
    // fills the page cache
    const auto best = [](const XRun& a, const XRun& b) { return a.seconds <= b.seconds ? a : b; };
    XRun hand = Run(s, QString::fromUtf8(kHandWritten));
    XRun view = Run(s, PrepareSql(QString::fromUtf8(kViewColumns)));
    XRun list = Run(s, PrepareSql(LoadResourceText(437, RT_SQL, 65001)));
    hand = best(hand, Run(s, QString::fromUtf8(kHandWritten)));
    view = best(view, Run(s, PrepareSql(QString::fromUtf8(kViewColumns))));
    list = best(list, Run(s, PrepareSql(LoadResourceText(437, RT_SQL, 65001))));
    std::printf("hand-written query: %ld rows %.3f s (checksum %.2f)\n", hand.rows, hand.seconds, hand.sum);
    std::printf("V_RECEIPT, same columns: %ld rows %.3f s (checksum %.2f)  ratio %.2f\n", view.rows, view.seconds,
                view.sum, view.seconds / hand.seconds);
    std::printf("SQL 437 (every column): %ld rows %.3f s  ratio %.2f\n", list.rows, list.seconds,
                list.seconds / hand.seconds);
    const bool same = hand.rows == view.rows && std::fabs(hand.sum - view.sum) <= 1e-6 * std::fabs(hand.sum);
    std::printf("same figures: %s\n", same ? "yes" : "NO");

    for (const XDerived& d : kDerived) {
        const XRun run = Run(s, PrepareSql(QString::fromUtf8(d.sql)));
        std::printf("derived table %s: %ld rows %.3f s\n", d.name, run.rows, run.seconds);
        PrintPlan(s, PrepareSql(QString::fromUtf8(d.sql)));
    }
    std::printf("plan of the view:\n");
    PrintPlan(s, PrepareSql(QString::fromUtf8(kViewColumns)));

    // The records as the list reads them: students' titles, course lines, alterations.
    CModuleT<CDBReceipt> module;
    RegisterModule(&module);
    MarkWritableColumns(s);
    t0 = std::chrono::steady_clock::now();
    CXArray items(nullptr, true);
    const bool ok = module.QueryItems(items, CXMap(), true, false);
    std::printf("records through the module: %s, %d receipts %.3f s\n", ok ? "ok" : "FAILED", items.GetSize(),
                Seconds(t0));
    UnregisterModule(&module);
    return ok && same ? 0 : 1;
}
