// Remembered dialog sizes in the settings store, and scrolling of tall dialogs.
#include "CFakeAppServices.h"
#include "CXAccessor.h"
#include "CXDBSession.h"
#include "OpenDatabase.h"
#include "TestDialogRecord.h"
#include "TestSupport.h"
#include "XDrawing.h"
#include "XUi.h"
#include "XWinStyles.h"

#include <gtest/gtest.h>

#include <QtGui/QWheelEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QSizeGrip>

#include <memory>

namespace {

class DialogSize : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CXDBSession::CloseShared();
        ASSERT_TRUE(CreateDatabase(GetConnectionString()));
        user.m_strName = QStringLiteral("老师甲");
        CFakeAppServices::Installed().user = &user;
    }
    void TearDown() override
    {
        CFakeAppServices::Installed().user = nullptr;
        SetScreenDpiOverride(0);
        CXDBSession::CloseShared();
    }
    // the stored rows of the user, "key=value;..."
    QString Rows()
    {
        CXDBSession session;
        session.Connect();
        CXAccessor cmd;
        if (!cmd.Open(session, QStringLiteral(
                                   "SELECT KeyName, KeyValue FROM TB_PROFILE WHERE SecName='老师甲' ORDER BY KeyName")))
            return QStringLiteral("<error>");
        QStringList rows;
        while (cmd.MoveNext())
            rows << cmd.GetText(1) + "=" + cmd.GetText(2);
        return rows.join(u';');
    }
    std::unique_ptr<CDlgTestPupil> Open(int helpId = 0)
    {
        auto dlg = std::make_unique<CDlgTestPupil>(&pupil, false, &PupilTemplate(WS_MAXIMIZEBOX));
        if (helpId)
            dlg->m_nHelpId = helpId;
        dlg->Create();
        return dlg;
    }

    ScopedHome home;
    CXItem user;
    CTestPupil pupil;
    XUiTestHooks ui;
};

} // namespace

TEST_F(DialogSize, TemplateSizeLeavesNoRowLargerSizesAreRemembered)
{
    auto dlg = Open();
    const QSize start = dlg->size();
    EXPECT_EQ(dlg->m_sizeMin, start);
    EXPECT_EQ(dlg->minimumSize(), start);
    EXPECT_EQ(dlg->SizeKey(), "dlg.9001.128.96");
    dlg.reset();
    EXPECT_EQ(Rows(), "");

    dlg = Open();
    dlg->show();
    dlg->resize(start + QSize(100, 50));
    dlg.reset();
    EXPECT_EQ(Rows(), QStringLiteral("dlg.9001.128.96=%1,%2,1").arg(start.width() + 100).arg(start.height() + 50));

    dlg = Open();
    EXPECT_EQ(dlg->size(), start + QSize(100, 50));
    // the size grip keeps to the bottom-right corner
    const auto grips = dlg->findChildren<QSizeGrip*>();
    ASSERT_EQ(grips.size(), 1);
    EXPECT_EQ(grips[0]->geometry(), QRect(dlg->width() - 16, dlg->height() - 16, 16, 16));
    EXPECT_EQ(dlg->m_sizeMin, start); // the smallest size stays the dialog's own
}

TEST_F(DialogSize, MaximisedIsRememberedWithTheNormalSize)
{
    auto dlg = Open();
    const QSize start = dlg->size();
    dlg->show();
    dlg->showMaximized();
    ASSERT_TRUE(dlg->isMaximized());
    dlg.reset();
    EXPECT_EQ(Rows(), QStringLiteral("dlg.9001.128.96=%1,%2,3").arg(start.width()).arg(start.height()));

    dlg = Open();
    dlg->show();
    EXPECT_TRUE(dlg->isMaximized());
}

TEST_F(DialogSize, KeysPerHelpIdAndDpi)
{
    auto a = Open(321);
    a->resize(a->size() + QSize(10, 10));
    a.reset();
    auto b = Open(322);
    const QSize start = b->size();
    EXPECT_EQ(start, b->m_sizeMin); // the other module's dialog starts at its own size
    b->resize(start + QSize(20, 20));
    b.reset();
    EXPECT_EQ(Rows().count(u'='), 2);

    // another resolution: the template size, and nothing remembered from the other one
    SetScreenDpiOverride(144);
    auto c = Open(321);
    EXPECT_EQ(c->size(), start);
    c.reset();

    // a resolution changed while running saves nothing
    SetScreenDpiOverride(96, 120);
    auto d = Open(400);
    d->resize(start + QSize(30, 30));
    d.reset();
    EXPECT_FALSE(Rows().contains(QStringLiteral("dlg.9001.400")));

    // nor does a session without a user name
    SetScreenDpiOverride(0);
    user.m_strName.clear();
    auto e = Open(401);
    e->resize(start + QSize(30, 30));
    e.reset();
    user.m_strName = QStringLiteral("老师甲");
    EXPECT_FALSE(Rows().contains(QStringLiteral("dlg.9001.401")));
}

TEST(DialogScroll, TallContentScrollsByTheModel)
{
    XUiTestHooks ui;
    CTestPupil pupil;
    CDlgTestPupil dlg(&pupil, false, &PupilTemplate(WS_VSCROLL | WS_MAXIMIZEBOX));
    dlg.Create();
    dlg.setMinimumSize(0, 0); // smaller than its controls need, so that the numbers are round
    dlg.resize(300, 400);
    dlg.show();
    dlg.SetScrollSize(200, 1000);
    const XScrollModel m = dlg.ScrollModel(true);
    EXPECT_EQ(m.nMax, 600);
    EXPECT_EQ(m.nPage, 240);
    EXPECT_EQ(dlg.ContentOffset(), QPoint(0, 0));
    dlg.OnVScroll(SB_BOTTOM);
    EXPECT_EQ(dlg.ScrollPos(true), 360);
    EXPECT_EQ(dlg.ContentOffset().y(), -600);
    dlg.ScrollToLine(5);
    EXPECT_EQ(dlg.ContentOffset().y(), -300);
    EXPECT_TRUE(dlg.OnMouseWheel(120));
    EXPECT_EQ(dlg.ScrollPos(true), 60);

    // the wheel over a combo box scrolls the dialog and leaves the combo's choice alone
    auto* combo = qobject_cast<QComboBox*>(dlg.GetDlgItem(IDC_LEVEL));
    combo->setCurrentIndex(1);
    QWheelEvent wheel(QPointF(5, 5), combo->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(combo, &wheel);
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_EQ(dlg.ScrollPos(true), 180);

    // content that fits: no bars, nothing moves and nothing divides by zero
    dlg.SetScrollSize(100, 100);
    EXPECT_EQ(dlg.ScrollModel(true).Range(), 0);
    dlg.OnVScroll(SB_LINEDOWN);
    dlg.OnVScroll(SB_BOTTOM);
    EXPECT_EQ(dlg.ContentOffset(), QPoint(0, 0));
}
