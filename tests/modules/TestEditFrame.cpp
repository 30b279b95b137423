#include "CDlgEdit.h"
#include "CHtmlCtrl.h"
#include "CXListCtrl.h"
#include "CommandIds.h"
#include "CDlgEditRelate.h"
#include "CDlgEditViewItems.h"
#include "CDialogPickers.h"
#include "EditFrame.h"
#include "ModuleHooks.h"
#include "ProgramSeams.h"
#include "XRecordPickers.h"
#include "XMainWindow.h"
#include "Resources.h"
#include "FakeModuleHost.h"
#include "RecordDbFixture.h"
#include "RecordWriter.h"
#include "XEditServices.h"
#include "XUi.h"
#include "XDrawing.h"
#include "XWinStyles.h"

#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTabBar>

namespace {

enum : int { IDC_COURSE_NAME = 1001, IDC_COURSE_PRICE = 1002, IDC_OTHER_NOTE = 1003 };

// A course whose name is required: an empty name stops the save at the name's control.
class CFrameCourse : public CTestCourse
{
public:
    CFrameCourse() { CFrameCourse::Reset(); }
    CXItem* CreateNew() const override { return new CFrameCourse; }
    int Validate(const CXItem* user, bool bCheckDuplicates) override
    {
        m_status.clear();
        CTestCourse::Validate(user, bCheckDuplicates);
        if (m_strName.isEmpty())
            AddStatusText(ST_STOP, &m_strName, QStringLiteral("请输入名称！"));
        return GetStatusLevel();
    }
};

const XDlgTemplate& CourseTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{9101,
                                QStringLiteral("课程"),
                                WS_CHILD | DS_LOCALEDIT,
                                {{-1, K::Static, QStringLiteral("名称："), WS_GROUP, 0, 0},
                                 {IDC_COURSE_NAME, K::Edit, QString(), 0, 0, 1},
                                 {-1, K::Static, QStringLiteral("单价："), WS_GROUP, 1, 0},
                                 {IDC_COURSE_PRICE, K::Edit, QString(), 0, 1, 1}},
                                {}};
    return t;
}

const XDlgTemplate& NoteTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{
        9102,
        QStringLiteral("备注"),
        WS_CHILD | DS_LOCALEDIT,
        {{-1, K::Static, QStringLiteral("备注："), WS_GROUP, 0, 0}, {IDC_OTHER_NOTE, K::Edit, QString(), 0, 0, 1}},
        {}};
    return t;
}

// The module's own page: edits its own copy of the record.
class CDlgCoursePage : public CXDialogEx
{
public:
    explicit CDlgCoursePage(const CXItem* from) : CXDialogEx(false, &CourseTemplate())
    {
        if (from)
            from->CopyTo(&m_course);
    }
    CXItem* GetItem() override { return &m_course; }
    void DoDataExchange(XDataExchange& dx) override
    {
        BindText(dx, IDC_COURSE_NAME, &m_course, &m_course.m_strName);
        BindDouble(dx, IDC_COURSE_PRICE, &m_course, &m_course.m_fPrice);
    }
    CFrameCourse m_course;
};

// A second page binding the frame's record (the base's GetItem gives page 0's record).
class CDlgNotePage : public CXDialogEx
{
public:
    CDlgNotePage() : CXDialogEx(false, &NoteTemplate()) {}
    void DoDataExchange(XDataExchange& dx) override
    {
        auto* c = static_cast<CTestCourse*>(GetItem());
        if (c)
            BindText(dx, IDC_OTHER_NOTE, c, &c->m_strTeacherNote);
    }
};

class EditFrame : public RecordDb
{
protected:
    void SetUp() override
    {
        RecordDb::SetUp();
        CFakeAppServices::Installed().user = &m_user;
        m_previousHost = SetModuleHost(&m_host);
        m_listItems = std::make_unique<CXArray>(nullptr, true);
        m_list = std::make_unique<CXListCtrl>();
        m_list->SetItems(m_listItems.get(), CTestCourse::StaticHeads(), 2, 0);
    }
    void TearDown() override
    {
        SetModuleHost(m_previousHost);
        CFakeAppServices::Installed().user = nullptr;
        m_list.reset();
        RecordDb::TearDown();
    }

