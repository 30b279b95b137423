// The HTML pane: its links reach the main window as commands and record requests, its
// icon placeholders become images it can show, and a real click on a record link asks
// for that record.
#include "CFakeAppServices.h"
#include "CHtmlCtrl.h"
#include "CModule.h"
#include "CXImage.h"
#include "TestDialogRecord.h"
#include "XCmdTarget.h"
#include "XMainWindow.h"
#include "XUi.h"

#include <gtest/gtest.h>

#include <QtCore/QCoreApplication>
#include <QtGui/QPainter>
#include <QtGui/QTextCursor>
#include <QtGui/QTextDocument>
#include <QtTest/QTest>

namespace {

// Stands in for the main frame: keeps what was posted to it.
class CFakeMainWindow : public QObject
{
public:
    struct Post
    {
        int id;
        int message;
        qintptr wParam;
        qintptr lParam;
    };
    bool event(QEvent* e) override
    {
        if (e->type() != XCommandEvent::EventType())
            return QObject::event(e);
        const auto* c = static_cast<XCommandEvent*>(e);
        posts.push_back({c->m_nID, c->m_nMessage, c->m_wParam, c->m_lParam});
        return true;
    }
    std::vector<Post> posts;
};

class HtmlPane : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_previous = XSetMainWindow(&m_main);
        RegisterModule(&m_students);
    }
    void TearDown() override { XSetMainWindow(m_previous); }

    std::vector<CFakeMainWindow::Post> Navigate(const QString& url, bool& cancel)
    {
        m_main.posts.clear();
        m_pane.OnBeforeNavigate2(url, cancel);
        QCoreApplication::sendPostedEvents(&m_main);
        return m_main.posts;
    }

    CFakeMainWindow m_main;
    QObject* m_previous = nullptr;
    CModuleT<CTestPupil> m_students;
    CHtmlCtrl m_pane;
};

TEST_F(HtmlPane, CommandAndRecordLinks)
{
    const struct
    {
        const char* url;
        bool cancel;
        int id;
        int message;
        int w;
        int l;
    } cases[] = {
        {"xc:QuErY", true, 32882, 0, 0, 0},
        {"XC:modify", true, 32791, 0, 0, 0},
        {"xc:32787", true, 32787, 0, 0, 0},
        {"xc:print", true, 0, -1, 0, 0}, // not a number: nothing, and no navigation
        {"xc:0", true, 0, -1, 0, 0},
        {"xl:321:5", true, 0, 0x80C2, 321, 5},
        {"XL:321:5", true, 0, 0x80C2, 321, 5},
        {"xl:321:0", true, 0, -1, 0, 0}, // record ID 0
        {"xl:0:5", true, 0, -1, 0, 0},
        {"xl:999:5", true, 0, -1, 0, 0},   // no such module
        {"xl:321:5:1", true, 0, -1, 0, 0}, // three parts
        {"xl:321", true, 0, -1, 0, 0},
        {"https://example.org/a", false, 0, -1, 0, 0},
    };
    for (const auto& c : cases) {
        bool cancel = !c.cancel;
        const auto posts = Navigate(QString::fromLatin1(c.url), cancel);
        EXPECT_EQ(cancel, c.cancel) << c.url;
        if (c.message < 0) {
            EXPECT_TRUE(posts.empty()) << c.url;
            continue;
        }
        ASSERT_EQ(posts.size(), 1u) << c.url;
        EXPECT_EQ(posts[0].id, c.id) << c.url;
        EXPECT_EQ(posts[0].message, c.message) << c.url;
        EXPECT_EQ(posts[0].wParam, c.w) << c.url;
        EXPECT_EQ(posts[0].lParam, c.l) << c.url;
    }
}

TEST_F(HtmlPane, WebLinksOpenInTheDesktopBrowser)
{
    XUiTestHooks hooks;
    m_pane.SetHTML(QStringLiteral("<p><a href=\"https://example.org/x?a=1\">site</a></p>"));
    emit m_pane.anchorClicked(QUrl(QStringLiteral("https://example.org/x?a=1")));
    ASSERT_EQ(hooks.Calls(QStringLiteral("Shell")).size(), 1u);
    EXPECT_EQ(hooks.Calls(QStringLiteral("Shell"))[0].text, QStringLiteral("https://example.org/x?a=1"));
}

// Icons of the fake services: a solid square per id, so the pane shows visible pixels.
class CIconServices : public CFakeAppServices
{
public:
    QIcon CommandIcon(int id, QRgb, bool) const override
    {
        QImage image(16, 16, QImage::Format_ARGB32);
        image.fill(id == 32791 ? QColor(255, 0, 0) : QColor(0, 0, 255));
        return QIcon(QPixmap::fromImage(image));
    }
};

TEST_F(HtmlPane, PlaceholdersBecomeImagesThePaneDecodes)
{
    CIconServices icons;
    XAppServices* previous = SetAppServices(&icons);
    const QString html = CHtmlCtrl::ReplaceIconPlaceholders(
        QStringLiteral("<img src=\"img?id=modify\"/><img src=\"img?id=modify\"/><img src=\"img?id=relate\"/>"));
    SetAppServices(previous);
    EXPECT_FALSE(html.contains(QLatin1String("img?id="))) << html.toStdString();
    EXPECT_EQ(html.count(QLatin1String("src=\"data:image/png;base64,")), 3);

    const QString uri = html.section(u'"', 1, 1);
    const QImage image = m_pane.loadResource(QTextDocument::ImageResource, QUrl(uri)).value<QImage>();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixelColor(8, 8), QColor(255, 0, 0));
    EXPECT_TRUE(m_pane.loadResource(QTextDocument::ImageResource, QUrl(QStringLiteral("data:image/png;base64,!!")))
                    .value<QImage>()
                    .isNull());
}

TEST_F(HtmlPane, ClickOnARecordLinkAsksForTheRecord)
{
    m_pane.resize(300, 120);
    m_pane.SetHTML(QStringLiteral("<p>教师 <a href=\"xl:321:5\">王老师</a> 已上课</p>"));
    m_pane.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_pane));

    QTextCursor cursor = m_pane.document()->find(QStringLiteral("王老师"));
    ASSERT_FALSE(cursor.isNull());
    cursor.setPosition(cursor.selectionStart() + 1);
    const QPoint at = m_pane.cursorRect(cursor).center();
    m_main.posts.clear();
    QTest::mouseClick(m_pane.viewport(), Qt::LeftButton, {}, at);
    QCoreApplication::sendPostedEvents(&m_main);
    ASSERT_EQ(m_main.posts.size(), 1u);
    EXPECT_EQ(m_main.posts[0].message, WM_XSHOWITEM);
    EXPECT_EQ(m_main.posts[0].wParam, 321);
    EXPECT_EQ(m_main.posts[0].lParam, 5);
}

} // namespace
