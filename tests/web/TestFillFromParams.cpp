#include "CHttpRequest.h"
#include "TestRecordClasses.h"

#include <gtest/gtest.h>

using namespace xInternet;

namespace {

// Field positions of the test lesson package: 1 name, 2 times, 3 price, 4 begin date,
// 6 state, 7 room, 8 teacher link, 11 the course lines (whose field 3 is the lessons).
TEST(FillItemFromParams, FormKeysByFieldPosition)
{
    CHttpRequest request(-1);
    request.m_user.m_nRightRole = 2;
    CTestCharge charge;
    charge.m_lines.Add(new CTestCourseLine);
    charge.m_lines.Add(new CTestCourseLine);

    CXBase teacher;
    teacher.m_nMduID = MDU_TEACHER;
    teacher.m_nID = 7;
    teacher.m_strName = QStringLiteral("王老师");
    XParamMap params{
        {"0_0_1", QStringLiteral("钢琴 一对一")},
        {"0_0_2", "12x"},
        {"0_0_3", "180.5"},
        {"0_0_4", "2026-03-18 09:30"},
        {"0_0_7", "A1"},
        {"0_0_8", teacher.GetLink()},
        {"11_1_3", "4"},
        {"11_2_3", "5"},
        {"11_3_3", "6"}, // no third line
        {"other", "kept"},
    };
    request.FillItemFromParams(charge, params, 0);
    EXPECT_EQ(charge.m_strName, QStringLiteral("钢琴 一对一"));
    EXPECT_EQ(charge.m_nTimes, 12);
    EXPECT_DOUBLE_EQ(charge.m_fPrice, 180.5);
    EXPECT_EQ(charge.m_dtBegin, XDateTime(2026, 3, 18, 9, 30));
    EXPECT_EQ(charge.m_strRoom, "A1");
    EXPECT_EQ(charge.m_teacher.m_nID, 7);
    EXPECT_EQ(charge.m_teacher.m_strName, QStringLiteral("王老师"));
    EXPECT_EQ(charge.m_lines[0]->Member<int>(XOFFSET(CTestCourseLine, m_nLessons)), 4);
    EXPECT_EQ(charge.m_lines[1]->Member<int>(XOFFSET(CTestCourseLine, m_nLessons)), 5);
    EXPECT_EQ(params.keys(), (QList<QString>{"11_3_3", "other"}));

    // another prefix reads its own keys and no lines; a date that does not parse is invalid
    XParamMap second{{"3_0_4", "next tuesday"}, {"3_0_2", "2"}, {"0_0_2", "99"}, {"11_1_3", "9"}};
    request.FillItemFromParams(charge, second, 3);
    EXPECT_FALSE(charge.m_dtBegin.IsValid());
    EXPECT_EQ(charge.m_nTimes, 2);
    EXPECT_EQ(charge.m_lines[0]->Member<int>(XOFFSET(CTestCourseLine, m_nLessons)), 4);
    EXPECT_EQ(second.size(), 2);
}

} // namespace
