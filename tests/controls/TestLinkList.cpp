// The link list: anchors in and out, which module it links to, its button layout, its
// commands and what a click on one of its links does.
#include "CFakeAppServices.h"
#include "CXLinkCtrl.h"
#include "CModule.h"
#include "CommandIds.h"
#include "TestDialogRecord.h"
#include "XCtrlProps.h"
#include "XMainWindow.h"
#include "XReadOnly.h"
#include "XUi.h"
#include "XWinStyles.h"

#include <gtest/gtest.h>

#include <QtCore/QCoreApplication>

#include <memory>

namespace {

// The students module reads one record per query and remembers what it was asked.
class CReadingModule : public CModuleT<CTestPupil>
{
public:
    bool QueryItems(CXArray& items, CXMap query, bool, bool bExpectOne) override
    {
        queries.push_back(query.ToXml());
        expectOne = bExpectOne;
        CXItem* item = CreateItem();
        item->m_nID = query.GetInt(QKEY_IDS);
        items.AddAdopted(item);
        return true;
    }
    std::vector<QString> queries;
    bool expectOne = false;
};

class CFakeActions : public XLinkActions
{
public:
    bool CreateNew(CModule& module, CXBase& created) override
    {
        created.m_nMduID = module.GetMduID();
        created.m_nID = 77;
        created.m_strName = QStringLiteral("新学员");
        return answer;
    }
    bool ChooseOne(CModule&, const CXMap& query, const CXBase& current, CXBase& chosen) override
    {
        lastQuery = query.ToXml();
        startedAt = current.m_nID;
        chosen.m_nMduID = MDU_STUDENT;
        chosen.m_nID = 9;
        chosen.m_strName = QStringLiteral("韩梅梅");
        return answer;
    }
    bool ChooseMany(CModule&, const CXArray& current, CXArray& chosen) override
    {
        startedWith = current.GetSize();
        for (int id : {9, 5, 9}) {
            auto* ref = new CXItem;
            ref->m_nMduID = MDU_STUDENT;
            ref->m_nID = id;
            ref->m_strName = id == 9 ? QStringLiteral("韩梅梅") : QStringLiteral("李雷");
            chosen.AddAdopted(ref);
        }
        return answer;
    }
    int OpenItems(CModule& module, CXArray& items, bool bViewOnly) override
    {
        opened.push_back({module.GetMduID(), items.GetSize() ? items.GetAt(0)->m_nID : 0, bViewOnly});
        return IDCANCEL;
    }
    struct Open
    {
        int module;
        int id;
        bool viewOnly;
    };
    bool answer = true;
    QString lastQuery;
    int startedAt = -1;
    int startedWith = -1;
    std::vector<Open> opened;
};

class CMainWindowProbe : public QObject
{
public:
    bool event(QEvent* e) override
    {
        if (e->type() != XCommandEvent::EventType())
            return QObject::event(e);
        commands.push_back(static_cast<XCommandEvent*>(e)->m_nID);
        return true;
    }
    std::vector<int> commands;
};

class LinkList : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterModule(&m_students);
        m_students.m_nCaps = RIGHT_QRY | RIGHT_ADD;
        m_previousActions = SetLinkActions(&m_actions);
        m_previousMain = XSetMainWindow(&m_main);
        m_user.m_nRightRole = 2;
        CFakeAppServices::Installed().user = &m_user;
    }
    void TearDown() override
    {
        SetLinkActions(m_previousActions);
        XSetMainWindow(m_previousMain);
        CFakeAppServices::Installed().user = nullptr;
    }
    static std::unique_ptr<CXBase> Ref(int mdu, int id, const QString& name)
    {
        auto ref = std::make_unique<CXBase>();
        ref->m_nMduID = mdu;
        ref->m_nID = id;
        ref->m_strName = name;
        return ref;
    }

    CReadingModule m_students;
    CFakeActions m_actions;
    XLinkActions* m_previousActions = nullptr;
    CMainWindowProbe m_main;
    QObject* m_previousMain = nullptr;
    CXItem m_user;
    CXLinkCtrl m_link;
};

