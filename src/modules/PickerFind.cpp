#include "PickerFind.h"

#include "CXDialogEx.h"
#include "CXListCtrl.h"
#include "FormatString.h"
#include "OperLog.h"
#include "RecordConsts.h"
#include "RecordLookups.h"
#include "Resources.h"
#include "XAppServices.h"

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

void PickerFindNext(CXDialogEx& dialog, CXListCtrl& list, int mduId)
{
    const QString text = dialog.GetControlText(kPickerFindEdit);
    if (text.isEmpty()) {
        dialog.ShowItemTipText(2, kPickerFindEdit, LoadCommandPrompt(kPickerFindEdit));
        return;
    }
    if (!list.FindNext(text, true, false, false))
        dialog.ShowItemTipText(2, 1243, QStringLiteral("没有找到 %1。").replace(QStringLiteral("%1"), text));
    if (const CXItem* user = AppServices().User())
        WriteOperLog(OPER_FIND, *user, mduId, 0, text, QString());
}
