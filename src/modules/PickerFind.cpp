#include "PickerFind.h"

#include "CXDialogEx.h"
#include "CXListCtrl.h"
#include "CommandIds.h"
#include "FormatString.h"
#include "OperLog.h"
#include "RecordConsts.h"
#include "RecordLookups.h"
#include "Resources.h"
#include "XAppServices.h"

#include "CHead.h"
#include "CModule.h"
#include "CXMap.h"

#include <QtWidgets/QLineEdit>

QString FirstFindText(int mduId)
{
    QStringList texts;
    QueryTextList(texts,
                  FormatString(u"SELECT OperMemo FROM TB_OPERLOG WHERE MduID=%d AND TypeID=%d ORDER BY OperTime DESC",
                               mduId, static_cast<int>(OPER_FIND)),
                  true);
    return texts.isEmpty() ? QString() : texts.front();
}

void PickerFindNext(CXDialogEx& dialog, CXListCtrl& list, int mduId, QString& findText)
{
    findText = dialog.GetControlText(ID_FIND_WHAT);
    const QString& text = findText;
    if (text.isEmpty()) {
        dialog.ShowItemTipText(2, ID_FIND_WHAT, LoadCommandPrompt(ID_FIND_WHAT));
        return;
    }
    if (!list.FindNext(text, true, false, false))
        dialog.ShowItemTipText(2, IDC_RECORD_LIST,
                               LoadStringText(IDS_TEXT_NOT_FOUND).replace(QStringLiteral("%1"), text));
    if (const CXItem* user = AppServices().User())
        WriteOperLog(OPER_FIND, *user, mduId, 0, text, QString());
}

CXListCtrl* PlaceList(CXDialogEx& dialog, int id)
{
    QWidget* slot = dialog.GetDlgItem(id);
    auto* list = new CXListCtrl(slot, id);
    FillSlot(slot, list);
    return list;
}

QString PickerCaption(int mduId, const QString& caption, const CXMap& query)
{
    CModule* module = FindModule(mduId);
    const QString description = module ? module->GetQueryText(query, true, true) : QString();
    if (description.isEmpty() || description == QStringLiteral("全部"))
        return caption;
    return caption + QLatin1Char(' ') + description;
}

QString PickerItemName(int mduId)
{
    const CModule* module = FindModule(mduId);
    const CHeads* heads = module ? module->GetHeads() : nullptr;
    return (heads ? heads->m_strItemUnit : QString()) + (module ? module->GetName() : QString());
}

bool FindInsteadOfOk(CXDialogEx& dialog, CXListCtrl* list, int mduId, QString& findText)
{
    QWidget* edit = dialog.GetDlgItem(ID_FIND_WHAT);
    if (!edit || !edit->hasFocus())
        return false;
    if (list)
        PickerFindNext(dialog, *list, mduId, findText);
    return true;
}

void AddListButton(CXListCtrl& list, int id, bool isDefault) { list.AddCmd(new CXCmd(id, true, true, isDefault)); }
