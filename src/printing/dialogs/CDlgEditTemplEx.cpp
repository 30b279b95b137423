#include "CDlgEditTemplEx.h"

#include "CDBSetup.h"
#include "CDBTempl.h"
#include "CDlgEditTemplCtrl.h"
#include "CDlgSelKeyword.h"
#include "CXMFCToolBarMenuButton.h"
#include "CXRichEditCtrl.h"
#include "CommandIds.h"
#include "ProgramPaths.h"
#include "Resources.h"
#include "XOpenWithRtf.h"
#include "XPrintEditServices.h"
#include "XUi.h"
#include "XWinStyles.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QRegularExpression>
#include <QtGui/QTextCursor>
#include <QtGui/QTextDocument>
#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QMenu>
#include <QtWidgets/QToolBar>

namespace {

const XDlgTemplate& TemplExTemplate()
{
    static const XDlgTemplate t{IDD_EDIT_TEMPL_EX, QStringLiteral("模板"), WS_CHILD, {}, {}};
    return t;
}

const QString kRtfFilter = QStringLiteral("RTF 文件 (*.rtf)");

} // namespace

X_BEGIN_MESSAGE_MAP(CDlgEditTemplEx, CXDialogEx)
    X_ON_COMMAND(ID_TEMPL_OPEN_RTF, OnOpenRtf)
    X_ON_COMMAND(ID_FILE_SAVE_AS, OnSaveAs)
    X_ON_COMMAND(ID_TEMPL_INSERT_KEYWORD, OnInsertKeyword)
    X_ON_COMMAND(IDC_PROOF_PREVIEW, OnPreview)
    X_ON_UPDATE_COMMAND_UI(ID_FILE_SAVE_AS, OnUpdateNeedsText)
    X_ON_UPDATE_COMMAND_UI(IDC_PROOF_PREVIEW, OnUpdateNeedsText)
X_END_MESSAGE_MAP()

CDlgEditTemplEx::CDlgEditTemplEx() : CXDialogEx(false, &TemplExTemplate()) {}

CDBTempl* CDlgEditTemplEx::Templ() { return dynamic_cast<CDBTempl*>(GetItem()); }

const std::vector<int>& CDlgEditTemplEx::ToolbarCommands()
{
    static const std::vector<int> ids{ID_TEMPL_OPEN_RTF, ID_FILE_SAVE_AS, 0, ID_TEMPL_INSERT_KEYWORD, 0,
                                      IDC_PROOF_PREVIEW};
    return ids;
}

bool CDlgEditTemplEx::OnInitDialog()
{
    CXDialogEx::OnInitDialog();
    auto* outer = qobject_cast<QBoxLayout*>(Content()->layout());
    // the page is the toolbar over the sheet, edge to edge
    while (outer && outer->count() > 0)
        delete outer->takeAt(0);
    if (outer)
        outer->setContentsMargins(0, 0, 0, 0);

    m_toolbar = new QToolBar(Content());
    m_toolbar->setObjectName(QStringLiteral("templToolbar"));
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_toolbar->setIconSize(QSize(16, 16));
    const auto makeAction = [this](int id, QObject* owner) {
        auto* a = new QAction(AppServices().CommandIcon(id, 0, false), LoadCommandText(id), owner);
        a->setData(id);
        a->setToolTip(LoadCommandPrompt(id));
        connect(a, &QAction::triggered, this, [this, id] {
            if (id == IDR_RTF_GENERAL_RECEIPT || id == IDR_RTF_SIGN_IN_SHEET || id == IDR_RTF_ENROLMENT_RECEIPT)
                OnBuiltIn(id);
            else
                OnCommand(id);
        });
        m_actions.insert(id, a);
        return a;
    };
    for (int id : ToolbarCommands()) {
        if (!id) {
            m_toolbar->addSeparator();
            continue;
        }
        QAction* action = makeAction(id, m_toolbar);
        if (id != ID_TEMPL_OPEN_RTF) {
            m_toolbar->addAction(action);
            continue;
        }
        // 选择: the built-in templates, then a file
        auto* button = new CXMFCToolBarMenuButton(m_toolbar);
        auto* menu = new QMenu(button);
        for (int builtIn : {IDR_RTF_ENROLMENT_RECEIPT, IDR_RTF_SIGN_IN_SHEET, IDR_RTF_GENERAL_RECEIPT}) {
            QAction* entry = makeAction(builtIn, menu);
            entry->setText(LoadCommandText(builtIn, true));
            menu->addAction(entry);
        }
        menu->addSeparator();
        action->setText(LoadCommandText(id, true));
        menu->addAction(action);
        button->SetDropDownMenu(menu);
        button->setText(LoadCommandText(id));
        button->setIcon(action->icon());
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setObjectName(QStringLiteral("templChoose"));
        m_toolbar->addWidget(button);
    }

    m_sheet = new CDlgEditTemplCtrl(Content());
    m_sheet->SetTemplate(Templ());
    m_sheet->Create();
    m_sheet->setFocusPolicy(Qt::TabFocus);
    m_sheet->SetContextCommands(ToolbarCommands(), this, [this](int id) { OnCommand(id); });
    if (outer) {
        outer->addWidget(m_toolbar);
        outer->addWidget(m_sheet, 1);
    }
    connect(m_sheet->m_edit, &QTextEdit::textChanged, this, [this] { UpdateControls(); });
    m_sheet->m_edit->setFocus();
    UpdateControls();
    return true;
}

