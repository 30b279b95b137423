#include "CXRibbonBar.h"

#include "CDlgRibbonQAT.h"
#include "CModule.h"
#include "CXListCtrl.h"
#include "CommandIds.h"
#include "LayoutKeys.h"
#include "RecordConsts.h"
#include "RecordLookups.h"
#include "Resources.h"
#include "Settings.h"
#include "XAppServices.h"
#include "XCommandActions.h"
#include "XDrawing.h"
#include "XErrorReporter.h"
#include "XUi.h"

#include <QtGui/QAction>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QToolButton>

namespace {

const QString kQatKey = QStringLiteral("Ribbonbar.QATCommands");
const QString kCategoryKey = QStringLiteral("Ribbonbar.ActiveCategory");
const QString kQatBottomKey = QStringLiteral("Ribbonbar.QATOnBottom");
const QString kVisibleKey = QStringLiteral("Ribbonbar.ElementsVisible");

// Elements without a label of their own show their command's name.
void NameUnlabelled(std::vector<XRibbonElement>& elements)
{
    for (XRibbonElement& e : elements) {
        if (e.label.isEmpty() && e.id != 0)
            e.label = LoadCommandText(e.id);
        NameUnlabelled(e.items);
    }
}

XRibbonDef WithCommandNames(XRibbonDef def)
{
    NameUnlabelled(def.mainItems);
    for (XRibbonCategory& c : def.categories)
        for (XRibbonPanel& p : c.panels)
            NameUnlabelled(p.elements);
    return def;
}

// The context menu's check marks and its one inert entry.
class XContextMenuState : public XCmdTarget
{
public:
    explicit XContextMenuState(const std::set<int>& checked) : m_checked(checked) {}
    bool OnCmdMsg(int id, int code, XCmdUI* ui, bool probeOnly) override
    {
        if (code == XCN_UPDATE && ui && !probeOnly) {
            ui->Enable(id != IDS_CUSTOMIZE_QAT);
            if (m_checked.count(id))
                ui->SetCheck(1);
        }
        return code == XCN_UPDATE || id != IDS_CUSTOMIZE_QAT;
    }

private:
    const std::set<int>& m_checked;
};

} // namespace

CXRibbonBar::CXRibbonBar(XRibbonDef def, XCommandActions& actions, QWidget* parent)
    : XRibbonBar(
          WithCommandNames(std::move(def)), [p = &actions](int id) { return p->Action(id); },
          XRibbonMetrics::ForDpi(ScreenDpi(), RowHeight()), parent),
      m_actions(actions)
{
    if (QLineEdit* edit = FindEdit())
        edit->setObjectName(QStringLiteral("ID_FIND_WHAT")); // where the view's find reads its text
    connect(this, &XRibbonBar::contextMenuWanted, this, &CXRibbonBar::OnShowRibbonContextMenu);
    connect(this, &XRibbonBar::layoutChanged, this, &CXRibbonBar::RecalcLayout);
    RecalcLayout();
}

XRibbonDef CXRibbonBar::LoadDefinition()
{
    XRibbonDef def;
    QString error;
    if (!ParseRibbonDef(LoadResourceText(IDR_XML_RIBBON, RT_XML, 65001), def, &error))
        ReportError(QStringLiteral("读取功能区"), QStringLiteral("XML:%1").arg(IDR_XML_RIBBON), error);
    return def;
}

QLineEdit* CXRibbonBar::FindEdit() const
{
    QComboBox* combo = Combo(ID_FIND_WHAT);
    return combo ? combo->lineEdit() : nullptr;
}

QStringList CXRibbonBar::ReadFindHistory(int mduId)
{
    // grouped in the database, so only distinct texts come back; the index on (MduID, TypeID,
    // OperTime) keeps this to the module's own finds
    QStringList texts;
    QueryTextList(texts,
                  QStringLiteral("SELECT OperMemo FROM TB_OPERLOG WHERE MduID=%1 AND TypeID=%2 AND OperMemo<>'' "
                                 "GROUP BY OperMemo ORDER BY MAX(OperTime) DESC, MAX(ID) DESC LIMIT 40")
                      .arg(mduId)
                      .arg(OPER_FIND),
                  false);
    return DistinctHistory(texts, 20);
}

void CXRibbonBar::RefreshMenus(CModule* module, CXListCtrl* list)
{
    if (!module || !list)
        return;
    if (QComboBox* combo = Combo(ID_FIND_WHAT)) {
        // the typed text stays: a refresh after a find must not take away what is searched for
        const QString typed = combo->currentText();
        combo->clear();
        combo->addItems(ReadFindHistory(module->GetMduID()));
        combo->setCurrentIndex(-1);
        combo->setEditText(typed);
    }
    SetMenuItems(ID_SUBMENU_RELATE, module->CreateRelateMenu());
    SetMenuItems(ID_SUBMENU_ORDER, module->CreateHeadsMenu());
    SetMenuItems(ID_SUBMENU_QUERY, module->CreateQueryMenu());
    auto orEmpty = [](std::unique_ptr<XMenuSpec> menu) { return menu ? std::move(*menu) : XMenuSpec{}; };
    SetMenuItems(ID_SUBMENU_GROUP, orEmpty(list->CreateGroupMenu(false)));
    SetMenuItems(ID_SUBMENU_UNIT, orEmpty(list->CreateUnitMenu()));
    SetMenuItems(ID_SUBMENU_CALC, orEmpty(list->CreateCalcMenu()));
}

