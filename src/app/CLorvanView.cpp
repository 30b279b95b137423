#include "CLorvanView.h"

#include "CDlgEdit.h"
#include "CHead.h"
#include "CModule.h"
#include "CModuleCommands.h"
#include "CModuleOperLog.h"
#include "CXPropBar.h"
#include "CommandIds.h"
#include "EditFrame.h"
#include "FormatString.h"
#include "OperLog.h"
#include "RecordConsts.h"
#include "RecordCopy.h"
#include "Resources.h"
#include "Settings.h"
#include "XAppServices.h"
#include "XEditServices.h"
#include "XMainWindow.h"
#include "XUi.h"

#include <QtGui/QContextMenuEvent>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QVBoxLayout>

#include <set>

XViewRoute RouteViewCommand(int id, int code, bool viewOrModuleHandles)
{
    if (id >= 0xE000 || (code != XCN_COMMAND && code != XCN_UPDATE) || viewOrModuleHandles)
        return XViewRoute::Own;
    return XViewRoute::List;
}

// clang-format off
X_BEGIN_MESSAGE_MAP(CLorvanView, XCmdTarget)
    X_ON_COMMAND(ID_EDIT_ADDNEW, OnAddNew)
    X_ON_COMMAND(ID_EDIT_ADDCPY, OnAddCopy)
    X_ON_COMMAND(ID_EDIT_REFRESH, OnRefresh)
    X_ON_COMMAND_RANGE(IDC_PROOF_PREVIEW, IDC_PROOF_PRINT, OnPrint)
    X_ON_COMMAND(ID_SEND_WXMSG, OnSendWxMsg)
    X_ON_COMMAND(ID_VIEW_DETAIL, OnViewDetail)
    X_ON_COMMAND(ID_FIND_WHAT, OnFind)
    X_ON_COMMAND(ID_EDIT_FIND, OnFind)
    X_ON_COMMAND_RANGE(ID_FIND_WHOLEWORD, ID_FIND_DIRECTION, OnFindOption)
    X_ON_UPDATE_COMMAND_UI_RANGE(ID_EDIT_ADDNEW, ID_EDIT_ADDCPY, OnUpdateCommand)
    X_ON_UPDATE_COMMAND_UI(ID_EDIT_REFRESH, OnUpdateCommand)
    X_ON_UPDATE_COMMAND_UI_RANGE(IDC_PROOF_PREVIEW, IDC_PROOF_PRINT, OnUpdateCommand)
    X_ON_UPDATE_COMMAND_UI(ID_SEND_WXMSG, OnUpdateCommand)
    X_ON_UPDATE_COMMAND_UI(ID_VIEW_DETAIL, OnUpdateCommand)
    X_ON_UPDATE_COMMAND_UI(ID_FIND_WHAT, OnUpdateCommand)
    X_ON_UPDATE_COMMAND_UI(ID_EDIT_FIND, OnUpdateCommand)
    X_ON_UPDATE_COMMAND_UI_RANGE(ID_FIND_WHOLEWORD, ID_FIND_DIRECTION, OnUpdateCommand)
    X_ON_UPDATE_COMMAND_UI_RANGE(ID_SUBMENU_ORDER, ID_SUBMENU_RELATE, OnUpdateCommand)
X_END_MESSAGE_MAP()
// clang-format on