    // A frame over the course module with the course page (and the note page when asked).
    std::unique_ptr<CDlgEdit> Open(bool bNew, const CXItem* record, bool withNotes = false)
    {
        auto frame = std::make_unique<CDlgEdit>(bNew, MDU_COURSE);
        frame->m_pages.push_back(new CDlgCoursePage(record));
        if (withNotes)
            frame->m_pages.push_back(new CDlgNotePage);
        frame->Create();
        frame->show();
        return frame;
    }
    static QLineEdit* Edit(CDlgEdit& frame, int page, int id)
    {
        return qobject_cast<QLineEdit*>(frame.m_pages[static_cast<std::size_t>(page)]->GetDlgItem(id));
    }
    static void Click(CDlgEdit& frame, int id) { qobject_cast<QPushButton*>(frame.GetDlgItem(id))->click(); }

    XUiTestHooks m_ui;
    CFakeModuleHost m_host;
    XModuleHost* m_previousHost = nullptr;
    std::unique_ptr<CXArray> m_listItems;
    std::unique_ptr<CXListCtrl> m_list;
};

TEST_F(EditFrame, NewRecordIsRefusedAtItsStopThenSavedOnceAndListedOnce)
{
    m_host.list = m_list.get();
    auto frame = Open(true, nullptr);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("新建") + LoadCommandText(MDU_COURSE));
    EXPECT_FALSE(frame->GetDlgItem(ID_VIEW_DETAIL)->isEnabled()); // nothing to show yet
    EXPECT_TRUE(frame->NeedsSave());

    Click(*frame, IDOK);
    ASSERT_EQ(m_ui.Calls(QStringLiteral("Balloon")).size(), 1u);
    EXPECT_EQ(m_ui.Calls(QStringLiteral("Balloon"))[0].text, QStringLiteral("请输入名称！"));
    EXPECT_EQ(m_ui.Calls(QStringLiteral("Balloon"))[0].widget, Edit(*frame, 0, IDC_COURSE_NAME));
    EXPECT_EQ(frame->result(), 0);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM TB_TEST_COURSE")), 0);

    Edit(*frame, 0, IDC_COURSE_NAME)->setText(QStringLiteral("钢琴"));
    Edit(*frame, 0, IDC_COURSE_PRICE)->setText(QStringLiteral("180"));
    Click(*frame, IDOK);
    EXPECT_EQ(frame->result(), IDOK);
    EXPECT_EQ(QueryText(QStringLiteral("SELECT RecordName||'|'||Price FROM TB_TEST_COURSE")),
              QStringLiteral("钢琴|180.0"));
    ASSERT_EQ(m_list->GetItemCount(), 1);
    EXPECT_EQ(m_list->GetItemData(0)->m_strName, QStringLiteral("钢琴"));
    EXPECT_TRUE(m_list->IsItemSelected(0));

    // a second save of the same frame edits the saved record: no second row, its change journaled
    EXPECT_FALSE(frame->NeedsSave());
    Edit(*frame, 0, IDC_COURSE_PRICE)->setText(QStringLiteral("200"));
    ASSERT_TRUE(frame->SaveAndRefresh());
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM TB_TEST_COURSE")), 1);
    EXPECT_EQ(m_list->GetItemCount(), 1);
    EXPECT_DOUBLE_EQ(static_cast<CTestCourse*>(m_list->GetItemData(0))->m_fPrice, 200);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=%1").arg(OPER_MDF)), 1);
}

