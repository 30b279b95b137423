// The preview window offscreen: paging, the two-page rule, view modes and the panes.
#include "CXPrintPreview.h"
#include "CXPrintView.h"
#include "CommandIds.h"
#include "RtfWriter.h"
#include "XPrintPreviewWindow.h"

#include <gtest/gtest.h>

#include <QtGui/QAction>
#include <QtGui/QTextDocument>

namespace {

std::unique_ptr<CXPrintView> View(int pages)
{
    QString html = QStringLiteral("<p>第 [PAGENUM] 页 共 [PAGECOUNT] 页 [K]</p>");
    for (int i = 1; i < pages; ++i)
        html += QStringLiteral("<p>[PAGEBREAK]</p><p>第 [PAGENUM] 页 共 [PAGECOUNT] 页</p>");
    QTextDocument doc;
    doc.setHtml(html);
    auto view = std::make_unique<CXPrintView>();
    view->m_templ.m_strName = QStringLiteral("测试模板");
    view->m_templ.m_templ = WriteRtf(doc);
    view->m_keywords.insert(QStringLiteral("[K]"), QStringLiteral("VALUE"));
    EXPECT_TRUE(view->BuildRtf(-1, -1));
    return view;
}

TEST(PrintPreview, PagingAndTheTwoPageRule)
{
    XPrintPreviewWindow window(View(3), QStringLiteral("打印预览"), QStringLiteral("doc"));
    window.resize(1200, 750);
    CXPrintPreview* preview = window.Preview();
    // three sheets: shown as a pair from page 1
    EXPECT_TRUE(preview->IsTwoPages());
    EXPECT_EQ(window.PaneText(ID_PRINTPANE_PAGE), QStringLiteral("1/3"));
    EXPECT_FALSE(window.Action(ID_PREVIEW_PREV)->isEnabled());
    window.OnCommand(ID_PREVIEW_ZOOMIN); // one page, so the last one can be current
    EXPECT_FALSE(preview->IsTwoPages());
    window.OnCommand(ID_PREVIEW_ZOOMIN); // and larger
    EXPECT_GT(preview->GetZoom(), 0.0);
    window.OnCommand(ID_PREVIEW_NEXT);
    window.OnCommand(ID_PREVIEW_NEXT);
    EXPECT_EQ(window.PaneText(ID_PRINTPANE_PAGE), QStringLiteral("3/3"));
    EXPECT_FALSE(window.Action(ID_PREVIEW_NEXT)->isEnabled());
    EXPECT_TRUE(window.Action(ID_PREVIEW_PREV)->isEnabled());
    // zooming out on the last page shows the last two, the second-to-last current
    window.OnCommand(ID_PREVIEW_ZOOMOUT);
    EXPECT_FALSE(preview->IsTwoPages()); // first the whole sheet
    window.OnCommand(ID_PREVIEW_ZOOMOUT);
    EXPECT_TRUE(preview->IsTwoPages());
    EXPECT_EQ(window.PaneText(ID_PRINTPANE_PAGE), QStringLiteral("2/3"));
    window.grab().save(QStringLiteral("/tmp/print-preview-3.png"));

    // a record preview cannot print from here; the view modes follow the commands
    EXPECT_FALSE(window.Action(IDC_PROOF_PRINT)->isEnabled());
    EXPECT_TRUE(window.Action(ID_PRINTVIEW_ALL)->isChecked());
    window.OnCommand(ID_PRINTVIEW_RAW);
    EXPECT_TRUE(window.Action(ID_PRINTVIEW_RAW)->isChecked());
    EXPECT_FALSE(window.Action(ID_PRINTVIEW_ALL)->isChecked());
    EXPECT_TRUE(window.View()->Document().toPlainText().contains(QStringLiteral("[K]")));
    window.OnCommand(ID_PRINTVIEW_MARK);
    EXPECT_TRUE(window.Action(ID_PRINTVIEW_MARK)->isChecked());
    EXPECT_EQ(window.PaneText(MDU_TEMPL), QStringLiteral("测试模板"));
    EXPECT_EQ(window.PaneText(ID_PRINTPANE_ORIENTATION), QStringLiteral("纵向"));
}

TEST(PrintPreview, OnePageDisablesPaging)
{
    XPrintPreviewWindow window(View(1), QStringLiteral("打印预览"), QStringLiteral("doc"));
    EXPECT_FALSE(window.Preview()->IsTwoPages());
    EXPECT_EQ(window.PaneText(ID_PRINTPANE_PAGE), QStringLiteral("1/1"));
    EXPECT_FALSE(window.Action(ID_PREVIEW_NEXT)->isEnabled());
    EXPECT_FALSE(window.Action(ID_PREVIEW_PREV)->isEnabled());
    window.OnCommand(ID_PREVIEW_ZOOMOUT); // still one page
    EXPECT_FALSE(window.Preview()->IsTwoPages());
    window.resize(900, 700);
    window.grab().save(QStringLiteral("/tmp/print-preview-1.png"));
}

} // namespace