namespace {

QString UserSection()
{
    const CXItem* user = AppServices().User();
    return user ? user->m_strName : QString();
}

// The related-records drop-down of a module that can only be queried: offered only when
// some field is grouped under a relation command other than the edit log.
bool HasRelatedFieldGroups(const CModule& module)
{
    const CHeads* heads = module.GetHeads();
    if (!heads)
        return false;
    for (int i = 0; i < heads->GetSize(); ++i) {
        bool ok = false;
        const int id = heads->GetAt(i)->m_strGroup.toInt(&ok);
        if (ok && id >= 1 && id <= 0xFFFF && id != ID_REL_EDITLOG)
            return true;
    }
    return false;
}

void AddEntry(XMenuSpec& menu, int id) { menu.push_back({id, LoadCommandText(id, true), {}}); }
void AddSeparator(XMenuSpec& menu) { menu.push_back({}); }
void AddPopup(XMenuSpec& menu, int id, XMenuSpec children)
{
    if (!children.empty())
        menu.push_back({id, LoadCommandText(id, true), std::move(children)});
}

// The find box of the main window: the line edit named after the find command.
QLineEdit* FindBox()
{
    auto* main = qobject_cast<QWidget*>(XGetMainWindow());
    return main ? main->findChild<QLineEdit*>(QStringLiteral("ID_FIND_WHAT")) : nullptr;
}

} // namespace

CLorvanView::CLorvanView(CModule& module, QWidget* parent) : QWidget(parent), m_module(module)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_list = new CXListCtrl(this, IDC_RECORD_LIST);
    m_list->AddCmd(new CXCmd(ID_EDIT_MODIFY, true, true, true));
    layout->addWidget(m_list);
    setFocusProxy(m_list);
}

CLorvanView::~CLorvanView()
{
    DropRest();
    m_list->SaveLayout();
    // the list lets go of the records before the array deletes them
    m_list->SetItems(nullptr, nullptr, m_list->m_nMode, m_list->m_nImageMode);
}

QString CLorvanView::FindKey(const char* name) const
{
    return FormatString(u"Module.%d.Find.%s", m_module.GetMduID(), QString::fromLatin1(name));
}

void CLorvanView::OnInitialUpdate(CXPropBar* propBar)
{
    m_wndPropBar = propBar;
    const QString section = UserSection();
    m_bFindWholeWord = ReadSetting(section, FindKey("WholeWord"), QStringLiteral("0")).toInt();
    m_bFindMatchCase = ReadSetting(section, FindKey("MatchCase"), QStringLiteral("0")).toInt();
    m_bFindDown = ReadSetting(section, FindKey("FindDown"), QStringLiteral("1")).toInt();
    OnUpdate();
}

void CLorvanView::OnUpdate()
{
    const bool childList = m_module.IsChildListQuery(m_module.m_query);
    const int mode = childList ? 1 : 0;
    const bool rebuild = mode != m_list->m_nMode || m_list->GetColumnCount() == 0;

    std::set<int> selected;
    for (int i : m_list->GetSelectedItems())
        selected.insert(m_list->GetItemData(i)->m_nID);

    DropRest();
    setUpdatesEnabled(false);
    // the rows go first, then the records they pointed at
    m_list->SetItems(nullptr, &m_list->m_heads, m_list->m_nMode, 0);
    m_items.RemoveAll();
    auto* paged = dynamic_cast<CModuleOperLog*>(&m_module);
    const double bound = paged ? paged->GetPageBound(m_module.m_query, s_nPageRows) : 0;
    const bool ok = bound != 0 ? paged->QueryPart(m_items, m_module.m_query, bound, true)
                               : m_module.QueryItems(m_items, m_module.m_query, false, false);
    if (!ok)
        m_items.RemoveAll();
    if (rebuild) {
        m_list->SaveLayout();
        m_list->SetItems(&m_items, m_module.GetHeads(), mode, 0);
    } else {
        m_list->SetItems(&m_items, &m_list->m_heads, mode, 0);
    }
    for (int i = 0; i < m_list->GetItemCount(); ++i)
        if (selected.count(m_list->GetItemData(i)->m_nID))
            m_list->SetItemSelected(i, true);
    setUpdatesEnabled(true);
    m_list->viewport()->update();
    if (QObject* main = XGetMainWindow())
        XPostMessage(main, WM_XSTATUSBAR, 0, 0);
    if (ok && bound != 0)
        ReadRest(bound);
}

void CLorvanView::DropRest()
{
    ++m_nReadGeneration; // a result already posted is stale now
    if (m_restReader.joinable())
        m_restReader.join();
    m_bRestShown = false;
}