void CDlgEditTemplEx::DoDataExchange(XDataExchange& dx)
{
    if (!m_sheet)
        return;
    m_sheet->SetTemplate(Templ());
    if (dx.m_bSaveAndValidate)
        m_sheet->SaveTemplate();
    else
        m_sheet->LoadTemplate();
}

void CDlgEditTemplEx::showEvent(QShowEvent* e)
{
    // paper and margins may have changed on the properties page meanwhile
    auto* frame = qobject_cast<CXDialogEx*>(window());
    if (frame && frame != this && frame->FirstPage() && frame->FirstPage() != this)
        frame->FirstPage()->UpdateData(true);
    CXDialogEx::showEvent(e);
    if (m_sheet)
        m_sheet->Relayout();
}

void CDlgEditTemplEx::OnUpdateNeedsText(XCmdUI* ui) { ui->Enable(HasText()); }

bool CDlgEditTemplEx::HasText() const { return m_sheet && m_sheet->m_edit && !m_sheet->m_edit->document()->isEmpty(); }

void CDlgEditTemplEx::UpdateControls()
{
    CXDialogEx::UpdateControls();
    const bool text = HasText();
    const bool readOnly = IsWndReadOnly(this);
    for (auto it = m_actions.begin(); it != m_actions.end(); ++it) {
        const int id = it.key();
        it.value()->setEnabled(id == ID_FILE_SAVE_AS || id == IDC_PROOF_PREVIEW ? text : !readOnly);
    }
    if (m_sheet && m_sheet->m_edit)
        m_sheet->m_edit->setReadOnly(readOnly);
}

void CDlgEditTemplEx::ReplaceText(const QByteArray& rtf)
{
    CDBTempl* templ = Templ();
    if (!templ || !m_sheet)
        return;
    const qsizetype zero = rtf.indexOf('\0');
    templ->m_templ = zero >= 0 ? rtf.left(zero) : rtf;
    m_sheet->SetTemplate(templ);
    m_sheet->LoadTemplate();
    UpdateControls();
}

void CDlgEditTemplEx::OnBuiltIn(int resourceId)
{
    CDBTempl* templ = Templ();
    if (!templ)
        return;
    if (templ->m_nID) {
        const QString module = LoadCommandText(MDU_TEMPL);
        if (XUi::MessageBox(
                this,
                FormatString(u"确定要用以下内置%s替换当前%s吗？ \n\n%s", module, module, LoadCommandPrompt(resourceId)),
                module, MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
            return;
    }
    ReplaceText(LoadResourceBytes(resourceId, RT_RTF));
}

void CDlgEditTemplEx::OnOpenRtf()
{
    const QString caption = LoadCommandText(ID_TEMPL_OPEN_RTF);
    const QString path = XUi::GetOpenFileName(this, caption, GetExeFolder(), kRtfFilter);
    if (path.isEmpty())
        return;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        XUi::MessageBox(this, FormatString(u"打开 “%s” 失败！\r\n%s", QDir::toNativeSeparators(path), f.errorString()),
                        caption, MB_ICONERROR);
        return;
    }
    ReplaceText(f.readAll());
}

void CDlgEditTemplEx::OnSaveAs()
{
    CDBTempl* templ = Templ();
    if (!templ || !m_sheet)
        return;
    m_sheet->SaveTemplate();
    if (templ->m_templ.isEmpty()) {
        XUi::ShowBalloon(m_sheet->m_edit, m_sheet->m_edit->rect(), QString(), QStringLiteral("打印模板内容无效！"), 3);
        return;
    }
    const QString caption = LoadCommandText(ID_FILE_SAVE_AS);
    QString name = templ->m_strName.trimmed();
    // a name is a file name here: nothing that would make it a path
    name.replace(QRegularExpression(QStringLiteral(R"([/\\:*?"<>|])")), QStringLiteral("_"));
    if (name.isEmpty())
        name = LoadCommandText(MDU_TEMPL);
    QString path =
        XUi::GetSaveFileName(this, caption, GetExeFolder() + u'/' + name + QStringLiteral(".rtf"), kRtfFilter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".rtf");
    {
        XWaitCursor wait;
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(templ->m_templ) != templ->m_templ.size() ||
            !f.flush()) {
            XUi::MessageBox(this,
                            FormatString(u"保存 “%s” 失败！\r\n%s", QDir::toNativeSeparators(path), f.errorString()),
                            caption, MB_ICONERROR);
            return;
        }
    }
    const CDBSetup* setup = CurrentSetup();
    OpenWithRtf(this, setup ? setup->m_nOpenWithRtf : 0, path, caption);
}

void CDlgEditTemplEx::OnInsertKeyword()
{
    CDBTempl* templ = Templ();
    if (!templ || !m_sheet || IsWndReadOnly(this))
        return;
    CDlgSelKeyword dlg(templ->m_nTemplMduID, this);
    if (dlg.DoModal() != IDOK || dlg.m_strKeyword.isEmpty())
        return;
    CXRichEditCtrl* edit = m_sheet->m_edit;
    QTextCursor cursor = edit->textCursor();
    const int start = std::min(cursor.anchor(), cursor.position());
    cursor.insertText(dlg.m_strKeyword); // one step the user can undo
    cursor.setPosition(start);
    cursor.setPosition(start + static_cast<int>(dlg.m_strKeyword.size()), QTextCursor::KeepAnchor);
    edit->setTextCursor(cursor);
    edit->setFocus();
}

void CDlgEditTemplEx::OnPreview()
{
    CDBTempl* templ = Templ();
    if (!templ || !m_sheet)
        return;
    m_sheet->SaveTemplate();
    PreviewTemplate(this, *templ, AppServices().User());
}
