#include "RecordDbFixture.h"

#include "CModule.h"
#include "CXMap.h"
#include "CommandIds.h"

#include <QtCore/QBuffer>
#include <QtCore/QElapsedTimer>
#include <QtCore/QHash>

#include <cstdio>

namespace {

class ReadItems : public RecordDb
{
protected:
    QStringList Names(const CXArray& items)
    {
        QStringList names;
        for (const CXItem* item : items)
            names.append(item->m_strName);
        names.sort();
        return names;
    }
    QStringList Find(CModule& module, const QString& text)
    {
        CXMap query;
        query.SetText(ID_FIND_WHAT, text);
        CXArrayT<CTestCourse> items;
        EXPECT_TRUE(module.QueryItems(items, query, false, false));
        return Names(items);
    }
    static void Log(int type, int mdu, int item, double time, int userMdu, int user)
    {
        ASSERT_TRUE(Exec(QStringLiteral("INSERT INTO TB_OPERLOG (TypeID,MduID,ItemID,OperTime,UserMduID,UserID) "
                                        "VALUES (%1,%2,%3,%4,%5,%6)")
                             .arg(type)
                             .arg(mdu)
                             .arg(item)
                             .arg(time, 0, 'f', 6)
                             .arg(userMdu)
                             .arg(user)));
    }
};

TEST_F(ReadItems, IdListsBecomeIntegersWhateverTheMapHolds)
{
    const struct
    {
        int key;
        const char* value;
        const char* condition;
    } cases[] = {
        {QKEY_IDS, "5,9", "ID IN (5,9)"},
        {QKEY_IDS, "3) OR (1=1", "ID IN (3)"},
        {QKEY_IDS, "", "ID IN ()"},
        {QKEY_NOT_IDS, "4, x ,8", "ID NOT IN (4,0,8)"},
        {QKEY_IDS, "<a href=\"xl:328:12\">A</a>", "ID IN (12)"},
    };
    for (const auto& c : cases) {
        CXMap query;
        query.SetText(c.key, QString::fromUtf8(c.value));
        QStringList conditions{QStringLiteral("stale")};
        m_course.BuildQueryConditions(conditions, query);
        EXPECT_EQ(conditions, QStringList{QString::fromUtf8(c.condition)}) << c.value;
    }
}

TEST_F(ReadItems, QuickFindCoversTextsLinkTitlesAndChildLines)
{
    CXMap query;
    query.SetText(ID_FIND_WHAT, QStringLiteral("x"));
    QStringList conditions;
    m_charge.BuildQueryConditions(conditions, query);
    ASSERT_EQ(conditions.size(), 1);
    // the parameter's name carries the text: "x" is the byte 78 in hex
    EXPECT_EQ(conditions[0],
              QStringLiteral(
                  "RecordName LIKE :find_78 OR Room LIKE :find_78 OR TeacherID IN (SELECT DISTINCT ID FROM (SELECT ID "
                  "FROM (SELECT ID, RealName AS ItemTitle FROM TB_TEACHER) WHERE ItemTitle LIKE :find_78)) OR ID IN "
                  "(SELECT DISTINCT ChargeID FROM TB_TEST_CHARGE_COURSE WHERE CourseID IN (SELECT DISTINCT ID FROM "
                  "(SELECT ID FROM (SELECT ID, RecordName AS ItemTitle FROM TB_TEST_COURSE) WHERE ItemTitle LIKE "
                  ":find_78)))"));

    ASSERT_TRUE(Exec(QStringLiteral(
        "INSERT INTO TB_TEACHER (ID,RealName) VALUES (1,'李明'),(2,'张华');"
        "INSERT INTO TB_TEST_COURSE (ID,RecordName) VALUES (1,'钢琴'),(2,'小提琴');"
        "INSERT INTO TB_TEST_CHARGE (ID,RecordName,TeacherID) VALUES (1,'春季',1),(2,'秋季',2),(3,'冬季',0);"
        "INSERT INTO TB_TEST_CHARGE_COURSE (ChargeID,CourseID) VALUES (1,1),(2,2),(3,2);")));
    EXPECT_EQ(Find(m_charge, QStringLiteral("李")), QStringList{QStringLiteral("春季")});
    EXPECT_EQ(Find(m_charge, QStringLiteral("提琴")), (QStringList{QStringLiteral("冬季"), QStringLiteral("秋季")}));
    EXPECT_EQ(Find(m_charge, QStringLiteral("钢琴")), QStringList{QStringLiteral("春季")});
    EXPECT_EQ(Find(m_charge, QStringLiteral("季")).size(), 3);
}

TEST_F(ReadItems, FindTextMatchesQuotesAndPatternCharactersLiterally)
{
    ASSERT_TRUE(
        Exec(QStringLiteral("INSERT INTO TB_TEST_COURSE (RecordName) VALUES ('50% off'),('500 off'),('O''Brien'),"
                            "('Obrien'),('a_b'),('axb'),('[x]'),('MDU_STUDENT')")));
    EXPECT_EQ(Find(m_course, QStringLiteral("50%")), QStringList{QStringLiteral("50% off")});
    EXPECT_EQ(Find(m_course, QStringLiteral("O'B")), QStringList{QStringLiteral("O'Brien")});
    EXPECT_EQ(Find(m_course, QStringLiteral("a_b")), QStringList{QStringLiteral("a_b")});
    EXPECT_EQ(Find(m_course, QStringLiteral("[x]")), QStringList{QStringLiteral("[x]")});
    EXPECT_EQ(Find(m_course, QStringLiteral("' OR 1=1 --")), QStringList{});
    EXPECT_EQ(Find(m_course, QStringLiteral("MDU_STUDENT")), QStringList{QStringLiteral("MDU_STUDENT")});
    EXPECT_TRUE(m_errors.reports.empty());
}

// A module whose own read adds conditions and passes no find text to ReadItems.
class CForgetfulCourses : public CModuleT<CTestCourse>
{
public:
    bool QueryItems(CXArray& items, CXMap query, bool bNoImages, bool bExpectOne) override
    {
        QStringList conditions;
        BuildQueryConditions(conditions, query);
        conditions.append(QStringLiteral("IsEnabled=1"));
        CXDBSession session;
        session.Connect();
        return ReadItems(session, items, conditions, bNoImages, bExpectOne);
    }
};

TEST_F(ReadItems, FindTextReachesTheReadWithTheConditionsAlone)
{
    ASSERT_TRUE(Exec(QStringLiteral("INSERT INTO TB_TEST_COURSE (RecordName,IsEnabled) VALUES ('钢琴',1),('小提琴',1),"
                                    "('提琴旧',0)")));
    CForgetfulCourses forgetful;
    const struct
    {
        const char* find;
        QStringList names;
    } cases[] = {
        {"提琴", {QStringLiteral("小提琴")}},
        {"旧", {}},
        {"琴", {QStringLiteral("小提琴"), QStringLiteral("钢琴")}},
        {"无", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Find(forgetful, QString::fromUtf8(c.find)), c.names) << c.find;

    // two queries' conditions read together keep their own texts
    CXMap piano, violin;
    piano.SetPlainText(ID_FIND_WHAT, QStringLiteral("钢"));
    violin.SetPlainText(ID_FIND_WHAT, QStringLiteral("小"));
    QStringList either, other;
    m_course.BuildQueryConditions(either, piano);
    m_course.BuildQueryConditions(other, violin);
    ASSERT_EQ(either.size(), 1);
    ASSERT_EQ(other.size(), 1);
    either = QStringList{either[0] + QStringLiteral(" OR ") + other[0]};
    CXDBSession session;
    session.Connect();
    CXArrayT<CTestCourse> items;
    ASSERT_TRUE(m_course.ReadItems(session, items, either, false, false));
    EXPECT_EQ(Names(items), (QStringList{QStringLiteral("小提琴"), QStringLiteral("钢琴")}));
    EXPECT_TRUE(m_errors.reports.empty());
}

TEST_F(ReadItems, FindTextIsNeverTakenForTheProgramsSqlSymbolsOrNames)
{
    ASSERT_TRUE(
        Exec(QStringLiteral("INSERT INTO TB_TEST_COURSE (RecordName) VALUES ('''XIN'''),('1'),('''MDU_STUDENT'' x'),"
                            "('321 x'),('[V_RECEIPT]'),('a /*b*/ c')")));
    // a query map read back from its XML text, as saved schemes are
    const auto findFromXml = [this](const QString& text) {
        CXMap typed;
        typed.SetPlainText(ID_FIND_WHAT, text);
        CXMap query(typed.ToXml());
        EXPECT_EQ(query.GetText(ID_FIND_WHAT), text);
        CXArrayT<CTestCourse> items;
        EXPECT_TRUE(m_course.QueryItems(items, query, false, false));
        return Names(items);
    };
    EXPECT_EQ(findFromXml(QStringLiteral("'XIN'")), QStringList{QStringLiteral("'XIN'")});
    EXPECT_EQ(findFromXml(QStringLiteral("'MDU_STUDENT'")), QStringList{QStringLiteral("'MDU_STUDENT' x")});
    EXPECT_EQ(findFromXml(QStringLiteral("[V_RECEIPT]")), QStringList{QStringLiteral("[V_RECEIPT]")});
    EXPECT_EQ(findFromXml(QStringLiteral("/*b*/")), QStringList{QStringLiteral("a /*b*/ c")});
    EXPECT_TRUE(m_errors.reports.empty());

    // the program's own texts still have their symbols replaced
    CXMap own;
    own.SetText(7, QStringLiteral("'ST_WARN'"));
    EXPECT_EQ(own.GetText(7), QStringLiteral("3"));
}

TEST_F(ReadItems, RequiredQueryWithoutConditionsRunsNothing)
{
    CModuleT<CTestCourse, 0, false, true> strict;
    CXArrayT<CTestCourse> items;
    CXDBSession session;
    session.Connect();
    EXPECT_FALSE(strict.ReadItems(session, items, {}, false, false));
    ASSERT_EQ(m_errors.reports.size(), 1u);
    EXPECT_EQ(m_errors.reports[0].task, QStringLiteral("读取课程"));
    EXPECT_EQ(m_errors.reports[0].message, QStringLiteral("需设置至少一个有效查询选项！"));
    EXPECT_TRUE(m_errors.reports[0].detail.isEmpty());
}

TEST_F(ReadItems, ExpectOneFailsOnNoneAndOnSeveral)
{
    ASSERT_TRUE(Exec(QStringLiteral("INSERT INTO TB_TEST_COURSE (RecordName) VALUES ('A'),('B')")));
    CXArrayT<CTestCourse> items;
    CXMap query;
    EXPECT_FALSE(m_course.QueryItems(items, query, false, true));
    ASSERT_EQ(m_errors.reports.size(), 1u);
    EXPECT_EQ(m_errors.reports[0].message, QStringLiteral("只需读取一门课程，却返回了多门！"));
    EXPECT_EQ(items.GetSize(), 1);

    items.RemoveAll();
    query.SetText(QKEY_IDS, QStringLiteral("99"));
    EXPECT_FALSE(m_course.QueryItems(items, query, false, true));
    ASSERT_EQ(m_errors.reports.size(), 2u);
    EXPECT_EQ(m_errors.reports[1].message, QStringLiteral("未能读取一门课程！"));

    query.SetText(QKEY_IDS, QStringLiteral("2"));
    EXPECT_TRUE(m_course.QueryItems(items, query, false, true));
    ASSERT_EQ(items.GetSize(), 1);
    EXPECT_EQ(items[0]->m_strName, QStringLiteral("B"));
}

TEST_F(ReadItems, RowsFillFieldsByTypeAndNullsReadEmpty)
{
    ASSERT_TRUE(Exec(QStringLiteral(
        "INSERT INTO TB_TEACHER (ID,RealName) VALUES (4,'李明');"
        "INSERT INTO TB_TEST_CHARGE (ID,RecordName,Times,Price,BeginDate,TimeSpan,IsEnabled,Room,TeacherID,CourseID) "
        "VALUES (1,'春季',12,99.5,45721.75,8301000,1,'A1',4,0);")));
    CXArrayT<CTestCharge> items;
    ASSERT_TRUE(m_charge.QueryItems(items, CXMap(), false, false));
    ASSERT_EQ(items.GetSize(), 1);
    const CTestCharge& c = *items[0];
    EXPECT_EQ(c.m_nID, 1);
    EXPECT_EQ(c.m_nTimes, 12);
    EXPECT_DOUBLE_EQ(c.m_fPrice, 99.5);
    EXPECT_DOUBLE_EQ(c.m_dtBegin.Day(), 45721.75);
    EXPECT_EQ(c.m_nTimeSpan, 8301000);
    EXPECT_EQ(c.m_strRoom, QStringLiteral("A1"));
    EXPECT_EQ(c.m_teacher.m_nID, 4);
    EXPECT_EQ(c.m_teacher.m_strName, QStringLiteral("李明"));
    EXPECT_EQ(c.m_pArray, &items);
}

TEST_F(ReadItems, LongTextsStopAtZeroBytesPerPieceAndImagesKeepTheirRow)
{
    QImage picture(8, 4, QImage::Format_RGB888);
    picture.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    QByteArray text = QByteArray(4096, 'a');
    text[10] = '\0';            // the rest of the first piece is dropped
    text += QByteArray("tail"); // the second piece is kept
    {
        CXDBSession session;
        session.Connect();
        CXAccessor cmd;
        ASSERT_TRUE(cmd.Prepare(
            session,
            QStringLiteral(
                "INSERT INTO TB_TEST_RECEIPT (ID,KeyName,Logo,Template) VALUES (1,'R1',?,?),(2,'R2',NULL,NULL)")));
        cmd.SetParamBytes(1, png);
        cmd.SetParamBytes(2, text);
        ASSERT_TRUE(cmd.Execute());
    }
    CXArrayT<CTestReceipt> items;
    ASSERT_TRUE(m_receipt.QueryItems(items, CXMap(), false, false));
    ASSERT_EQ(items.GetSize(), 2);
    CTestReceipt* r1 = items[0]->m_nID == 1 ? items[0] : items[1];
    CTestReceipt* r2 = items[0]->m_nID == 1 ? items[1] : items[0];
    EXPECT_EQ(r1->m_template, QByteArray(10, 'a') + "tail");
    EXPECT_EQ(r1->m_logo.GetWidth(), 8);
    EXPECT_EQ(r1->m_logo.m_nPhotoID, 1);
    EXPECT_TRUE(r2->m_template.isEmpty());
    EXPECT_TRUE(r2->m_logo.IsNull());

    // brief lists: no images and no stamps, long texts all the same
    Log(OPER_ADD, MDU_RECEIPT, 1, 45000, MDU_TEACHER, 7);
    CXArrayT<CTestReceipt> brief;
    ASSERT_TRUE(m_receipt.QueryItems(brief, CXMap(), true, false));
    CTestReceipt* b1 = brief[0]->m_nID == 1 ? brief[0] : brief[1];
    EXPECT_TRUE(b1->m_logo.IsNull());
    EXPECT_EQ(b1->m_template, QByteArray(10, 'a') + "tail");
    EXPECT_EQ(b1->m_created.m_nID, 0);
}

TEST_F(ReadItems, ChildLinesGoToTheirParents)
{
    ASSERT_TRUE(Exec(QStringLiteral("INSERT INTO TB_TEST_COURSE (ID,RecordName) VALUES (1,'钢琴'),(2,'小提琴');"
                                    "INSERT INTO TB_TEST_CHARGE (ID,RecordName) VALUES (1,'春季'),(2,'秋季');"
                                    "INSERT INTO TB_TEST_CHARGE_COURSE (ID,ChargeID,CourseID,Lessons) VALUES "
                                    "(10,1,1,5),(11,2,2,6),(12,1,2,7),(13,99,1,1);")));
    CXArrayT<CTestCharge> items;
    ASSERT_TRUE(m_charge.QueryItems(items, CXMap(), false, false));
    ASSERT_EQ(items.GetSize(), 2);
    CTestCharge* spring = items[0]->m_nID == 1 ? items[0] : items[1];
    CTestCharge* autumn = items[0]->m_nID == 1 ? items[1] : items[0];
    ASSERT_EQ(spring->m_lines.GetSize(), 2);
    ASSERT_EQ(autumn->m_lines.GetSize(), 1);
    const CTestCourseLine* line = spring->m_lines[0];
    EXPECT_EQ(line->m_nSubID, 10);
    EXPECT_EQ(line->m_nID, 1);
    EXPECT_EQ(line->m_strName, QStringLiteral("钢琴"));
    EXPECT_EQ(line->m_nLessons, 5);
    EXPECT_EQ(line->m_nParentID, 1);
    EXPECT_EQ(line->m_pArray, &spring->m_lines);
    EXPECT_EQ(autumn->m_lines[0]->m_strName, QStringLiteral("小提琴"));
}

TEST_F(ReadItems, LinesAndStampsReachTheRecordsReadWhateverTheirIds)
{
    // 1-3 read as a range (the unread 2 inside it), 1 and 9000 as a bound list
    ASSERT_TRUE(Exec(QStringLiteral("INSERT INTO TB_TEST_COURSE (ID,RecordName) VALUES (1,'钢琴');"
                                    "INSERT INTO TB_TEST_CHARGE (ID,RecordName) VALUES (1,'a'),(2,'b'),(3,'c'),"
                                    "(5000,'d'),(9000,'e');"
                                    "INSERT INTO TB_TEST_CHARGE_COURSE (ChargeID,CourseID,Lessons) VALUES "
                                    "(1,1,1),(2,1,2),(2,1,2),(3,1,3),(3,1,3),(3,1,3),(9000,1,4),(8999,1,9);")));
    for (int id : {1, 2, 3, 5000, 9000})
        Log(OPER_ADD, MDU_CHARGE, id, 45000.5, MDU_TEACHER, id);
    const struct
    {
        const char* ids;
        const char* names;
    } cases[] = {
        {"1,3", "a,c"},
        {"1,9000", "a,e"},
        {"", "a,b,c,d,e"},
        {"5000", "d"},
    };
    // a record's lines: a 1, b 2, c 3, d none, e 4 (the line of 8999 belongs to no record)
    const QHash<int, int> lines{{1, 1}, {2, 2}, {3, 3}, {5000, 0}, {9000, 1}};
    for (const auto& c : cases) {
        CXMap query;
        if (*c.ids)
            query.SetText(QKEY_IDS, QString::fromLatin1(c.ids));
        CXArrayT<CTestCharge> items;
        ASSERT_TRUE(m_charge.QueryItems(items, query, false, false)) << c.ids;
        QStringList names;
        for (int i = 0; i < items.GetSize(); ++i) {
            const CTestCharge* item = items[i];
            names.append(item->m_strName);
            EXPECT_EQ(item->m_lines.GetSize(), lines.value(item->m_nID)) << c.ids << " " << item->m_nID;
            for (const CXItem* line : item->m_lines)
                EXPECT_EQ(line->m_nParentID, item->m_nID);
            EXPECT_EQ(item->m_created.m_nID, item->m_nID) << c.ids;
        }
        names.sort();
        EXPECT_EQ(names.join(u','), QString::fromLatin1(c.names));
    }
    EXPECT_TRUE(m_errors.reports.empty());
}

TEST_F(ReadItems, BriefReadsSkipTablelessChildLists)
{
    ASSERT_TRUE(Exec(QStringLiteral("INSERT INTO TB_TEST_CHARGE (ID,RecordName) VALUES (1,'春季');"
                                    "INSERT INTO TB_TEST_CHARGE_COURSE (ChargeID,Lessons) VALUES (1,4),(1,6)")));
    CModuleT<CTestChargeView> view;
    CXDBSession session;
    session.Connect();
    CXArrayT<CTestChargeView> full;
    ASSERT_TRUE(view.ReadItems(session, full, {}, false, false));
    ASSERT_EQ(full.GetSize(), 1);
    EXPECT_EQ(full[0]->m_counts.GetSize(), 2);
    CXArrayT<CTestChargeView> brief;
    ASSERT_TRUE(view.ReadItems(session, brief, {}, true, false));
    EXPECT_EQ(brief[0]->m_counts.GetSize(), 0);
}

TEST_F(ReadItems, StampsTakeTheUserOfTheLatestOperation)
{
    ASSERT_TRUE(
        Exec(QStringLiteral("INSERT INTO TB_TEACHER (ID,RealName) VALUES (7,'王老师'),(8,'赵老师'),(9,'钱老师');"
                            "INSERT INTO TB_TEST_COURSE (ID,RecordName) VALUES (1,'钢琴'),(2,'小提琴');")));
    Log(OPER_ADD, MDU_COURSE, 1, 45000.1, MDU_TEACHER, 7);
    Log(OPER_MDF, MDU_COURSE, 1, 45003.5, MDU_TEACHER, 9); // the latest, stored before an older one
    Log(OPER_MDF, MDU_COURSE, 1, 45002.0, MDU_TEACHER, 8);
    Log(OPER_MDF, MDU_COURSE, 1, 45001.0, MDU_TEACHER, 7);
    Log(OPER_PRT, MDU_COURSE, 2, 45004.0, MDU_TEACHER, 0);  // the built-in administrator
    Log(OPER_ADD, MDU_COURSE, 99, 45005.0, MDU_TEACHER, 8); // no such record
    Log(OPER_ADD, MDU_CHARGE, 2, 45006.0, MDU_TEACHER, 8);  // another module
    CXArrayT<CTestCourse> items;
    ASSERT_TRUE(m_course.QueryItems(items, CXMap(), false, false));
    CTestCourse* first = items[0]->m_nID == 1 ? items[0] : items[1];
    CTestCourse* second = items[0]->m_nID == 1 ? items[1] : items[0];
    EXPECT_EQ(first->m_created.m_nID, 7);
    EXPECT_EQ(first->m_created.m_strName, QStringLiteral("王老师"));
    EXPECT_EQ(first->m_modified.m_nID, 9);
    EXPECT_EQ(first->m_modified.m_nMduID, MDU_TEACHER);
    EXPECT_DOUBLE_EQ(first->m_modified.m_dtDate.Day(), 45003.5);
    EXPECT_EQ(first->m_modified.m_strName, QStringLiteral("钱老师"));
    EXPECT_EQ(second->m_created.m_nID, 0);
    EXPECT_DOUBLE_EQ(second->m_printed.m_dtDate.Day(), 45004.0);
    EXPECT_TRUE(second->m_printed.m_strName.isEmpty());
    EXPECT_TRUE(m_errors.reports.empty());
}

TEST_F(ReadItems, LinkTitlesOnePerTargetMissingRowsEmptyIdZeroUntouched)
{
    ASSERT_TRUE(Exec(QStringLiteral(
        "INSERT INTO TB_STUDENT (ID,RealName) VALUES (3,'小红');"
        "INSERT INTO TB_TEST_RECEIPT (ID,KeyName,StudentID) VALUES (1,'R1',3),(2,'R2',0),(3,'R3',42),(4,'R4',3);")));
    CXArrayT<CTestReceipt> items;
    ASSERT_TRUE(m_receipt.QueryItems(items, CXMap(), true, false));
    ASSERT_EQ(items.GetSize(), 4);
    for (const CTestReceipt* r : std::vector<CTestReceipt*>{items[0], items[1], items[2], items[3]}) {
        const QString expected = r->m_student.m_nID == 3 ? QStringLiteral("小红") : QString();
        EXPECT_EQ(r->m_student.m_strName, expected) << r->m_nID;
    }
}

TEST_F(ReadItems, ListsAndChildListsAreSortedByTheirMarks)
{
    // sort marks of the tables for this test only
    CHead* times = CTestCharge::StaticHeads()->FindByColumn(QStringLiteral("Times"));
    CHead* lessons = CTestCourseLine::StaticHeads()->FindByColumn(QStringLiteral("Lessons"));
    times->m_nSort = 2;
    lessons->m_nSort = 1;
    ASSERT_TRUE(Exec(QStringLiteral(
        "INSERT INTO TB_TEST_CHARGE (ID,RecordName,Times) VALUES (1,'a',5),(2,'b',9),(3,'c',7);"
        "INSERT INTO TB_TEST_CHARGE_COURSE (ChargeID,CourseID,Lessons) VALUES (2,1,8),(2,1,3),(2,1,5);")));
    CXArrayT<CTestCharge> items;
    const bool read = m_charge.QueryItems(items, CXMap(), false, false);
    times->m_nSort = 0;
    lessons->m_nSort = 0;
    ASSERT_TRUE(read);
    ASSERT_EQ(items.GetSize(), 3);
    EXPECT_EQ(QStringList({items[0]->m_strName, items[1]->m_strName, items[2]->m_strName}),
              (QStringList{QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("a")}));
    const CXArray& lines = items[0]->m_lines;
    ASSERT_EQ(lines.GetSize(), 3);
    EXPECT_EQ(static_cast<const CTestCourseLine*>(lines[0])->m_nLessons, 3);
    EXPECT_EQ(static_cast<const CTestCourseLine*>(lines[2])->m_nLessons, 8);
}

TEST_F(ReadItems, ReadsAHundredThousandRowsAndRefusesOneMore)
{
    ASSERT_TRUE(Exec(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<100000) "
        "INSERT INTO TB_TEST_COURSE (ID,RecordName,Price,TeacherNote) SELECT i,'课程'||i,i*1.5,'说明' FROM n;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<100000) "
        "INSERT INTO TB_OPERLOG (TypeID,MduID,ItemID,OperTime,UserMduID,UserID) SELECT 4,328,i,45000+i/1000.0,322,0 "
        "FROM n;")));
    CXArrayT<CTestCourse> items;
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(m_course.QueryItems(items, CXMap(), false, false));
    const qint64 ms = timer.elapsed();
    std::printf("[ figure ] read 100000 records with stamps and titles: %lld ms\n", static_cast<long long>(ms));
    ASSERT_EQ(items.GetSize(), 100000);
    int stamped = 0;
    for (const CXItem* c : items)
        stamped += c->m_created.m_dtDate.Day() > 0 ? 1 : 0;
    EXPECT_EQ(stamped, 100000);
    EXPECT_TRUE(m_errors.reports.empty());

    // the same read sorted by a field the table marks (descending price)
    CHead* price = CTestCourse::StaticHeads()->FindByColumn(QStringLiteral("Price"));
    price->m_nSort = 2;
    items.RemoveAll();
    timer.restart();
    const bool sorted = m_course.QueryItems(items, CXMap(), false, false);
    std::printf("[ figure ] read and sort 100000 records: %lld ms\n", static_cast<long long>(timer.elapsed()));
    price->m_nSort = 0;
    ASSERT_TRUE(sorted);
    ASSERT_EQ(items.GetSize(), 100000);
    EXPECT_EQ(items[0]->m_nID, 100000);
    EXPECT_EQ(items[99999]->m_nID, 1);

    ASSERT_TRUE(Exec(QStringLiteral("INSERT INTO TB_TEST_COURSE (RecordName) VALUES ('one more')")));
    items.RemoveAll();
    EXPECT_FALSE(m_course.QueryItems(items, CXMap(), false, false));
    EXPECT_TRUE(items.IsEmpty());
    ASSERT_EQ(m_errors.reports.size(), 1u);
    EXPECT_EQ(m_errors.reports[0].message, QStringLiteral("查询到的课程数量过多（> 100000）！"));
}

} // namespace