void CLorvanView::ReadRest(double bound)
{
    auto rest = std::make_shared<CXArray>(nullptr, true);
    const CXMap query = m_module.m_query;
    auto* module = dynamic_cast<CModuleOperLog*>(&m_module);
    const int generation = m_nReadGeneration;
    m_restReader = std::thread([this, module, query, bound, rest, generation] {
        const bool ok = module->QueryPart(*rest, query, bound, false);
        // dropped by Qt if the view is gone (it waits for this thread before it goes)
        QMetaObject::invokeMethod(
            this, [this, rest, ok, generation] { OnRestRead(rest, ok, generation); }, Qt::QueuedConnection);
    });
}

void CLorvanView::OnRestRead(const std::shared_ptr<CXArray>& rest, bool ok, int generation)
{
    if (generation != m_nReadGeneration)
        return;
    m_bRestShown = true;
    if (!ok || rest->IsEmpty())
        return;
    std::set<int> selected;
    for (int i : m_list->GetSelectedItems())
        selected.insert(m_list->GetItemData(i)->m_nID);
    const int first = m_list->GetFirstSelected();
    const int shown = first >= 0 ? m_list->GetItemData(first)->m_nID : 0;
    std::vector<CXItem*> taken;
    taken.reserve(static_cast<std::size_t>(rest->GetSize()));
    while (!rest->IsEmpty())
        taken.push_back(rest->Detach(rest->GetSize() - 1));
    m_items.Reserve(m_items.GetSize() + static_cast<int>(taken.size()));
    for (auto it = taken.rbegin(); it != taken.rend(); ++it)
        m_items.AddAdopted(*it);
    setUpdatesEnabled(false);
    m_list->SetItems(&m_items, &m_list->m_heads, m_list->m_nMode, 0);
    for (int i = 0; i < m_list->GetItemCount(); ++i) {
        const int id = m_list->GetItemData(i)->m_nID;
        if (selected.count(id))
            m_list->SetItemSelected(i, true);
        if (shown && id == shown)
            m_list->EnsureVisible(i, false);
    }
    setUpdatesEnabled(true);
    if (QObject* main = XGetMainWindow())
        XPostMessage(main, WM_XSTATUSBAR, ID_INDICATOR_COUNT, 0);
}

bool CLorvanView::HasCommandHandler(int id, int code) const
{
    return HasOwnHandler(id, code) || ModuleCommands(m_module).HasOwnHandler(id, code);
}

bool CLorvanView::OnCmdMsg(int id, int code, XCmdUI* ui, bool probeOnly)
{
    if (RouteViewCommand(id, code, HasCommandHandler(id, code)) == XViewRoute::List)
        return m_list->OnCmdMsg(id, code, ui, probeOnly);
    if (XCmdTarget::OnCmdMsg(id, code, ui, probeOnly))
        return true;
    return ModuleCommands(m_module).OnCmdMsg(id, code, ui, probeOnly);
}

CXItem* CLorvanView::SelectedItem() const
{
    return m_list->GetSelectedCount() == 1 ? m_list->GetItemData(m_list->GetFirstSelected()) : nullptr;
}

bool CLorvanView::HasRight(int bits) const
{
    const CXItem* user = AppServices().User();
    return user && m_module.HasRight(*user, bits);
}

void CLorvanView::OnAddNew()
{
    if (const std::unique_ptr<CDlgEdit> frame = CreateEditDialog(m_module, true, nullptr))
        frame->DoModal();
}

void CLorvanView::OnAddCopy()
{
    const CXItem* source = SelectedItem();
    if (!source)
        return;
    const std::unique_ptr<CXItem> copy(source->CopyTo(nullptr));
    copy->m_pArray = nullptr;
    PrepareNewCopy(*copy);
    if (const std::unique_ptr<CDlgEdit> frame = CreateEditDialog(m_module, true, copy.get()))
        frame->DoModal();
}