TEST_F(LinkList, AnchorsInAndOut)
{
    m_link.SetLink(*Ref(MDU_STUDENT, 5, QStringLiteral("A&B琴行")));
    EXPECT_EQ(m_link.text(), QStringLiteral("<a href=\"xl:321:5\">A&amp;B琴行</a>"));
    CXBase back;
    ASSERT_TRUE(m_link.GetLink(back));
    EXPECT_EQ(back.m_nMduID, 321);
    EXPECT_EQ(back.m_nID, 5);
    EXPECT_EQ(back.m_strName, QStringLiteral("A&B琴行"));

    for (const auto& [mdu, id] : {std::pair<int, int>{MDU_STUDENT, 0}, std::pair<int, int>{999, 5}}) {
        m_link.SetLink(*Ref(mdu, id, QStringLiteral("x")));
        EXPECT_EQ(m_link.text(), QString()) << mdu << ":" << id;
    }

    // texts written before titles were escaped still read
    m_link.setText(QStringLiteral("<a href=\"xl:321:5\">A&B琴行</a>"));
    ASSERT_TRUE(m_link.GetLink(back));
    EXPECT_EQ(back.m_strName, QStringLiteral("A&B琴行"));

    m_link.setText(QStringLiteral("<a href=\"xl:321:5\">王</a> 以及 <a href=\"xl:321:6\">李</a> 其他"));
    ASSERT_TRUE(m_link.GetLink(back));
    EXPECT_EQ(back.m_nID, 5);
    EXPECT_EQ(back.m_strName, QStringLiteral("王"));

    for (const char* text : {"plain text", "<a href=\"http://x\">x</a>", "<a href=\"xl:321\">x</a>"}) {
        m_link.setText(QString::fromLatin1(text));
        back.m_nID = 3;
        EXPECT_FALSE(m_link.GetLink(back)) << text;
        EXPECT_EQ(back.m_nID, 0) << text;
    }
}

TEST_F(LinkList, ModuleOfTheControl)
{
    EXPECT_EQ(m_link.GetModuleID(), 0);
    m_link.SetLink(*Ref(MDU_STUDENT, 5, QStringLiteral("王")));
    EXPECT_EQ(m_link.GetModuleID(), MDU_STUDENT);
    m_link.setText(QStringLiteral("<a href=\"xl:999:5\">?</a>"));
    EXPECT_EQ(m_link.GetModuleID(), 0);
    SetCtrlProps(&m_link, MDU_STUDENT, QStringLiteral("SysLink"), 0, 0);
    EXPECT_EQ(m_link.GetModuleID(), MDU_STUDENT);
}

TEST(LinkListLayout, RowOrColumnByHeight)
{
    CXCmd a(ID_EDIT_ADDNEW), b(ID_LINK_SELECT), c(ID_LINK_SELECTMANY), none(0);
    const std::vector<CXCmd*> cmds{&a, &none, &b, &c};
    EXPECT_EQ(CXLinkCtrl::LayoutButtons(QRect(0, 0, 200, 40), 24, cmds), 72); // 38 < 72: a row
    EXPECT_EQ(a.m_rc, QRect(175, 1, 24, 24));                                 // first rightmost
    EXPECT_EQ(b.m_rc, QRect(151, 1, 24, 24));
    EXPECT_EQ(c.m_rc, QRect(127, 1, 24, 24));
    EXPECT_TRUE(none.m_rc.isEmpty());
    EXPECT_EQ(CXLinkCtrl::LayoutButtons(QRect(0, 0, 200, 80), 24, cmds), 24); // a column
    EXPECT_EQ(a.m_rc, QRect(175, 1, 24, 24));
    EXPECT_EQ(b.m_rc, QRect(175, 25, 24, 24));
    EXPECT_EQ(c.m_rc, QRect(175, 49, 24, 24));
}

TEST_F(LinkList, ClicksOnLinks)
{
    XUiTestHooks hooks;
    m_link.OnLinkClicked(QString());
    m_link.OnLinkClicked(QStringLiteral("xc:32882"));
    m_link.OnLinkClicked(QStringLiteral("xl:321:5"));
    m_link.OnLinkClicked(QStringLiteral("xl:999:5"));
    m_link.OnLinkClicked(QStringLiteral("xl:321"));
    m_link.OnLinkClicked(QStringLiteral("https://example.org/"));
    QCoreApplication::sendPostedEvents(&m_main);

    EXPECT_EQ(m_main.commands, std::vector<int>{32882});
    ASSERT_EQ(m_students.queries.size(), 1u);
    EXPECT_EQ(m_students.queries[0], QStringLiteral("<r><x id=\"1\">5</x></r>"));
    EXPECT_TRUE(m_students.expectOne);
    ASSERT_EQ(m_actions.opened.size(), 1u);
    EXPECT_EQ(m_actions.opened[0].module, MDU_STUDENT);
    EXPECT_EQ(m_actions.opened[0].id, 5);
    EXPECT_TRUE(m_actions.opened[0].viewOnly);
    ASSERT_EQ(hooks.Calls(QStringLiteral("Shell")).size(), 1u);
    EXPECT_EQ(hooks.Calls(QStringLiteral("Shell"))[0].text, QStringLiteral("https://example.org/"));
}

