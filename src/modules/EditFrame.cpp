#include "EditFrame.h"

#include "CDBPrjOrder.h"
#include "CDlgEdit.h"
#include "CDlgEditOperLog.h"
#include "CDlgEditRelate.h"
#include "CDlgEditViewItems.h"
#include "CHead.h"
#include "CModule.h"
#include "CXItem.h"
#include "Resources.h"
#include "XMainWindow.h"
#include "XReadOnly.h"
#include "XRecordPickers.h"

#include <QtGui/QGuiApplication>
#include <QtWidgets/QPushButton>

#include <map>
#include <memory>

namespace {

std::map<int, std::vector<XEditPageMaker>>& Makers()
{
    static std::map<int, std::vector<XEditPageMaker>> makers;
    return makers;
}

const CXItem* User() { return AppServices().User(); }

// A frame that only shows: no OK, and Cancel closes it.
void MakeViewOnly(CDlgEdit* frame)
{
    frame->Create();
    SetWndReadOnly(frame, true);
    if (QWidget* ok = frame->GetDlgItem(IDOK))
        ok->hide();
    if (auto* cancel = qobject_cast<QPushButton*>(frame->GetDlgItem(IDCANCEL)))
        cancel->setText(QStringLiteral("关闭"));
}

} // namespace

void SetEditPageMaker(int mduId, XEditPageMaker maker)
{
    std::vector<XEditPageMaker> makers;
    if (maker)
        makers.push_back(std::move(maker));
    SetEditPageMakers(mduId, std::move(makers));
}

void SetEditPageMakers(int mduId, std::vector<XEditPageMaker> makers)
{
    std::erase_if(makers, [](const XEditPageMaker& maker) { return !maker; });
    if (!makers.empty())
        Makers()[mduId] = std::move(makers);
    else
        Makers().erase(mduId);
}

std::unique_ptr<CDlgEdit> CreateEditDialog(CModule& module, bool bNew, const CXItem* item)
{
    // Log rows open only as login sessions, in a read-only frame without related pages.
    if (module.GetMduID() == MDU_OPERLOG)
        return CreateOperLogDialog(bNew, item);
    const auto it = Makers().find(module.GetMduID());
    if (it == Makers().end())
        return nullptr;
    // The frame opens over the program's window: printing, which belongs to records shown
    // there, is offered only to a frame placed in it.
    auto frame = std::make_unique<CDlgEdit>(bNew, module.GetMduID(), qobject_cast<QWidget*>(XGetMainWindow()));
    for (const XEditPageMaker& maker : it->second)
        frame->m_pages.push_back(maker(bNew, item).release());
    // a page may bring pages that depend on the record it shows (a student's courses)
    if (const auto* following = dynamic_cast<const IXFollowingPages*>(frame->m_pages.front()))
        for (std::unique_ptr<CXDialogEx>& page : following->MakeFollowingPages())
            frame->m_pages.push_back(page.release());
    return PrepareEditDialog(module, std::move(frame), bNew);
}

namespace {

// An empty child list of a new record whose lines are records of another module starts
// with the records the user picks. False when the user cancelled.
bool PickFirstLines(CXItem& item, const CHead& h)
{
    CXArray& lines = item.Member<CXArray>(h.m_nOffset);
    if (!lines.IsEmpty())
        return true;
    const std::unique_ptr<CXItem> probe(lines.CreateItem());
    const int lineMdu = probe ? probe->m_nMduID : 0;
    CModule* target = lineMdu ? FindModule(lineMdu) : nullptr;
    if (!target || lineMdu == item.m_nMduID)
        return true;
    CXArray picked(nullptr, true);
    if (RecordPickers().ChooseMany(*target, item.GetRelateQuery(&h, nullptr), {}, picked) != IDOK)
        return false;
    for (const CXItem* record : picked) {
        CXItem* line = lines.CreateItem();
        record->CopyTo(line);
        lines.AddAdopted(line);
    }
    return true;
}

} // namespace

