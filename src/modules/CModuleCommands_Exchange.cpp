// Exporting the module's listed records to a spreadsheet and importing new ones from one.
#include "CModuleCommands.h"

#include "CDlgImportInfo.h"
#include "CHead.h"
#include "CModule.h"
#include "CXItem.h"
#include "CXListCtrl.h"
#include "CXMap.h"
#include "CommandIds.h"
#include "FormatString.h"
#include "ModuleExchange.h"
#include "ProgramPaths.h"
#include "Resources.h"
#include "XAppServices.h"
#include "XOpenWith.h"
#include "XUi.h"
#include "XXlsxWriter.h"

#include <memory>

namespace {

QWidget* Owner(const CModule& module) { return qobject_cast<QWidget*>(module.GetView()); }

bool HasExchangedFields(const CModule& module)
{
    const std::unique_ptr<CXItem> sample(module.CreateItem());
    return sample && !ExchangeColumns(*sample).empty();
}

} // namespace

void CModuleCommands::OnUpdateFileCommand(XCmdUI* ui)
{
    const CXItem* user = AppServices().User();
    bool enable = user && m_module.HasRight(*user, RIGHT_ADD) && HasExchangedFields(m_module);
    if (ui->m_nID == ID_FILE_EXPORT) {
        const CXListCtrl* list = GetList();
        enable = enable && list && list->GetItemCount() > 0;
    }
    ui->Enable(enable);
}

void CModuleCommands::OnFileExport()
{
    CXListCtrl* list = GetList();
    if (!list || list->GetItemCount() == 0)
        return;
    QWidget* owner = Owner(m_module);
    const QString caption = LoadCommandText(ID_FILE_EXPORT);
    const QString name = m_module.GetName();
    const QString proposed =
        GetExeFolder() + u'/' +
        SanitizeFileName(QStringLiteral("导出") + name + XDateTime::Now().Format(QStringLiteral("%Y%m%d%H%M%S"))) +
        QStringLiteral(".xlsx");
    QString path = XUi::GetSaveFileName(owner, caption, proposed, QStringLiteral("Excel 文件 (*.xlsx)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive))
        path += QStringLiteral(".xlsx");
    std::vector<const CXItem*> items;
    for (int i = 0; i < list->GetItemCount(); ++i)
        items.push_back(list->GetItemData(i));
    QString error;
    bool ok = false;
    {
        XWaitCursor wait;
        ok = ExportItems(m_module, items, path, &error);
    }
    if (!ok) {
        XUi::MessageBox(owner, FormatString(u"保存 “%s” 失败！\r\n%s", path, error), caption, MB_ICONERROR);
        return;
    }
    if (XUi::MessageBox(owner,
                        FormatString(u"当前列表中的 “%s” 已导出到：\r\n%s\r\n\r\n是否立即打开该文件？", name, path),
                        caption, MB_YESNO | MB_ICONQUESTION) == IDYES)
        OpenWrittenWorkbook(owner, path);
}

void CModuleCommands::OnFileImport()
{
    const CXItem* user = AppServices().User();
    if (!user)
        return;
    QWidget* owner = Owner(m_module);
    const QString caption = LoadCommandText(ID_FILE_IMPORT);
    const QString name = m_module.GetName();
    const QString path =
        XUi::GetOpenFileName(owner, caption, GetExeFolder(), QStringLiteral("Excel 文件 (*.xlsx *.xls)"));
    if (path.isEmpty())
        return;
    CDlgImportInfo dlg(m_module.GetMduID(), owner);
    QString error;
    bool ok = false;
    {
        XWaitCursor wait;
        ok = ReadImportFile(m_module, path, dlg.m_items, dlg.m_readWarnings, &error);
    }
    if (!ok) {
        XUi::MessageBox(owner, FormatString(u"打开 “%s” 失败！\r\n%s！", path, error), caption, MB_ICONERROR);
        return;
    }
    if (dlg.m_items.IsEmpty()) {
        XUi::MessageBox(owner, FormatString(u"在导入文件中未找到可导入%s！", name), caption, MB_ICONERROR);
        return;
    }
    if (dlg.DoModal() != IDOK)
        return;
    // the preview dropped the records with errors
    if (dlg.m_items.IsEmpty()) {
        XUi::MessageBox(owner, FormatString(u"无可导入%s！", name), caption, MB_ICONERROR);
        return;
    }
    if (!SaveImportedItems(m_module, dlg.m_items, *user, caption)) {
        XUi::MessageBox(owner, FormatString(u"导入时出现错误，没有%s被导入！", name), caption, MB_ICONERROR);
        return;
    }
    const CHeads* heads = m_module.GetHeads();
    XUi::MessageBox(
        owner, FormatString(u"共导入 %d %s%s！", dlg.m_items.GetSize(), heads ? heads->m_strItemUnit : QString(), name),
        caption, MB_ICONINFORMATION);
    m_module.ApplyQuery(CXMap());
}
