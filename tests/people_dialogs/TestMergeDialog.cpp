// The comparison shown before two students are merged.
#include "CDBStudent.h"
#include "CDlgMergeRepeat.h"
#include "CHtmlCtrl.h"
#include "TestSupport.h"
#include "XUi.h"

#include <QtGui/QImage>
#include <gtest/gtest.h>

namespace {

TEST(MergeDialog, ShowsBothStudentsAndAnswersTheConfirmation)
{
    CXArray students(nullptr, true);
    auto* kept = new CDBStudent;
    kept->m_nID = 1;
    kept->m_strRealName = kept->m_strName = QStringLiteral("张三");
    auto* other = new CDBStudent;
    other->m_nID = 2;
    other->m_strRealName = QStringLiteral("张三");
    other->m_strPetname = QStringLiteral("小明");
    other->m_strName = QStringLiteral("张三 (小明)");
    students.Add(kept);
    students.Add(other);

    CDlgMergeRepeat dlg(students);
    const QString html = dlg.BuildHtml();
    EXPECT_TRUE(html.contains(QStringLiteral("小明"))) << html.left(400).toStdString();
    EXPECT_LT(html.indexOf(QStringLiteral("张三")), html.indexOf(QStringLiteral("小明")));

    XUiTestHooks ui;
    QString shown;
    ui.onModal = [&](QDialog* d) {
        if (const char* out = std::getenv("LORVAN_SHOT")) // a look at the page when asked for
            d->grab().save(QString::fromLocal8Bit(out));
        shown = d->windowTitle();
        return IDOK;
    };
    EXPECT_TRUE(ConfirmStudentMerge(students));
    EXPECT_EQ(shown, QStringLiteral("合并重名学员"));
    ui.onModal = [](QDialog*) { return IDCANCEL; };
    EXPECT_FALSE(ConfirmStudentMerge(students));
}

} // namespace