TEST_F(LinkList, ButtonsFollowTheUsersRights)
{
    SetCtrlProps(&m_link, 0, QStringLiteral("SysLink"), 0, WS_EX_CLIENTEDGE);
    CTestPupil record;
    const auto link = Ref(MDU_STUDENT, 0, QString());
    CXItem clerk;
    clerk.m_nRightRole = 1;
    clerk.m_strRightData = QStringLiteral("<r><x id=\"321\">2</x></r>");
    CFakeAppServices::Installed().user = &clerk;
    m_link.AddLinkButtons(&record, link.get());
    ASSERT_EQ(m_link.m_cmds.size(), 1u) << "query right only: choose";
    EXPECT_EQ(m_link.m_cmds[0]->m_nID, ID_LINK_SELECT);

    CXLinkCtrl full;
    SetCtrlProps(&full, 0, QStringLiteral("SysLink"), 0, WS_EX_CLIENTEDGE);
    CFakeAppServices::Installed().user = &m_user;
    full.AddLinkButtons(&record, link.get());
    ASSERT_EQ(full.m_cmds.size(), 2u);
    EXPECT_EQ(full.m_cmds[0]->m_nID, ID_EDIT_ADDNEW);

    full.SetLink(*Ref(MDU_STUDENT, 5, QStringLiteral("王")));
    CFakeAppServices::Installed().user = &clerk;
    for (const auto& c : full.m_cmds)
        c->DoUpdate(&full);
    EXPECT_FALSE(full.m_cmds[0]->m_bEnabled) << "no add right";
    EXPECT_TRUE(full.m_cmds[1]->m_bEnabled);

    CXLinkCtrl plain; // no client edge: no buttons
    plain.AddLinkButtons(&record, link.get());
    EXPECT_TRUE(plain.m_cmds.empty());
}

TEST_F(LinkList, CommandsThroughThePickers)
{
    m_link.SetLink(*Ref(MDU_STUDENT, 5, QStringLiteral("李雷")));
    m_actions.answer = false;
    for (int id : {ID_EDIT_ADDNEW, ID_LINK_SELECT, ID_LINK_SELECTMANY})
        m_link.OnCommand(id);
    EXPECT_EQ(m_link.text(), QStringLiteral("<a href=\"xl:321:5\">李雷</a>")) << "cancelled pickers keep the text";
    EXPECT_EQ(m_actions.startedAt, 5);
    EXPECT_EQ(m_actions.startedWith, 1);

    m_actions.answer = true;
    m_link.OnCommand(ID_LINK_SELECTMANY);
    EXPECT_EQ(m_link.text(), QStringLiteral("<a href=\"xl:321:9\">韩梅梅</a> <a href=\"xl:321:5\">李雷</a>"));
    m_link.OnCommand(ID_LINK_SELECT);
    EXPECT_EQ(m_link.text(), QStringLiteral("<a href=\"xl:321:9\">韩梅梅</a>"));
    m_link.OnCommand(ID_EDIT_ADDNEW);
    EXPECT_EQ(m_link.text(), QStringLiteral("<a href=\"xl:321:77\">新学员</a>"));

    CXLinkCtrl unlinked;
    m_actions.startedAt = -1;
    unlinked.OnCommand(ID_LINK_SELECT);
    EXPECT_EQ(m_actions.startedAt, -1) << "no module, nothing happens";
}

TEST_F(LinkList, CueTextShowsWhileEmpty)
{
    CXLinkCtrl link(QStringLiteral("请选择学员"));
    SetCtrlProps(&link, MDU_STUDENT, QStringLiteral("SysLink"), 0, WS_EX_CLIENTEDGE);
    EXPECT_EQ(link.m_strCue, QStringLiteral("请选择学员"));
    QPalette palette = link.palette();
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0, 128, 0));
    link.setPalette(palette);
    link.AddCmd(ID_LINK_SELECT);
    link.resize(200, 30);
    auto greenPixels = [&link] {
        const QImage image = link.grab().toImage();
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixelColor(x, y) == QColor(0, 128, 0);
        return n;
    };
    EXPECT_EQ(greenPixels(), 0) << "the template text is the control's text at first";
    link.setText(QString());
    EXPECT_GT(greenPixels(), 0);
    link.SetLink(*Ref(MDU_STUDENT, 5, QStringLiteral("王")));
    EXPECT_EQ(greenPixels(), 0);
}

// A boxed link shows its record whether it can be changed or not: a saved timetable's
// course is read-only, and its box must still name the course.
TEST_F(LinkList, BoxedLinkShowsItsRecordEditableAndReadOnly)
{
    const QColor linkColour(0, 0, 200);
    for (const bool readOnly : {false, true}) {
        QWidget dialog; // a read-only box takes its dialog's colour
        auto& link = *new CXLinkCtrl(&dialog);
        SetCtrlProps(&link, MDU_STUDENT, QStringLiteral("SysLink"), 0, WS_EX_CLIENTEDGE);
        QPalette palette = link.palette();
        palette.setColor(QPalette::Link, linkColour);
        link.setPalette(palette);
        link.AddCmd(ID_LINK_SELECT);
        link.resize(200, 30);
        link.SetLink(*Ref(MDU_STUDENT, 5, QStringLiteral("王小明")));
        SetWndReadOnly(&link, readOnly);
        const QImage image = link.grab().toImage();
        int inked = 0; // pixels of the link's colour, give or take the antialiasing
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                inked += c.blue() > 150 && c.red() < 100 && c.green() < 100;
            }
        EXPECT_GT(inked, 10) << (readOnly ? "read-only" : "editable");
    }
}

} // namespace