TEST_F(EditFrame, SavedRecordRefreshesOnlyTheRowShowingIt)
{
    CFrameCourse a, b;
    a.m_strName = QStringLiteral("钢琴");
    b.m_strName = QStringLiteral("声乐");
    ASSERT_TRUE(SaveItem(nullptr, &a, nullptr, m_user));
    ASSERT_TRUE(SaveItem(nullptr, &b, nullptr, m_user));
    for (CXItem* r : {static_cast<CXItem*>(&a), static_cast<CXItem*>(&b)}) {
        CXItem* copy = r->CreateNew();
        r->CopyTo(copy);
        m_list->AddItem(copy, 0);
    }
    m_list->SelectOnly(1); // the other record's row is the selected one
    m_host.list = m_list.get();

    auto frame = Open(false, &a);
    EXPECT_TRUE(frame->GetDlgItem(ID_VIEW_DETAIL)->isEnabled());
    EXPECT_FALSE(frame->NeedsSave());
    Edit(*frame, 0, IDC_COURSE_NAME)->setText(QStringLiteral("钢琴启蒙"));
    frame->m_pages[0]->UpdateData(true);
    EXPECT_TRUE(frame->NeedsSave());
    Click(*frame, IDOK);
    EXPECT_EQ(frame->result(), IDOK);
    QStringList names;
    for (int i = 0; i < m_list->GetItemCount(); ++i)
        names << m_list->GetItemData(i)->m_strName;
    EXPECT_EQ(names.join(u'|'), QStringLiteral("钢琴启蒙|声乐"));
}

// Rows can show records not stored yet (classes generated from a timetable have no ID): the
// one opened takes its stored values and ID when saved; the others stay as they were.
TEST_F(EditFrame, SavingARecordShownBeforeItWasStoredRefreshesItsOwnRow)
{
    for (const QString& name : {QStringLiteral("钢琴"), QStringLiteral("声乐"), QStringLiteral("古筝")}) {
        auto* row = new CFrameCourse;
        row->m_strName = name;
        m_list->AddItem(row, 0);
    }
    m_host.list = m_list.get();
    CFrameCourse opened;
    m_list->GetItemData(1)->CopyTo(&opened);

    auto frame = Open(false, &opened);
    Edit(*frame, 0, IDC_COURSE_PRICE)->setText(QStringLiteral("150"));
    Click(*frame, IDOK);
    ASSERT_EQ(frame->result(), IDOK);
    const int stored = Count(QStringLiteral("SELECT ID FROM TB_TEST_COURSE WHERE RecordName='声乐'"));
    ASSERT_GT(stored, 0);
    QStringList rows;
    for (int i = 0; i < m_list->GetItemCount(); ++i) {
        const auto* row = static_cast<CTestCourse*>(m_list->GetItemData(i));
        rows << QStringLiteral("%1:%2:%3").arg(row->m_strName).arg(row->m_nID).arg(row->m_fPrice);
    }
    EXPECT_EQ(rows.join(u'|'), QStringLiteral("钢琴:0:0|声乐:%1:150|古筝:0:0").arg(stored));
}

TEST_F(EditFrame, WithoutAnOpenWindowTheSavedRecordIsShownByItself)
{
    auto frame = Open(true, nullptr);
    Edit(*frame, 0, IDC_COURSE_NAME)->setText(QStringLiteral("钢琴"));
    ASSERT_TRUE(frame->SaveAndRefresh());
    EXPECT_EQ(m_course.m_query.GetIdList(QKEY_IDS), QString::number(frame->GetItem()->m_nID));
    EXPECT_EQ(m_host.opened, std::vector<int>{MDU_COURSE});
}

