#include "CDBPrjQuery.h"
#include "CModulePrjQuery.h"
#include "CDlgQuery.h"
#include "CDlgEdit.h"
#include "CDlgSelOne.h"
#include "CDialogPickers.h"
#include "EditFrame.h"
#include "ModuleHooks.h"
#include "ProgramSeams.h"
#include "XRecordPickers.h"
#include <QtWidgets/QLineEdit>
#include "CModuleCommands.h"
#include "CXComboBox.h"
#include "CXListCtrl.h"
#include "CXQueryOption.h"
#include "CommandIds.h"
#include "ModuleWindowFixture.h"
#include "QueryFormGeometry.h"
#include "XCtrlProps.h"
#include "XDrawing.h"
#include "XUi.h"

#include <QtWidgets/QAbstractButton>

inline void PrintTo(const QRect& r, std::ostream* os)
{
    *os << '(' << r.x() << ',' << r.y() << ' ' << r.width() << 'x' << r.height() << ')';
}

namespace {

QAbstractButton* Button(const CXDialogEx& d, int id) { return qobject_cast<QAbstractButton*>(d.GetDlgItem(id)); }

class QueryDialog : public ModuleWindowDb
{
protected:
    void SetUp() override
    {
        ModuleWindowDb::SetUp();
        auto add = [this](auto&&... a) { m_course.m_options.push_back(std::make_unique<CXQueryOption>(a...)); };
        add(QUERY_FIND, ID_FIND_WHAT);
        add(QUERY_DATE, QKEY_DATE_FROM, 0, QStringLiteral("开始日期≥"));
        add(QUERY_OPTION, 1201, 0, QStringLiteral("性别"), QStringLiteral("男|女"));
        add(QUERY_OPTION, 1202, 0, QStringLiteral("状态"), QStringLiteral("|停课|超期|上课"));
        add(QUERY_OPTION, 1203, 1, QStringLiteral("来源"), QStringLiteral("转入|新报"));
        add(QUERY_HIDE, 1204);
    }
    void TearDown() override
    {
        m_course.m_options.clear();
        ModuleWindowDb::TearDown();
    }

    XUiTestHooks m_ui;
};

} // namespace

TEST(QueryFormGeometry, SizesScaleWithTheScreenAndNeverShrinkBelowTheirFloor)
{
    struct Case
    {
        int dpi;
        QueryFormSizes want;
    };
    const Case cases[] = {
        // check, control, wrapped, row step, line step, button pad, date width
        {96, {26, 24, 28, 34, 30, 30, 150}},
        {120, {30, 28, 32, 40, 35, 35, 187}}, // s(6) = 7 and s(150) = 187: rounded down
        {72, {26, 24, 28, 31, 28, 28, 112}},  // the floors hold below 96 dpi
    };
    for (const Case& c : cases) {
        const QueryFormSizes z = QueryFormSizesAt(c.dpi);
        const auto fields = [](const QueryFormSizes& v) {
            return std::vector<int>{v.checkHeight, v.controlHeight, v.wrappedHeight, v.rowStep,
                                    v.lineStep,    v.buttonPad,     v.dateWidth};
        };
        EXPECT_EQ(fields(z), fields(c.want)) << c.dpi << " dpi";
    }
}