std::unique_ptr<CDlgEdit> PrepareEditDialog(CModule& module, std::unique_ptr<CDlgEdit> frame, bool bNew)
{
    CXItem* item = frame->m_pages.empty() ? nullptr : frame->m_pages.front()->GetItem();
    const CHeads* heads = module.GetHeads();
    const CXItem* user = User();
    if (!item || !heads)
        return frame;
    if (bNew) {
        for (int i = 0; i < heads->GetSize() && RecordPickers().IsAvailable(); ++i) {
            const CHead* h = heads->GetAt(i);
            if ((h->m_nType != XLK && h->m_nType != XAR) || !h->m_nOffset || item->GetAccess(h, user) != 1)
                continue;
            if (h->m_nType == XAR) {
                if (!PickFirstLines(*item, *h))
                    return nullptr;
                continue;
            }
            CXBase& link = item->Member<CXBase>(h->m_nOffset);
            CModule* target = link.m_nMduID ? FindModule(link.m_nMduID) : nullptr;
            if (!target || link.m_nMduID == item->m_nMduID || link.m_nID != 0)
                continue;
            CXBase chosen;
            if (RecordPickers().ChooseOne(*target, item->GetRelateQuery(h, nullptr), 0, chosen) != IDOK)
                return nullptr;
            link.CopyBase(chosen);
        }
        item->Validate(user, true);
        return frame;
    }
    if (!user)
        return frame;
    std::vector<int> commands;
    for (int i = 0; i < heads->GetSize(); ++i) {
        const int cmd = heads->GetAt(i)->m_nSubID;
        if (cmd > 0 && cmd <= 0xFFFF && std::find(commands.begin(), commands.end(), cmd) == commands.end())
            commands.push_back(cmd);
    }
    for (int cmd : commands) {
        CXArray one(nullptr, false);
        one.Add(item);
        CXMap query;
        if (module.MakeRelateQuery(one, cmd, query, *user) == 1)
            frame->m_pages.push_back(new CDlgEditRelate(query, CModule::GetRelModuleId(cmd), cmd));
    }
    return frame;
}

int OpenItems(CModule* module, CXArray& items, bool bViewOnly)
{
    if (items.GetSize() == 0)
        return IDCANCEL;
    if (module && items.GetSize() == 1) {
        if (const std::unique_ptr<CDlgEdit> frame = CreateEditDialog(*module, false, items.GetAt(0))) {
            if (bViewOnly) {
                frame->Create();
                SetWndReadOnly(frame.get(), true);
            }
            const int result = frame->DoModal();
            if (result == IDOK && frame->GetItem())
                frame->GetItem()->CopyTo(items.GetAt(0));
            return result;
        }
    }
    // several records, or a module without its own frame: one read-only page of them all
    CDlgEdit frame(false, module ? module->GetMduID() : 0);
    auto* page = new CDlgEditViewItems;
    for (const CXItem* item : items)
        page->m_items.Add(item->CopyTo(nullptr));
    frame.m_pages.push_back(page);
    MakeViewOnly(&frame);
    frame.DoModal();
    return IDCANCEL;
}

int OpenItemRef(const CXBase& ref)
{
    CModule* module = ref.m_nMduID && ref.m_nID ? FindModule(ref.m_nMduID) : nullptr;
    if (!module)
        return 0;
    CXArray items(nullptr, true);
    CXMap query;
    query.SetText(QKEY_IDS, QString::number(ref.m_nID));
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool read = module->QueryItems(items, query, false, true) && items.GetSize() > 0;
    QGuiApplication::restoreOverrideCursor();
    return read ? OpenItems(module, items, true) : 0;
}

bool SaveHeadScheme(int mduId, const QString& setup)
{
    CModule* schemes = FindModule(MDU_PRJORDER);
    CModule* owner = FindModule(mduId);
    const std::unique_ptr<CDlgEdit> frame = schemes && owner ? CreateEditDialog(*schemes, true, nullptr) : nullptr;
    if (!frame)
        return false;
    if (auto* scheme =
            dynamic_cast<CDBPrjOrder*>(frame->m_pages.empty() ? nullptr : frame->m_pages.front()->GetItem())) {
        scheme->m_nParentID = mduId;
        scheme->m_strRightData = setup;
    }
    if (frame->DoModal() != IDOK)
        return false;
    owner->m_headSchemes.RemoveAll();
    CXMap query;
    query.SetText(QKEY_MODULE, QString::number(mduId));
    schemes->QueryItems(owner->m_headSchemes, query, true, false);
    if (QObject* main = XGetMainWindow())
        XPostMessage(main, WM_XSTATUSBAR, 0, 0);
    return true;
}