TEST_F(EditFrame, PagesShareOneTabRowAndAStopSelectsItsPage)
{
    auto one = Open(true, nullptr);
    EXPECT_TRUE(one->m_tab->isHidden());

    auto frame = Open(true, nullptr, true);
    ASSERT_EQ(frame->m_tab->count(), 2);
    EXPECT_EQ(frame->m_tab->tabText(0), QStringLiteral("课程 "));
    EXPECT_EQ(frame->m_tab->tabText(1), QStringLiteral("备注 "));
    EXPECT_FALSE(frame->m_tab->isHidden());

    // the second page writes into page 0's record
    frame->m_tab->setCurrentIndex(1);
    EXPECT_TRUE(frame->m_pages[0]->isHidden());
    Edit(*frame, 1, IDC_OTHER_NOTE)->setText(QStringLiteral("周末班"));
    Click(*frame, IDOK); // no name: back to the first tab with the balloon
    EXPECT_EQ(frame->m_tab->currentIndex(), 0);
    EXPECT_FALSE(frame->m_pages[0]->isHidden());
    EXPECT_EQ(static_cast<CTestCourse*>(frame->GetItem())->m_strTeacherNote, QStringLiteral("周末班"));
}

TEST_F(EditFrame, NoPageMeansNoFrame)
{
    CDlgEdit frame(true, MDU_COURSE);
    m_ui.onModal = [](QDialog* d) { return d->result(); };
    EXPECT_EQ(frame.DoModal(), IDCANCEL);
}

TEST_F(EditFrame, IssuedRecordsOpenReadOnlyAndPrintNeedsATemplate)
{
    m_course.m_nCaps |= RIGHT_PRT | RIGHT_MSG;
    CFrameCourse a;
    a.m_strName = QStringLiteral("钢琴");
    ASSERT_TRUE(SaveItem(nullptr, &a, nullptr, m_user));
    auto frame = Open(false, &a);
    EXPECT_TRUE(IsWndReadOnly(frame.get()));
    EXPECT_TRUE(IsWndReadOnly(frame->m_pages[0]));
    for (int id : {IDC_EDIT_REEDIT, IDC_PROOF_PREVIEW, IDC_PROOF_PRINT, ID_SEND_WXMSG}) {
        SCOPED_TRACE(id);
        EXPECT_FALSE(frame->GetDlgItem(id)->isHidden());
        // no templates, no token, not over the main window: nothing to do yet
        EXPECT_FALSE(frame->GetDlgItem(id)->isEnabled());
    }
    frame->OnPreview();
    ASSERT_EQ(m_ui.Calls(QStringLiteral("MessageBox")).size(), 1u);
    EXPECT_EQ(m_ui.Calls(QStringLiteral("MessageBox"))[0].text, QStringLiteral("无可用的打印模板！"));

    m_ui.Clear();
    frame->OnUnlock();
    ASSERT_EQ(m_ui.Calls(QStringLiteral("MessageBox")).size(), 1u);
    EXPECT_TRUE(m_ui.Calls(QStringLiteral("MessageBox"))[0].text.startsWith(QStringLiteral("重新编辑后可能会与原")));
    EXPECT_FALSE(IsWndReadOnly(frame.get()));
}

TEST_F(EditFrame, ModuleWithoutPrintRightShowsOnlyTheNoticeButton)
{
    m_course.m_nCaps = (m_course.m_nCaps & ~RIGHT_PRT) | RIGHT_MSG;
    auto frame = Open(true, nullptr);
    EXPECT_TRUE(frame->GetDlgItem(IDC_EDIT_REEDIT)->isHidden());
    EXPECT_FALSE(frame->GetDlgItem(ID_SEND_WXMSG)->isHidden());
    EXPECT_FALSE(IsWndReadOnly(frame.get()));
}

TEST_F(EditFrame, InformationPaneWidensTheFrameByItsWidth)
{
    EXPECT_EQ(CDlgEdit::PaneWidth(96), 350);
    EXPECT_EQ(CDlgEdit::PaneWidth(144), 525);
    CFrameCourse a;
    a.m_strName = QStringLiteral("钢琴");
    ASSERT_TRUE(SaveItem(nullptr, &a, nullptr, m_user));
    auto frame = Open(false, &a);
    QCoreApplication::processEvents();
    const int narrow = frame->width();
    const QRect page = frame->m_pages[0]->geometry();
    const QRect ok = frame->GetDlgItem(IDOK)->geometry();
    frame->OnViewDetail();
    EXPECT_EQ(frame->width(), narrow + CDlgEdit::PaneWidth(ScreenDpi()));
    EXPECT_FALSE(frame->m_html->isHidden());
    EXPECT_EQ(frame->m_html->geometry().left(), narrow);
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->m_pages[0]->geometry(), page); // pages and buttons stay as they were
    EXPECT_EQ(frame->GetDlgItem(IDOK)->geometry(), ok);
    frame->OnViewDetail();
    EXPECT_EQ(frame->width(), narrow);
    EXPECT_TRUE(frame->m_html->isHidden());
}

