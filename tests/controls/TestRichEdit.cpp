#include "CXRichEditCtrl.h"
#include "RtfStreams.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QtGui/QTextDocument>

namespace {

TEST(RichEditInset, IsTruncatedMillimetresAtTheScreenResolution)
{
    EXPECT_EQ(RichEditInset(96, QMargins(0, 0, 0, 0)), QMargins(0, 0, 0, 0));
    EXPECT_EQ(RichEditInset(96, QMargins(25, 25, 25, 25)), QMargins(94, 94, 94, 94)); // 94.48
    EXPECT_EQ(RichEditInset(96, QMargins(10, 20, 30, 1)), QMargins(37, 75, 113, 3));
    EXPECT_EQ(RichEditInset(120, QMargins(25, 0, 0, 0)), QMargins(118, 0, 0, 0));
}

TEST(CXRichEditCtrl, InsetsTheClientAreaByTheTemplateMargins)
{
    CXRichEditCtrl edit;
    edit.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit.resize(600, 500);
    const QRect plain = edit.contentsRect();
    edit.SetTemplateMargins(QMargins(0, 0, 0, 0));
    EXPECT_EQ(edit.viewport()->geometry(), plain);
    edit.SetTemplateMargins(QMargins(25, 10, 5, 20));
    const QMargins inset = RichEditInset(CXRichEditCtrl::ScreenDpi(), QMargins(25, 10, 5, 20));
    EXPECT_EQ(edit.viewport()->geometry(), plain.adjusted(inset.left(), inset.top(), -inset.right(), -inset.bottom()));
    edit.SetTemplateMargins(std::nullopt);
    EXPECT_EQ(edit.viewport()->geometry(), plain);
}

TEST(CXRichEditCtrl, MarksTheCornersOutsideTheClientArea)
{
    CXRichEditCtrl edit;
    edit.resize(400, 300);
    edit.SetTemplateMargins(QMargins(20, 20, 20, 20));
    edit.show();
    const QImage shot = edit.grab().toImage();
    const QRect c = edit.viewport()->geometry();
    const QRgb mark = edit.palette().color(QPalette::Dark).rgb();
    const QRgb back = edit.palette().color(QPalette::Base).rgb();
    ASSERT_GT(c.left(), 40);
    // each corner: a short horizontal and a short vertical line, 30 px long
    EXPECT_EQ(shot.pixel(c.left() - 10, c.top()), mark);
    EXPECT_EQ(shot.pixel(c.left(), c.top() - 10), mark);
    EXPECT_EQ(shot.pixel(c.right() + 10, c.bottom()), mark);
    EXPECT_EQ(shot.pixel(c.right(), c.bottom() + 10), mark);
    EXPECT_EQ(shot.pixel(c.left() - 29, c.bottom()), mark);
    EXPECT_EQ(shot.pixel(c.left() - 31, c.bottom()), back);
    EXPECT_EQ(shot.pixel(c.left() - 10, c.top() - 10), back);
    EXPECT_EQ(shot.pixel(c.left() - 10, c.top() + 50), back);
}

TEST(CXRichEditCtrl, AsksForAResizeOnEveryChange)
{
    CXRichEditCtrl edit;
    edit.resize(300, 200);
    edit.show();
    std::vector<QSizeF> sizes;
    QObject::connect(&edit, &CXRichEditCtrl::requestResize, [&](const QSizeF& s) { sizes.push_back(s); });
    edit.setPlainText("one");
    ASSERT_EQ(sizes.size(), 1u);
    edit.setPlainText("one\ntwo\nthree");
    ASSERT_EQ(sizes.size(), 2u);
    EXPECT_GT(sizes[1].height(), sizes[0].height());
    edit.textCursor().insertText("x");
    EXPECT_EQ(sizes.size(), 3u);
}

TEST(RtfStreams, MoveRtfInAndOutOfTheControl)
{
    EXPECT_FALSE(StreamInRtf(nullptr, "{\\rtf1 x}"));
    EXPECT_EQ(StreamOutRtf(nullptr), QByteArray());

    CXRichEditCtrl edit;
    EXPECT_EQ(StreamOutRtf(&edit), QByteArray()); // not an empty RTF group
    EXPECT_FALSE(StreamInRtf(&edit, ""));
    EXPECT_FALSE(StreamInRtf(&edit, QByteArray("\0{\\rtf1 x}", 10)));

    static const char twoDocuments[] = "{\\rtf1\\ansi\\ansicpg936 \\'c4\\'e3 [\\b ID\\b0 ]}\0{\\rtf1 y}";
    ASSERT_TRUE(StreamInRtf(&edit, QByteArray(twoDocuments, sizeof twoDocuments - 1)));
    EXPECT_EQ(edit.toPlainText(), "你 [ID]");
    const QByteArray out = StreamOutRtf(&edit);
    EXPECT_TRUE(out.startsWith("{\\rtf1\\ansi\\ansicpg936"));
    EXPECT_TRUE(out.contains("\\u20320? [\\b ID\\b0 ]"));

    ASSERT_TRUE(StreamInRtf(&edit, "{\\rtf1 replaced}"));
    EXPECT_EQ(edit.toPlainText(), "replaced");
    EXPECT_FALSE(edit.document()->isUndoAvailable());
    ASSERT_TRUE(StreamInRtf(&edit, out));
    EXPECT_EQ(StreamOutRtf(&edit), out);
}

} // namespace