void CLorvanView::OnRefresh()
{
    XWaitCursor wait;
    OnUpdate();
}

void CLorvanView::OnPrint(int id)
{
    CXItem* item = SelectedItem();
    if (!item)
        return;
    const QString caption = LoadCommandText(id);
    CXArray templs(nullptr, true);
    EditServices().LoadTemplates(item->m_nMduID, templs);
    if (templs.IsEmpty()) {
        XUi::MessageBox(this, QStringLiteral("无可用的打印模板！"), caption, MB_OK | MB_ICONWARNING);
        return;
    }
    if (id == IDC_PROOF_PRINT && templs.GetSize() == 1 &&
        XUi::MessageBox(this, FormatString(u"确定要打印当前%s吗？", item->GetModuleName()), caption,
                        MB_OKCANCEL | MB_ICONWARNING) != IDOK)
        return;
    CXItem* chosen = nullptr;
    if (EditServices().ChooseTemplate(this, templs, chosen) != IDOK || !chosen)
        return;
    EditServices().StartPrint(this, chosen, item, AppServices().User(), id == IDC_PROOF_PREVIEW);
}

void CLorvanView::OnSendWxMsg()
{
    if (CXItem* item = SelectedItem())
        EditServices().SendWxMsg(this, item);
}

void CLorvanView::OnViewDetail()
{
    if (m_wndPropBar)
        m_wndPropBar->OnToggle();
}

void CLorvanView::OnFind()
{
    QLineEdit* box = FindBox();
    const QString text = box ? box->text().trimmed() : QString();
    if (text.isEmpty()) {
        if (box)
            XUi::ShowBalloon(box, box->rect(), QString(), LoadCommandPrompt(ID_FIND_WHAT), 2);
        return;
    }
    if (!FindText(text) && box)
        XUi::ShowBalloon(box, box->rect(), QString(),
                         LoadCommandPrompt(IDS_TEXT_NOT_FOUND).replace(QStringLiteral("%1"), text), 1);
}

bool CLorvanView::FindText(const QString& text)
{
    XWaitCursor wait;
    if (!m_list->FindNext(text, m_bFindDown != 0, m_bFindWholeWord != 0, m_bFindMatchCase != 0))
        return false;
    if (const CXItem* user = AppServices().User())
        WriteOperLog(OPER_FIND, *user, m_module.GetMduID(), 0, text, QString());
    const QString section = UserSection();
    WriteSetting(section, FindKey("WholeWord"), QString::number(m_bFindWholeWord));
    WriteSetting(section, FindKey("MatchCase"), QString::number(m_bFindMatchCase));
    WriteSetting(section, FindKey("FindDown"), QString::number(m_bFindDown));
    return true;
}

void CLorvanView::OnFindOption(int id)
{
    int& option = id == ID_FIND_WHOLEWORD ? m_bFindWholeWord : id == ID_FIND_MATCHCASE ? m_bFindMatchCase : m_bFindDown;
    option = option ? 0 : 1;
}