// A course whose price field belongs to the lesson-package relation: its packages are the
// ones whose name holds the course's name.
class CRelCourse : public CFrameCourse
{
public:
    CRelCourse() { CRelCourse::Reset(); }
    static CHeads* StaticHeads()
    {
        return BuildHeadsOnce<CRelCourse>([](CHeads& heads) {
            heads.m_strItemType = QStringLiteral("课程");
            heads.m_strTable = QStringLiteral("TB_TEST_COURSE");
            heads.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN,
                                    XOFFSET(CRelCourse, m_nID), QString(), QString(), 0, 0, 0, QString());
            heads.AddColumnHead({}, QStringLiteral("名称"), 138, QStringLiteral("RecordName"), XSW,
                                XOFFSET(CRelCourse, m_strName), QString(), QString(), 512, 521, 0, QString());
            heads.AddColumnHead(ID_REL_CHARGE, QStringLiteral("单价"), 8, QStringLiteral("Price"), XNU,
                                XOFFSET(CRelCourse, m_fPrice), QString(), QString(), 0, 521, 0, QString());
        });
    }
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CRelCourse; }
};

class CRelCourseModule : public CModuleT<CRelCourse>
{
public:
    int MakeRelateQuery(const CXArray& items, int command, CXMap& query, const CXItem& user) const override
    {
        if (command != ID_REL_CHARGE)
            return CModule::MakeRelateQuery(items, command, query, user);
        query.SetText(ID_FIND_WHAT, items.GetAt(0)->m_strName);
        return 1;
    }
};

class RelatedRecords : public EditFrame
{
protected:
    void SetUp() override
    {
        EditFrame::SetUp();
        SetEditPageMaker(MDU_COURSE, [](bool, const CXItem* item) -> std::unique_ptr<CXDialogEx> {
            return std::make_unique<CDlgCoursePage>(item);
        });
        InstallModuleLayerSeams();
    }
    void TearDown() override
    {
        SetEditPageMaker(MDU_COURSE, {});
        EditFrame::TearDown();
    }
};

TEST_F(RelatedRecords, SavedRecordListsItsRelatedRecordsWhenTheirTabIsFirstShown)
{
    CFrameCourse saved;
    saved.m_strName = QStringLiteral("钢琴");
    ASSERT_TRUE(SaveItem(nullptr, &saved, nullptr, m_user));
    CRelCourse course;
    course.m_nID = saved.m_nID;
    course.m_strName = saved.m_strName;
    for (const char16_t* name : {u"钢琴课时包", u"声乐课时包", u"钢琴进阶"}) {
        CTestCharge charge;
        charge.m_strName = QString::fromUtf16(name);
        ASSERT_TRUE(SaveItem(nullptr, &charge, nullptr, m_user));
    }
    CRelCourseModule module;
    std::unique_ptr<CDlgEdit> frame(CreateEditDialog(module, false, &course));
    ASSERT_TRUE(frame);
    ASSERT_EQ(frame->m_pages.size(), 2u);
    auto* relate = dynamic_cast<CDlgEditRelate*>(frame->m_pages[1]);
    ASSERT_TRUE(relate);
    EXPECT_EQ(relate->m_nMduID, MDU_CHARGE);
    frame->Create();
    frame->show();
    EXPECT_EQ(frame->m_tab->tabText(1), LoadCommandText(ID_REL_CHARGE) + QLatin1Char(' '));
    EXPECT_FALSE(relate->m_bRead); // not read while its tab was never selected
    EXPECT_EQ(relate->GetItem(), nullptr);

    frame->m_tab->setCurrentIndex(1);
    ASSERT_TRUE(relate->m_bRead);
    QStringList names;
    for (int i = 0; i < relate->m_list->GetItemCount(); ++i)
        names << relate->m_list->GetItemData(i)->m_strName;
    names.sort();
    EXPECT_EQ(names.join(u'|'), QStringLiteral("钢琴课时包|钢琴进阶"));

    frame->m_tab->setCurrentIndex(0);
    frame->m_tab->setCurrentIndex(1); // read once per frame
    EXPECT_EQ(relate->m_items.GetSize(), 2);
}