void CXRibbonBar::ShowFindBalloon(int nIcon, const QString& text)
{
    QLineEdit* edit = FindEdit();
    if (!edit)
        return;
    // over the middle third of the box, so the tip points into it
    const QRect r = edit->rect();
    const QRect anchor = r.adjusted(r.width() / 3 - 1, r.height() / 3 - 1, -(r.width() / 3 - 1), -(r.height() / 3 - 1));
    XUi::ShowBalloon(edit, anchor, LoadCommandText(ID_FIND_WHAT), text, nIcon);
}

void CXRibbonBar::RestoreLayout(const QString& section)
{
    m_strQatDefault = FormatQatCommands(QatCommands());
    const QString stored = ReadSetting(section, kQatKey, m_strQatDefault);
    if (stored != m_strQatDefault)
        SetQatCommands(ParseQatCommands(stored));
    SetActiveCategory(ReadLayout(section, kCategoryKey, 1));
    SetQatOnBottom(ReadLayout(section, kQatBottomKey, 0) != 0);
    const bool minimized = ReadLayout(section, kVisibleKey, 1) == 0;
    if (minimized != IsMinimized())
        SetMinimized(minimized);
}

void CXRibbonBar::SaveLayout(const QString& section)
{
    WriteLayout(section, kQatKey, FormatQatCommands(QatCommands()),
                m_strQatDefault.isEmpty() ? FormatQatCommands(Definition().qat) : m_strQatDefault);
    WriteLayout(section, kQatBottomKey, IsQatOnBottom() ? 1 : 0, 0);
    WriteLayout(section, kVisibleKey, IsMinimized() ? 0 : 1, 1);
    WriteLayout(section, kCategoryKey, ActiveCategory(), 1);
}

void CXRibbonBar::RecalcLayout()
{
    // on the action, which the button shows
    m_actions.Action(ID_RIBBON_SWITCH)
        ->setIcon(AppServices().CommandIcon(IsMinimized() ? ID_ARROW_DN : ID_ARROW_UP, 0xFFFFFF, false));
}

XMenuSpec CXRibbonBar::CreateContextMenu(int elementId, XRibbonHit hit, std::set<int>& checked) const
{
    XMenuSpec menu;
    checked.clear();
    auto textOf = [this](int id) {
        const XRibbonElement* e = Definition().Find(id);
        return e && !e->label.isEmpty() ? e->label : LoadCommandText(id, true);
    };
    if (hit == XRibbonHit::Customize || (hit == XRibbonHit::Qat && elementId != 0)) {
        menu.push_back({IDS_CUSTOMIZE_QAT, LoadCommandText(IDS_CUSTOMIZE_QAT), {}});
        const std::vector<int>& defaults = Definition().qat;
        for (int id : defaults)
            if (id != 0 && Definition().Find(id)) {
                menu.push_back({-id, textOf(id), {}});
                if (HasQatCommand(id))
                    checked.insert(-id);
            }
        bool first = true;
        for (int id : QatCommands()) {
            if (id == 0 || std::ranges::count(defaults, id))
                continue;
            if (first)
                menu.push_back({});
            first = false;
            menu.push_back({-id, textOf(id), {}});
            checked.insert(-id);
        }
        menu.push_back({});
        menu.push_back({ID_RIBBON_QAT_MORE, LoadCommandText(ID_RIBBON_QAT_MORE, true), {}});
    } else if (hit == XRibbonHit::Element && elementId != 0 && Definition().Find(elementId) &&
               !Definition().Find(elementId)->label.startsWith(u'^')) {
        const int id = HasQatCommand(elementId) ? ID_RIBBON_QAT_REMOVE : ID_RIBBON_QAT_ADD;
        menu.push_back({id, LoadCommandText(id, true), {}});
    }
    if (!menu.empty())
        menu.push_back({});
    menu.push_back({ID_RIBBON_QAT_BELOW, LoadCommandText(ID_RIBBON_QAT_BELOW, true), {}});
    if (IsQatOnBottom())
        checked.insert(ID_RIBBON_QAT_BELOW);
    menu.push_back({});
    menu.push_back({ID_RIBBON_MINIMIZE, LoadCommandText(ID_RIBBON_MINIMIZE, true), {}});
    if (IsMinimized())
        checked.insert(ID_RIBBON_MINIMIZE);
    return menu;
}

void CXRibbonBar::OnShowRibbonContextMenu(const QPoint& globalPos, int elementId, XRibbonHit hit)
{
    std::set<int> checked;
    const XMenuSpec menu = CreateContextMenu(elementId, hit, checked);
    XContextMenuState state(checked);
    OnContextCommand(XUi::TrackPopupMenu(menu, globalPos, &state), elementId);
}

void CXRibbonBar::OnContextCommand(int choice, int elementId)
{
    if (choice < 0) {
        if (HasQatCommand(-choice))
            RemoveQatCommand(-choice);
        else
            AddQatCommand(-choice);
        return;
    }
    switch (choice) {
    case ID_RIBBON_QAT_BELOW:
        SetQatOnBottom(!IsQatOnBottom());
        break;
    case ID_RIBBON_QAT_MORE:
        RunQatDialog();
        break;
    case ID_RIBBON_MINIMIZE:
        SetMinimized(!IsMinimized());
        break;
    case ID_RIBBON_QAT_ADD:
        AddQatCommand(elementId);
        break;
    case ID_RIBBON_QAT_REMOVE:
        RemoveQatCommand(elementId);
        break;
    default:
        break;
    }
}

int CXRibbonBar::RunQatDialog()
{
    CDlgRibbonQAT dlg(*this, window());
    return dlg.DoModal();
}
