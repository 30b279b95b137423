#include "CDlgEdit.h"
#include "CDlgEditOperLog.h"
#include "CFakeAppServices.h"
#include "CHttpSession.h"
#include "CModuleOperLog.h"
#include "CommandIds.h"
#include "DbTestSupport.h"
#include "EditFrame.h"
#include "OpenDatabase.h"
#include "XReadOnly.h"
#include "XUi.h"

#include <gtest/gtest.h>

#include <QtWidgets/QPushButton>
#include <QtWidgets/QWidget>

namespace {

CXMap Logins()
{
    CXMap query;
    query.SetText(QKEY_OPER_TYPE, QStringLiteral("0"));
    return query;
}

class OperLogSession : public ::testing::Test
{
protected:
    void SetUp() override
    {
        XClock::SetFixed(m_now);
        CXDBSession session;
        session.Connect();
        ASSERT_TRUE(MarkWritableColumns(session, *CDBOperLog::StaticHeads()));
        CFakeAppServices::Installed().Clear();
        ASSERT_TRUE(
            Exec(QStringLiteral(
                     "INSERT INTO TB_OPERLOG (OperTime, UserID, UserMduID, TypeID, SessionEnd, MduID, ItemID,"
                     " OperMemo, Extr, UserIP, UserSession) VALUES (%1, 5, 322, 0, 0, 0, 0, '', '', '1.2.3.4', 's1')")
                     .arg(m_now.Day() - 1, 0, 'f', 6)));
        std::lock_guard lock(xInternet::SessionLock());
        auto* teacher = new CXItem;
        teacher->m_nMduID = MDU_TEACHER;
        teacher->m_nID = 5;
        xInternet::SessionMap().emplace(QStringLiteral("s1"), std::make_unique<CHttpSession>(teacher));
    }
    void TearDown() override
    {
        std::lock_guard lock(xInternet::SessionLock());
        xInternet::SessionMap().clear();
        XClock::Reset();
        CFakeAppServices::Installed().Clear();
    }

    TempDatabase m_db;
    XDateTime m_now{2025, 3, 5, 12, 0, 0};
    CModuleOperLog m_module;
};

TEST_F(OperLogSession, ConfirmedLogoutEndsTheStoredAndTheLiveSession)
{
    CXArray rows(nullptr, true);
    ASSERT_TRUE(m_module.QueryItems(rows, Logins(), true, false));
    ASSERT_EQ(rows.GetSize(), 1);
    std::unique_ptr<CDlgEdit> frame(CreateEditDialog(m_module, false, rows.GetAt(0)));
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(IsWndReadOnly(frame.get()));
    ASSERT_EQ(frame->m_pages.size(), 1u);
    auto* page = static_cast<CDlgEditOperLog*>(frame->m_pages.front());
    frame->show();
    ASSERT_NE(frame->m_btnInfo, nullptr);
    EXPECT_FALSE(frame->m_btnInfo->isEnabled());
    EXPECT_TRUE(page->GetDlgItem(IDC_LOGOUT)->isEnabled());

    XUiTestHooks ui;
    ui.answer = IDCANCEL;
    page->OnLogout();
    EXPECT_EQ(QueryNumber(QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=1")), 0);
    const auto boxes = ui.Calls(QStringLiteral("MessageBox"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, QStringLiteral("注销后此用户需要重新输入用户名和密码登录！"));
    EXPECT_EQ(boxes[0].type, MB_ICONWARNING | MB_OKCANCEL);

    ui.answer = IDOK;
    page->OnLogout();
    EXPECT_EQ(QueryNumber(QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=1 AND UserID=5")), 1);
    EXPECT_EQ(QueryNumber(QStringLiteral("SELECT SessionEnd FROM TB_OPERLOG WHERE TypeID=0")), 1);
    EXPECT_FALSE(page->GetDlgItem(IDC_LOGOUT)->isEnabled());
    std::lock_guard lock(xInternet::SessionLock());
    EXPECT_EQ(xInternet::SessionMap().at(QStringLiteral("s1"))->Identities().GetSize(), 0);
}

TEST_F(OperLogSession, EndedSessionsOpenNothing)
{
    ASSERT_TRUE(Exec(QStringLiteral("UPDATE TB_OPERLOG SET SessionEnd=1")));
    CXArray rows(nullptr, true);
    ASSERT_TRUE(m_module.QueryItems(rows, Logins(), true, false));
    ASSERT_EQ(rows.GetSize(), 1);
    EXPECT_EQ(CreateEditDialog(m_module, false, rows.GetAt(0)).get(), nullptr);
}

} // namespace