TEST_F(RelatedRecords, SeveralRecordsOpenAsOneReadOnlyPageInOrder)
{
    CXArray items(nullptr, true);
    for (const char16_t* name : {u"钢琴", u"声乐"}) {
        auto* c = new CTestCourse;
        c->m_strName = QString::fromUtf16(name);
        items.Add(c);
    }
    QString xml;
    bool okShown = true, readOnly = false;
    QString cancelText;
    m_ui.onModal = [&](QDialog* d) {
        auto* frame = static_cast<CDlgEdit*>(d);
        auto* page = dynamic_cast<CDlgEditViewItems*>(frame->m_pages.at(0));
        xml = page ? page->m_strXml : QString();
        okShown = !frame->GetDlgItem(IDOK)->isHidden();
        readOnly = IsWndReadOnly(frame);
        cancelText = qobject_cast<QPushButton*>(frame->GetDlgItem(IDCANCEL))->text();
        EXPECT_FALSE(frame->Validate()); // no record: OK could never close it
        return IDCANCEL;
    };
    ASSERT_TRUE(CXListCtrl::s_openItems);
    EXPECT_EQ(CXListCtrl::s_openItems(&m_course, items, false), IDCANCEL);
    EXPECT_FALSE(okShown);
    EXPECT_TRUE(readOnly);
    EXPECT_EQ(cancelText, QStringLiteral("关闭"));
    const qsizetype first = xml.indexOf(QStringLiteral("钢琴")), second = xml.indexOf(QStringLiteral("声乐"));
    EXPECT_EQ(xml.count(QStringLiteral("<item")), 2);
    EXPECT_TRUE(first >= 0 && second > first) << xml.toStdString();
}

TEST_F(RelatedRecords, OneRecordOpensInItsModulesFrameAndALinkOpensItReadOnly)
{
    CFrameCourse course;
    course.m_strName = QStringLiteral("钢琴");
    ASSERT_TRUE(SaveItem(nullptr, &course, nullptr, m_user));
    bool readOnly = false;
    int pages = 0;
    m_ui.onModal = [&](QDialog* d) {
        auto* frame = static_cast<CDlgEdit*>(d);
        readOnly = IsWndReadOnly(frame);
        pages = static_cast<int>(frame->m_pages.size());
        return IDCANCEL;
    };
    CXBase ref;
    ref.m_nMduID = MDU_COURSE;
    ref.m_nID = course.m_nID;
    EXPECT_EQ(OpenItemRef(ref), IDCANCEL);
    EXPECT_TRUE(readOnly);
    EXPECT_EQ(pages, 1);
    ref.m_nID = 0;
    EXPECT_EQ(OpenItemRef(ref), 0);
}

// A record page with nothing of its own: the pickers decide what happens before it shows.
template <class Record> class CDlgBarePage : public CXDialogEx
{
public:
    CDlgBarePage() : CXDialogEx(false, &NoteTemplate()) {}
    CXItem* GetItem() override { return &m_record; }
    Record m_record;
};
using CDlgReceiptPage = CDlgBarePage<CTestReceipt>;

