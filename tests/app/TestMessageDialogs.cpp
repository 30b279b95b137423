#include "CDlgAppExit.h"
#include "CDlgMsgBox.h"
#include "CDlgMsgSQLErr.h"
#include "CDlgProgress.h"
#include "CommandIds.h"
#include "XAppServices.h"

#include <gtest/gtest.h>

#include <QtCore/QDir>
#include <QtCore/QTimer>
#include <QtGui/QKeyEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QStyle>
#include <QtWidgets/QTreeWidget>

namespace {

// Saves a picture of the window when LORVAN_SHOTS names a folder, to look at by eye.
void Shot(QWidget& w, const char* name)
{
    const QString folder = qEnvironmentVariable("LORVAN_SHOTS");
    if (!folder.isEmpty())
        w.grab().save(QDir(folder).filePath(QString::fromLatin1(name) + QStringLiteral(".png")));
}

TEST(MessageDialogs, MessageBoxIconFollowsTheTypeAndAWarningOtherwise)
{
    const struct
    {
        unsigned type;
        int icon;
    } cases[] = {
        {MB_ICONERROR, QStyle::SP_MessageBoxCritical},  {MB_ICONQUESTION, QStyle::SP_MessageBoxQuestion},
        {MB_ICONWARNING, QStyle::SP_MessageBoxWarning}, {MB_ICONINFORMATION, QStyle::SP_MessageBoxInformation},
        {MB_OK, QStyle::SP_MessageBoxWarning},          {MB_OKCANCEL | MB_ICONERROR, QStyle::SP_MessageBoxCritical}};
    for (const auto& c : cases)
        EXPECT_EQ(CDlgMsgBox::IconFor(c.type), c.icon) << c.type;
}

TEST(MessageDialogs, MessageBoxListsItemsAndClosesWithOkOrCancelEvenWhenEmpty)
{
    CDlgMsgBox box(MB_ICONWARNING);
    EXPECT_EQ(box.windowTitle(), QStringLiteral("提示标题"));
    QTimer::singleShot(0, &box, &QDialog::accept);
    EXPECT_EQ(box.exec(), QDialog::Accepted);
    QTimer::singleShot(0, &box, &QDialog::reject);
    EXPECT_EQ(box.exec(), QDialog::Rejected);

    CDlgMsgBox named(MB_ICONERROR, QStringLiteral("删除"));
    named.SetText(QStringLiteral("选中的 2 个课程中有 2 个不能删除："));
    named.AddItem(QStringLiteral("钢琴"), QStringLiteral("已有学员报名，不能删除。"));
    named.AddItem(QStringLiteral("声乐"), QStringLiteral("已有课程表，不能删除。"));
    EXPECT_EQ(named.windowTitle(), QStringLiteral("删除"));
    ASSERT_EQ(named.m_pList->topLevelItemCount(), 2);
    EXPECT_EQ(named.m_pList->topLevelItem(1)->text(1), QStringLiteral("已有课程表，不能删除。"));
    named.show();
    Shot(named, "msgbox");
}

TEST(MessageDialogs, SqlErrorShowsItsThreeTextsReadOnly)
{
    const QString sql = QStringLiteral("SELECT *\nFROM TB_STUDENT\n").repeated(40);
    CDlgMsgSQLErr dlg(QStringLiteral("读取学员"), sql, QStringLiteral("no such column: Foo"));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("数据库访问错误"));
    EXPECT_EQ(dlg.m_pTask->text(), QStringLiteral("读取学员"));
    EXPECT_EQ(dlg.m_pSql->toPlainText(), sql);
    EXPECT_TRUE(dlg.m_pTask->isReadOnly());
    EXPECT_TRUE(dlg.m_pSql->isReadOnly());
    EXPECT_TRUE(dlg.m_pError->isReadOnly());
    dlg.show();
    QApplication::processEvents();
    Shot(dlg, "sqlerror");
}

TEST(MessageDialogs, ProgressWithoutRangeNeverMovesAndCannotBeClosed)
{
    CDlgProgress still(QStringLiteral("导入"), 0);
    still.Step(QStringLiteral("正在读取 ..."));
    still.Step(QString());
    EXPECT_EQ(still.m_pBar->value(), 0);
    EXPECT_EQ(still.m_pText->text(), QStringLiteral("正在读取 ..."));

    CDlgProgress stepped(QStringLiteral("升级数据库"), 3);
    for (int i = 0; i < 5; ++i)
        stepped.Step(QStringLiteral("第 %1 步").arg(i + 1));
    EXPECT_EQ(stepped.m_pBar->value(), 3);
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&stepped, &esc);
    EXPECT_FALSE(stepped.close());
    EXPECT_TRUE(stepped.isVisible());
    Shot(stepped, "progress");
}

TEST(MessageDialogs, ExitQuestionAnswersExitHideOrCancel)
{
    const struct
    {
        bool hideDisabled;
        int button; // 0 hide, 1 exit, 2 cancel, 3 Esc
        int result;
    } cases[] = {
        {false, 0, ID_APP_HIDE}, {false, 1, IDOK}, {false, 2, IDCANCEL}, {false, 3, IDCANCEL}, {true, 1, IDOK}};
    for (const auto& c : cases) {
        CDlgAppExit dlg;
        dlg.m_bHideDisabled = c.hideDisabled;
        QTimer::singleShot(0, &dlg, [&dlg, &c] {
            EXPECT_EQ(dlg.m_pHide->isEnabled(), !c.hideDisabled);
            if (c.button == 3)
                dlg.reject();
            else
                (c.button == 0 ? dlg.m_pHide : c.button == 1 ? dlg.m_pExit : dlg.m_pCancel)->click();
        });
        EXPECT_EQ(dlg.exec(), c.result) << c.button;
    }
    CDlgAppExit shown;
    shown.m_bHideDisabled = true;
    shown.show();
    Shot(shown, "exit");
}

} // namespace