TEST(QueryFormGeometry, OptionButtonsWrapAtTheRightEdge)
{
    // At 96 dpi a button is its text plus 30 wide; lines follow 30 lower and are 28 high.
    const QueryFormSizes z = QueryFormSizesAt(96);
    struct Case
    {
        const char* name;
        std::vector<int> texts;
        std::vector<QRect> want;
    };
    const Case cases[] = {
        {"fits on one line", {20, 40}, {{100, 10, 50, 24}, {150, 10, 70, 24}}},
        {"ends exactly at the edge", {70, 70}, {{100, 10, 100, 24}, {200, 10, 100, 24}}},
        {"wraps once", {60, 60, 60}, {{100, 10, 90, 24}, {190, 10, 90, 24}, {100, 40, 90, 28}}},
        {"wider than the area first", {300, 10}, {{100, 10, 330, 24}, {100, 40, 40, 28}}},
        {"wider than the area later", {10, 300, 10}, {{100, 10, 40, 24}, {100, 40, 330, 28}, {100, 70, 40, 28}}},
        {"no choices", {}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WrapOptionButtons(c.texts, 100, 300, 10, z), c.want) << c.name;
}

TEST_F(QueryDialog, ManyChoicesWrapUnderTheFirstAndTheButtonsMoveBelowTheLastRow)
{
    m_course.m_options.push_back(std::make_unique<CXQueryOption>(
        QUERY_OPTION, 1205, 0, QStringLiteral("科目"),
        QStringLiteral("钢琴|小提琴|大提琴|长笛|单簧管|萨克斯|古筝|琵琶|二胡|声乐|舞蹈|书法|绘画|围棋")));
    CDlgQuery dlg(MDU_COURSE, CXMap());
    ASSERT_TRUE(dlg.Create());
    const QueryFormSizes z = QueryFormSizesAt(ScreenDpi());
    const QRect reset = dlg.GetDlgItem(IDC_RESET)->geometry();
    const QRect cancel = dlg.GetDlgItem(IDCANCEL)->geometry();
    const auto& rows = dlg.Rows();
    ASSERT_EQ(rows.size(), 6u);

    // Rows under the left column, each the same step lower; the date picker has its own width.
    EXPECT_EQ(rows[0].check->geometry(), QRect(reset.x(), rows[0].check->y(), reset.width(), z.checkHeight));
    EXPECT_EQ(rows[1].check->y(), rows[0].check->y() + z.rowStep);
    EXPECT_EQ(rows[1].controls[0]->geometry(),
              QRect(reset.right() + 1, rows[1].check->y(), z.dateWidth, z.controlHeight));
    EXPECT_EQ(rows[0].controls[0]->geometry().right(), cancel.right());

    const std::vector<QWidget*>& buttons = rows.back().controls;
    const QRect first = buttons.front()->geometry();
    EXPECT_EQ(first.topLeft(), QPoint(reset.right() + 1, rows.back().check->y()));
    const auto wrapped = std::find_if(buttons.begin(), buttons.end(), [&](QWidget* b) { return b->y() != first.y(); });
    ASSERT_NE(wrapped, buttons.end());
    EXPECT_EQ((*wrapped)->geometry().topLeft(), QPoint(first.x(), first.y() + z.lineStep));
    EXPECT_EQ((*wrapped)->height(), z.wrappedHeight);
    for (QWidget* b : buttons)
        EXPECT_LE(b->geometry().right(), cancel.right()) << b->property("text").toString().toStdString();

    // The template's buttons sit 15 pixels under the last line, and the dialog grew by as much.
    int bottom = 0;
    for (QWidget* w : dlg.ZOrder())
        if (w->y() < reset.y())
            bottom = std::max(bottom, w->geometry().bottom() + 1);
    EXPECT_EQ(bottom, buttons.back()->geometry().bottom() + 1);
    EXPECT_EQ(reset.y(), bottom + 15);
    EXPECT_EQ(dlg.GetDlgItem(IDOK)->y(), reset.y());
    EXPECT_EQ(dlg.height(), dlg.Content()->sizeHint().height() + bottom - rows[0].check->y() + 15);
}

TEST_F(QueryDialog, FormRowsFollowTheOptionsAndHoldOnlyWhatTheyShow)
{
    CXMap start;
    start.SetText(QKEY_IDS, QStringLiteral("5"));
    start.SetText(1204, QStringLiteral("x"));
    start.SetText(QKEY_DATE_FROM, QStringLiteral("2024-03-01"));
    start.SetText(1202, QStringLiteral("1,3"));
    CDlgQuery dlg(MDU_COURSE, start);
    ASSERT_TRUE(dlg.Create());

    ASSERT_EQ(dlg.Rows().size(), 5u); // the hidden option has no row
    // Rows come first in the control order, each check box before its controls.
    EXPECT_EQ(dlg.ZOrder().front(), dlg.Rows()[0].check);
    EXPECT_EQ(CtrlId(dlg.Rows()[0].check), 6);
    EXPECT_EQ(dlg.NextInZOrder(dlg.Rows()[0].check), dlg.GetDlgItem(ID_FIND_WHAT));
    EXPECT_EQ(dlg.NextInZOrder(dlg.Rows()[2].check), dlg.GetDlgItem(1201));
    EXPECT_EQ(dlg.ZOrder().back(), dlg.GetDlgItem(IDCANCEL));

    // The ID list and the hidden key are gone; the date reads back as its day number.
    EXPECT_EQ(dlg.m_query.ToXml(), QStringLiteral("<r><x id=\"1047\">45352</x><x id=\"1202\">1,3</x></r>"));

    // A radio pair always gives one value; check boxes with none checked give no key.
    Button(dlg, CtrlId(dlg.Rows()[2].check))->setChecked(true);
    for (QWidget* b : dlg.Rows()[3].controls)
        static_cast<QAbstractButton*>(b)->setChecked(false);
    dlg.UpdateControls();
    EXPECT_EQ(dlg.m_query.GetText(1201), QStringLiteral("0"));
    EXPECT_FALSE(dlg.m_query.Has(1202));

    // A read-only option not in the starting query can never be switched on.
    EXPECT_FALSE(dlg.Rows()[4].check->isEnabled());

    // Tab runs row by row and reaches the template's buttons last.
    QList<QWidget*> tabOrder, focusable;
    for (QWidget* w : dlg.ZOrder())
        if (w->focusPolicy() != Qt::NoFocus)
            focusable << w;
    for (QWidget* w = dlg.nextInFocusChain(); w != &dlg; w = w->nextInFocusChain())
        if (focusable.contains(w) && !tabOrder.contains(w))
            tabOrder << w;
    EXPECT_EQ(tabOrder, focusable);
}

TEST_F(QueryDialog, ReadOnlyOptionCanBeSwitchedOffButNotEdited)
{
    m_course.m_options.push_back(std::make_unique<CXQueryOption>(QUERY_FIND, 1205, 1, QStringLiteral("教师")));
    CXMap start;
    start.SetText(1203, QStringLiteral("1"));
    start.SetText(1205, QStringLiteral("李"));
    CDlgQuery dlg(MDU_COURSE, start);
    ASSERT_TRUE(dlg.Create());
    const CDlgQuery::Row& source = dlg.Rows()[4];
    ASSERT_TRUE(source.check->isEnabled());
    auto* first = static_cast<QAbstractButton*>(source.controls[0]);
    auto* second = static_cast<QAbstractButton*>(source.controls[1]);
    ASSERT_TRUE(second->isChecked());
    first->click(); // neither button of the pair takes the user's choice
    second->click();
    dlg.UpdateControls();
    EXPECT_EQ(dlg.m_query.GetText(1203), QStringLiteral("1"));

    Button(dlg, CtrlId(source.check))->click();
    EXPECT_FALSE(dlg.m_query.Has(1203));

    // The read-only find text came with the query: on OK it is logged like any find.
    Button(dlg, IDOK)->click();
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=%1 AND OperMemo='李'").arg(OPER_FIND)),
              1);
}