class CScriptedPickers : public XRecordPickers
{
public:
    bool IsAvailable() const override { return true; }
    int ChooseOne(CModule& module, const CXMap&, int, CXBase& chosen) override
    {
        asked.push_back(module.GetMduID());
        chosen.m_nMduID = module.GetMduID();
        chosen.m_nID = 12;
        chosen.m_strName = QStringLiteral("李雷");
        return answer;
    }
    int ChooseMany(CModule& module, const CXMap&, const std::set<int>&, CXArray& chosen) override
    {
        asked.push_back(-module.GetMduID());
        for (int id : {5, 3}) {
            auto* line = new CTestCourseLine;
            line->m_nID = id;
            line->m_strName = QStringLiteral("课程%1").arg(id);
            chosen.AddAdopted(line);
        }
        return manyAnswer;
    }
    int answer = IDOK;
    int manyAnswer = IDOK;
    std::vector<int> asked; // one-record pickers by module id, several-record ones negated
};

TEST_F(RelatedRecords, NewRecordFirstPicksItsLinksAndCancellingShowsNoFrame)
{
    SetEditPageMaker(MDU_RECEIPT, [](bool, const CXItem*) -> std::unique_ptr<CXDialogEx> {
        return std::make_unique<CDlgReceiptPage>();
    });
    CScriptedPickers pickers;
    XRecordPickers* previous = SetRecordPickers(&pickers);

    pickers.answer = IDCANCEL;
    EXPECT_EQ(CreateEditDialog(m_receipt, true, nullptr).get(), nullptr);
    EXPECT_EQ(pickers.asked, std::vector<int>{MDU_STUDENT});

    pickers.answer = IDOK;
    std::unique_ptr<CDlgEdit> frame(CreateEditDialog(m_receipt, true, nullptr));
    ASSERT_TRUE(frame);
    const auto* receipt = static_cast<const CTestReceipt*>(frame->m_pages[0]->GetItem());
    EXPECT_EQ(receipt->m_student.m_nID, 12);
    EXPECT_EQ(receipt->m_student.m_strName, QStringLiteral("李雷"));

    // without pickers the record simply shows
    SetRecordPickers(nullptr);
    std::unique_ptr<CDlgEdit> plain(CreateEditDialog(m_receipt, true, nullptr));
    EXPECT_TRUE(plain);
    SetRecordPickers(previous);
    SetEditPageMaker(MDU_RECEIPT, {});
}

// A lesson package whose course lines are entered on the page: a new one starts with picked courses.
class CPackage : public CXItemT<MDU_CHARGE>
{
public:
    static CHeads* StaticHeads()
    {
        return BuildHeadsOnce<CPackage>([](CHeads& heads) {
            heads.m_strTable = QStringLiteral("TB_TEST_CHARGE");
            heads.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN,
                                    XOFFSET(CPackage, m_nID), QString(), QString(), 0, 0, 0, QString());
            heads.AddColumnHead({}, QStringLiteral("课程明细"), 8, QString(), XAR, XOFFSET(CPackage, m_lines),
                                QString(), QString(), 0, 521, 0, QString());
            heads.AddColumnHead({}, QStringLiteral("同类"), 8, QString(), XAR, XOFFSET(CPackage, m_related), QString(),
                                QString(), 0, 521, 0, QString());
        });
    }
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CPackage; }
    CXArrayT<CTestCourseLine> m_lines{this};
    CXArrayT<CTestCharge> m_related{this}; // lines of its own module: never picked
};