void CLorvanView::OnUpdateCommand(XCmdUI* ui)
{
    const int sel = m_list->GetSelectedCount();
    switch (ui->m_nID) {
    case ID_EDIT_ADDNEW:
        ui->Enable(HasRight(RIGHT_ADD));
        break;
    case ID_EDIT_ADDCPY:
        ui->Enable(sel == 1 && HasRight(RIGHT_ADD));
        break;
    case IDC_PROOF_PREVIEW:
    case IDC_PROOF_PRINT:
        ui->Enable(sel == 1 && HasRight(RIGHT_PRT));
        break;
    case ID_SEND_WXMSG:
        ui->Enable(sel == 1 && HasRight(RIGHT_MSG));
        break;
    case ID_VIEW_DETAIL:
        ui->Enable(true);
        ui->SetCheck(m_wndPropBar && m_wndPropBar->isVisible() ? 1 : 0);
        break;
    case ID_FIND_WHAT:
    case ID_EDIT_FIND:
        ui->Enable(m_list->GetItemCount() > 0);
        break;
    case ID_FIND_WHOLEWORD:
        ui->Enable(true);
        ui->SetCheck(m_bFindWholeWord ? 1 : 0);
        break;
    case ID_FIND_MATCHCASE:
        ui->Enable(true);
        ui->SetCheck(m_bFindMatchCase ? 1 : 0);
        break;
    case ID_FIND_DIRECTION:
        ui->Enable(true);
        ui->SetCheck(m_bFindDown ? 0 : 1);
        break;
    case ID_SUBMENU_ORDER:
        ui->Enable(m_list->m_nMode == 0);
        break;
    case ID_SUBMENU_GROUP:
        ui->Enable(m_list->HasGroupColumns());
        break;
    case ID_SUBMENU_CALC:
        ui->Enable(m_list->IsGroupView() && m_list->HasCalcColumns());
        break;
    case ID_SUBMENU_UNIT:
        ui->Enable(m_list->HasUnitColumns());
        break;
    case ID_SUBMENU_RELATE:
        ui->Enable(sel >= 1 && (m_module.m_nCaps != RIGHT_QRY || HasRelatedFieldGroups(m_module)));
        break;
    default: // the query drop-down and the refresh
        ui->Enable(true);
        break;
    }
}

XMenuSpec CLorvanView::CreateContextMenu() const
{
    const int caps = m_module.m_nCaps;
    XMenuSpec menu;
    if (caps & RIGHT_ADD) {
        AddEntry(menu, ID_EDIT_ADDNEW);
        AddEntry(menu, ID_EDIT_ADDCPY);
    }
    if (caps & RIGHT_DEL)
        AddEntry(menu, ID_EDIT_DELETE);
    AddEntry(menu, ID_EDIT_MODIFY);
    if (caps & (RIGHT_PRT | RIGHT_MSG))
        AddSeparator(menu);
    if (caps & RIGHT_PRT) {
        AddEntry(menu, IDC_PROOF_PREVIEW);
        AddEntry(menu, IDC_PROOF_PRINT);
    }
    if (caps & RIGHT_MSG)
        AddEntry(menu, ID_SEND_WXMSG);
    AddSeparator(menu);
    AddEntry(menu, ID_EDIT_COPYSEL);
    AddEntry(menu, ID_XCTRL_XLS);
    if (m_list->GetSelectedCount() > 0) {
        XMenuSpec relate = m_module.CreateRelateMenu();
        if (!relate.empty()) {
            AddSeparator(menu);
            AddPopup(menu, ID_SUBMENU_RELATE, std::move(relate));
        }
    }
    AddSeparator(menu);
    AddPopup(menu, ID_SUBMENU_QUERY, m_module.CreateQueryMenu());
    for (int id : {ID_QUERY_PREV, ID_QUERY_NEXT, ID_EDIT_REFRESH, ID_XCTRL_SELALL, ID_XCTRL_SELREV, ID_XCTRL_SELCLR})
        AddEntry(menu, id);
    if (m_list->m_nMode == 0)
        AddPopup(menu, ID_SUBMENU_ORDER, m_module.CreateHeadsMenu());
    if (auto unit = m_list->CreateUnitMenu())
        AddPopup(menu, ID_SUBMENU_UNIT, std::move(*unit));
    if (auto group = m_list->CreateGroupMenu(false))
        AddPopup(menu, ID_SUBMENU_GROUP, std::move(*group));
    if (auto calc = m_list->CreateCalcMenu())
        AddPopup(menu, ID_SUBMENU_CALC, std::move(*calc));
    AddSeparator(menu);
    AddEntry(menu, ID_XCTRL_STCOLOR);
    AddEntry(menu, ID_XCTRL_RIGHTALL);
    return menu;
}

void CLorvanView::contextMenuEvent(QContextMenuEvent* e)
{
    if (const int id = XUi::TrackPopupMenu(CreateContextMenu(), e->globalPos(), this))
        DispatchCommand(id);
}