TEST_F(QueryDialog, LoadingAQueryResetsOptionButtonsButKeepsOtherValues)
{
    CXMap start;
    start.SetText(ID_FIND_WHAT, QStringLiteral("王"));
    start.SetText(1201, QStringLiteral("1"));
    start.SetText(1202, QStringLiteral("2"));
    CDlgQuery dlg(MDU_COURSE, start);
    ASSERT_TRUE(dlg.Create());
    EXPECT_TRUE(dlg.m_query.IsEqual(start)) << dlg.m_query.ToXml().toStdString();

    dlg.m_query = CXMap();
    dlg.m_query.SetText(1202, QStringLiteral("3"));
    dlg.LoadControls();
    EXPECT_EQ(dlg.m_query.ToXml(), QStringLiteral("<r><x id=\"1202\">3</x></r>"));
    EXPECT_EQ(static_cast<CXComboBox*>(dlg.GetDlgItem(ID_FIND_WHAT))->currentText(), QStringLiteral("王"));
    EXPECT_TRUE(Button(dlg, 1201)->isChecked()); // back to the first radio button
}

TEST_F(QueryDialog, OptionButtonsCheckEveryValueOfACommaOrBarList)
{
    // 状态: 停课 1, 超期 2, 上课 3; the marks read back as the comma list the map keeps
    const struct
    {
        const char* stored;
        const char* checked;
    } cases[] = {{"1,3", "1,3"}, {"1|3", "1,3"}, {"3|2,1", "1,2,3"}, {"2", "2"}};
    CDlgQuery dlg(MDU_COURSE, CXMap());
    ASSERT_TRUE(dlg.Create());
    for (const auto& c : cases) {
        dlg.m_query = CXMap();
        dlg.m_query.SetText(1202, QString::fromUtf8(c.stored));
        dlg.LoadControls();
        EXPECT_EQ(dlg.m_query.GetText(1202), QString::fromUtf8(c.checked)) << c.stored;
    }
}