TEST_F(RelatedRecords, NewRecordStartsItsEmptyChildListWithThePickedRecords)
{
    SetEditPageMaker(MDU_CHARGE, [](bool, const CXItem*) -> std::unique_ptr<CXDialogEx> {
        return std::make_unique<CDlgBarePage<CPackage>>();
    });
    CModuleT<CPackage> packages;
    CScriptedPickers pickers;
    XRecordPickers* previous = SetRecordPickers(&pickers);

    pickers.manyAnswer = IDCANCEL;
    EXPECT_EQ(CreateEditDialog(packages, true, nullptr).get(), nullptr);
    EXPECT_EQ(pickers.asked, std::vector<int>{-MDU_COURSE});

    pickers.manyAnswer = IDOK;
    std::unique_ptr<CDlgEdit> frame(CreateEditDialog(packages, true, nullptr));
    ASSERT_TRUE(frame);
    const auto* charge = static_cast<const CPackage*>(frame->m_pages[0]->GetItem());
    EXPECT_EQ(charge->m_related.GetSize(), 0);
    ASSERT_EQ(charge->m_lines.GetSize(), 2);
    EXPECT_EQ(charge->m_lines[0]->m_nID, 5);
    EXPECT_EQ(charge->m_lines[1]->m_strName, QStringLiteral("课程3"));
    EXPECT_EQ(charge->m_lines[1]->m_pArray, &charge->m_lines);

    SetRecordPickers(previous);
    SetEditPageMaker(MDU_CHARGE, {});
}

// Printing as the printing part will offer it: one template, a job that always starts.
class CFakePrinting : public XEditServices
{
public:
    void LoadTemplates(int, CXArray& templs) override
    {
        auto* t = new CTestCourse;
        t->m_strName = QStringLiteral("收据模板");
        templs.Add(t);
    }
    int ChooseTemplate(QWidget*, const CXArray& templs, CXItem*& chosen) override
    {
        chosen = templs.GetAt(0);
        return IDOK;
    }
    bool StartPrint(QWidget*, CXItem*, CXItem* item, const CXItem*, bool preview) override
    {
        printed << item->m_strName + (preview ? QStringLiteral("(预览)") : QString());
        return true;
    }
    QString GetWxAccessToken() override { return QStringLiteral("token"); }
    QStringList printed;
};

TEST_F(EditFrame, PrintingSavesANewRecordFirstAndConfirmsASingleTemplate)
{
    m_course.m_nCaps |= RIGHT_PRT | RIGHT_MSG;
    m_user.m_nRightRole = 2;
    CFakePrinting printing;
    XEditServices* previous = SetEditServices(&printing);
    QWidget mainWindow;
    QObject* previousMain = XSetMainWindow(&mainWindow);
    m_host.list = m_list.get();

    auto frame = std::make_unique<CDlgEdit>(true, MDU_COURSE, &mainWindow);
    frame->m_pages.push_back(new CDlgCoursePage(nullptr));
    frame->Create();
    frame->show();
    EXPECT_TRUE(frame->GetDlgItem(IDC_PROOF_PRINT)->isEnabled());
    EXPECT_TRUE(frame->GetDlgItem(IDC_PROOF_PREVIEW)->isEnabled());
    EXPECT_FALSE(frame->GetDlgItem(IDC_EDIT_REEDIT)->isEnabled()); // not read-only

    Edit(*frame, 0, IDC_COURSE_NAME)->setText(QStringLiteral("钢琴"));
    frame->OnPrintCmd();
    const auto boxes = m_ui.Calls(QStringLiteral("MessageBox"));
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_TRUE(boxes[0].text.endsWith(QStringLiteral("前将保存当前") + frame->GetItem()->GetModuleName() +
                                       QStringLiteral("！")));
    EXPECT_TRUE(boxes[1].text.startsWith(QStringLiteral("确定要打印当前")));
    EXPECT_EQ(boxes[2].text, QStringLiteral("打印任务已发送，请检查打印机输出！"));
    EXPECT_EQ(printing.printed, QStringList{QStringLiteral("钢琴")});
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM TB_TEST_COURSE")), 1);
    EXPECT_EQ(m_list->GetItemCount(), 1);

    // saved and unchanged: printing again asks no save and adds no row
    m_ui.Clear();
    m_ui.answer = IDCANCEL; // declines the single-template question
    frame->OnPrintCmd();
    ASSERT_EQ(m_ui.Calls(QStringLiteral("MessageBox")).size(), 1u);
    EXPECT_EQ(printing.printed.size(), 1);
    EXPECT_EQ(m_list->GetItemCount(), 1);

    XSetMainWindow(previousMain);
    SetEditServices(previous);
}

} // namespace
