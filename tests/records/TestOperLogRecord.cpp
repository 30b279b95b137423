#include "CDBOperLog.h"
#include "SqlPrepare.h"
#include "TestRecordClasses.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

const CHead* Head(const char* caption) { return CDBOperLog::StaticHeads()->FindByCaption(QString::fromUtf8(caption)); }

TEST(CDBOperLog, FieldTableColumns)
{
    const CHeads& heads = *CDBOperLog::StaticHeads();
    EXPECT_EQ(heads.m_strTable, "TB_OPERLOG");
    QStringList columns;
    for (int i = 0; i < heads.GetSize(); ++i)
        columns.append(heads[i]->m_strColumn);
    EXPECT_EQ(columns.join(u','),
              "ID,OperTime,UserID,UserMduID,TypeID,SessionEnd,,MduID,ItemID,OperMemo,Extr,UserIP,,UserSession");
    EXPECT_EQ(Head("时间")->m_nSort, 2);
    EXPECT_EQ(Head("时间")->m_nGroupBy, 3);
    EXPECT_EQ(Head("来源")->m_strGroup, QString::fromUtf8("来源"));
    EXPECT_EQ(Head("内容")->m_nColSub, 1);
    for (int i = 0; i < heads.GetSize(); ++i)
        EXPECT_EQ(heads[i]->m_nAccess, 0) << heads[i]->m_strName.toStdString();
    EXPECT_EQ(PrepareSql(heads.BuildSelect(nullptr, nullptr)),
              "SELECT ID,OperTime,UserID,UserMduID,TypeID,SessionEnd,MduID,ItemID,OperMemo,Extr,UserIP,UserSession "
              "FROM TB_OPERLOG");
}

TEST(CDBOperLog, LoginRowsAndOtherRows)
{
    CTestModuleCourse courses;
    RegisterModule(&courses);
    CDBOperLog login;
    EXPECT_EQ(login.m_nMduID, MDU_OPERLOG);
    login.m_nTypeID = OPER_LOGIN;
    login.m_bSessionEnd = 1;
    login.m_user.m_dtDate = XDateTime(2024, 3, 9, 8, 5, 7);
    EXPECT_EQ(login.FormatText(Head("类型"), true, true, true), QString::fromUtf8("登录 (已注销)"));
    EXPECT_EQ(login.FormatText(Head("时间"), true, true, true), "24-3-9 8:05:07");
    EXPECT_EQ(login.GetAccess(Head("项目"), nullptr), -1);
    EXPECT_EQ(login.GetAccess(Head("功能模块"), nullptr), -1);
    EXPECT_EQ(login.GetAccess(Head("注销"), nullptr), 0);
    // the built-in administrator (no name read for the link) shows as Admin, in grey
    EXPECT_EQ(login.FormatText(Head("用户"), true, true, true), "Admin");
    EXPECT_EQ(login.GetTextColor(Head("用户")), login.GetTextColor(Head("内容")));

    CDBOperLog modify;
    modify.m_nTypeID = OPER_MDF;
    modify.m_item.m_nMduID = MDU_COURSE;
    modify.m_item.m_nID = 15;
    EXPECT_EQ(modify.FormatText(Head("类型"), true, true, true), QString::fromUtf8("修改"));
    EXPECT_EQ(modify.GetAccess(Head("注销"), nullptr), -1);
    EXPECT_EQ(modify.GetAccess(Head("项目"), nullptr), 0);
    EXPECT_EQ(modify.FormatText(Head("项目"), true, true, true), QString::fromUtf8("已删除"));
    EXPECT_EQ(modify.FormatText(Head("功能模块"), true, true, true), QString::fromUtf8("课程"));
    modify.m_nTypeID = OPER_QUERY;
    EXPECT_EQ(modify.FormatText(Head("项目"), true, true, true), QString::fromUtf8("无"));
    EXPECT_EQ(modify.FormatText(Head("来源"), true, true, true), QString::fromUtf8("本地"));
}

TEST(CDBOperLog, WeChatSessions)
{
    CDBOperLog row;
    const struct
    {
        const char* session;
        bool wechat;
    } cases[] = {
        {"wx_12345678", true}, {"wx_1234567", false}, {"xx_12345678", false}, {"", false}, {"wx_oABCDEFGHIJK", true}};
    for (const auto& c : cases) {
        row.m_user.m_strSession = QString::fromUtf8(c.session);
        EXPECT_EQ(row.m_user.IsWeChatSession(), c.wechat) << c.session;
        EXPECT_EQ(row.FormatText(Head("微信"), true, true, true), QString::fromUtf8(c.wechat ? "是" : "否"))
            << c.session;
    }
}

} // namespace