TEST_F(QueryDialog, ResetTakesTheFirstSchemeAndDoesNothingWithoutOne)
{
    CXMap start;
    start.SetText(1201, QStringLiteral("1"));
    CDlgQuery dlg(MDU_COURSE, start);
    ASSERT_TRUE(dlg.Create());
    dlg.OnSchemeButton(IDC_RESET);
    EXPECT_TRUE(dlg.m_query.IsEqual(start));

    auto* scheme = new CDBPrjQuery;
    scheme->m_nID = 1;
    scheme->m_nParentID = MDU_COURSE;
    scheme->m_strName = QStringLiteral("在读");
    scheme->m_strRightData = QStringLiteral("<r><x id=\"1202\">2</x></r>");
    m_schemes.schemes.Add(scheme);
    InvalidateQuerySchemes();
    dlg.OnSchemeButton(IDC_RESET);
    EXPECT_EQ(dlg.m_query.ToXml(), scheme->m_strRightData);
}

TEST_F(QueryDialog, CustomQueryCommandAppliesTheFormAndLogsFindTexts)
{
    m_course.m_query.SetText(QKEY_IDS, QStringLiteral("3"));
    CModuleCommands& cmds = ModuleCommands(m_course);
    m_ui.onModal = [](QDialog* d) {
        auto* dlg = static_cast<CDlgQuery*>(d);
        static_cast<CXComboBox*>(dlg->GetDlgItem(ID_FIND_WHAT))->setCurrentText(QStringLiteral("钢琴"));
        Button(*dlg, CtrlId(dlg->Rows()[3].check))->setChecked(true);
        static_cast<QAbstractButton*>(dlg->Rows()[3].controls[2])->setChecked(true);
        Button(*dlg, IDOK)->click();
        return d->result();
    };
    ASSERT_TRUE(cmds.DispatchCommand(ID_QUERY_USER));
    // The find row is unchecked: its text is logged but not queried.
    EXPECT_EQ(m_course.m_query.ToXml(), QStringLiteral("<r><x id=\"1202\">3</x></r>"));
    EXPECT_EQ(
        Count(QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=%1 AND OperMemo='钢琴'").arg(OPER_FIND)), 1);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=%1").arg(OPER_QUERY)), 1);
}

TEST_F(QueryDialog, TypedFindTextIsQueriedAsTyped)
{
    ASSERT_TRUE(Exec(QStringLiteral("INSERT INTO TB_TEST_COURSE (RecordName) VALUES ('''XIN'' 班'),('1 班')")));
    CDlgQuery dlg(MDU_COURSE, CXMap());
    ASSERT_TRUE(dlg.Create());
    Button(dlg, CtrlId(dlg.Rows()[0].check))->setChecked(true);
    dlg.UpdateControls();
    static_cast<CXComboBox*>(dlg.GetDlgItem(ID_FIND_WHAT))->setCurrentText(QStringLiteral("'XIN'"));
    dlg.UpdateControls();
    EXPECT_EQ(dlg.m_query.GetText(ID_FIND_WHAT), QStringLiteral("'XIN'"));
    CXArrayT<CTestCourse> found;
    ASSERT_TRUE(m_course.QueryItems(found, dlg.m_query, false, false));
    ASSERT_EQ(found.GetSize(), 1);
    EXPECT_EQ(found[0]->m_strName, QString::fromUtf8("'XIN' 班"));
}

TEST_F(QueryDialog, MoreLoadsTheSchemeChosenInThePicker)
{
    CModulePrjQuery schemes;
    UnregisterModule(&m_schemes);
    RegisterModule(&schemes);
    InvalidateQuerySchemes();
    CDlgQuery dlg(MDU_COURSE, CXMap());
    ASSERT_TRUE(dlg.Create());
    m_ui.onModal = [](QDialog* d) {
        auto* picker = static_cast<CDlgSelOne*>(d);
        picker->m_list->SelectOnly(0);
        Button(*picker, IDOK)->click();
        return d->result();
    };
    ASSERT_TRUE(Exec(QStringLiteral("INSERT INTO TB_PROJECT (MduID,FitMduID,PrjName,SetupData) VALUES "
                                    "(323,%1,'上课','<r><x id=\"1202\">3</x></r>')")
                         .arg(MDU_COURSE)));
    CXDBSession session;
    session.Connect();
    ASSERT_TRUE(MarkWritableColumns(session, *CDBPrjQuery::StaticHeads()));
    dlg.OnSchemeButton(IDC_MORE);
    EXPECT_EQ(dlg.m_query.ToXml(), QStringLiteral("<r><x id=\"1202\">3</x></r>"));
    UnregisterModule(&schemes);
    RegisterModule(&m_schemes);
}

TEST_F(QueryDialog, SavedAsASchemeFoundInTheMenuTheSameDayAndApplied)
{
    CModulePrjQuery schemes;
    UnregisterModule(&m_schemes);
    RegisterModule(&schemes);
    InvalidateQuerySchemes();
    CXDBSession session;
    session.Connect();
    ASSERT_TRUE(MarkWritableColumns(session, *CDBPrjQuery::StaticHeads()));
    InstallModuleLayerSeams();

    CXMap start;
    start.SetText(1202, QStringLiteral("1,3"));
    CDlgQuery dlg(MDU_COURSE, start);
    ASSERT_TRUE(dlg.Create());
    m_ui.onModal = [](QDialog* d) {
        auto* frame = static_cast<CDlgEdit*>(d);
        qobject_cast<QLineEdit*>(frame->m_pages[0]->GetDlgItem(IDC_TITLE))->setText(QStringLiteral("停课上课"));
        Button(*frame, IDOK)->click();
        return d->result();
    };
    dlg.OnSchemeButton(IDC_SAVEAS);
    EXPECT_EQ(QueryText(QStringLiteral("SELECT PrjName||'|'||SetupData||'|'||FitMduID FROM TB_PROJECT")),
              QStringLiteral("停课上课|<r><x id=\"1202\">1,3</x></r>|%1").arg(MDU_COURSE));

    CXArray found(nullptr, true);
    m_course.GetQuerySchemes(found);
    int index = -1;
    for (int i = 0; i < found.GetSize(); ++i)
        if (found[i]->m_strName == QStringLiteral("停课上课"))
            index = i;
    ASSERT_GE(index, 0);
    ASSERT_TRUE(ModuleCommands(m_course).DispatchCommand(ID_QUERY_PRJ00 + index));
    EXPECT_TRUE(m_course.m_query.IsEqual(start));
    EXPECT_EQ(m_course.GetQueryText(m_course.m_query, true, false), QStringLiteral("停课上课"));

    SetRecordPickers(nullptr);
    SetEditPageMaker(MDU_PRJQUERY, {});
    UnregisterModule(&schemes);
    RegisterModule(&m_schemes);
}
