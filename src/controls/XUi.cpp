#include "XUi.h"

#include "CDlgMsgBox.h"
#include "XAppServices.h"
#include "XBalloonTip.h"
#include "XCmdUpdater.h"
#include "XMenuBuild.h"

#include <QtCore/QUrl>
#include <QtGui/QDesktopServices>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialog>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QMenu>
#include <QtWidgets/QMessageBox>

namespace {
XUiTestHooks* g_hooks = nullptr;

void Record(const QString& kind, const QString& text, const QString& caption, int type = 0, QWidget* widget = nullptr,
            const QRect& anchor = QRect())
{
    g_hooks->calls.push_back({kind, text, caption, type, widget, anchor});
    if (g_hooks->onUnscripted && kind != QLatin1String("Balloon"))
        g_hooks->onUnscripted(g_hooks->calls.back());
}
} // namespace

int XUi::MessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned type)
{
    if (g_hooks) {
        Record(QStringLiteral("MessageBox"), text, caption, static_cast<int>(type), owner);
        if (!g_hooks->answers.empty()) {
            const int a = g_hooks->answers.front();
            g_hooks->answers.erase(g_hooks->answers.begin());
            return a;
        }
        return g_hooks->answer;
    }
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (type & 0xF0) {
    case MB_ICONERROR:
        icon = QMessageBox::Critical;
        break;
    case MB_ICONQUESTION:
        icon = QMessageBox::Question;
        break;
    case MB_ICONWARNING:
        icon = QMessageBox::Warning;
        break;
    case MB_ICONINFORMATION:
        icon = QMessageBox::Information;
        break;
    default:
        break;
    }
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    switch (type & 0xF) {
    case MB_OKCANCEL:
        buttons = QMessageBox::Ok | QMessageBox::Cancel;
        break;
    case MB_YESNO:
        buttons = QMessageBox::Yes | QMessageBox::No;
        break;
    case MB_YESNOCANCEL:
        buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        break;
    default:
        break;
    }
    QMessageBox box(icon, caption, QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")), buttons,
                    owner ? owner : QApplication::activeWindow());
    switch (box.exec()) {
    case QMessageBox::Ok:
        return IDOK;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    default:
        return IDCANCEL;
    }
}

int XUi::MessageBoxItems(QWidget* owner, const QString& text, const QString& caption, unsigned type,
                         const QList<QPair<QString, QString>>& items)
{
    if (g_hooks) {
        QString all = text;
        for (const auto& [item, explanation] : items)
            all += u'\n' + item + QStringLiteral("：") + explanation;
        return MessageBox(owner, all, caption, type);
    }
    CDlgMsgBox box(type, caption, owner);
    box.SetText(text);
    for (const auto& [item, explanation] : items)
        box.AddItem(item, explanation);
    return box.exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void XUi::ShowBalloon(QWidget* control, const QRect& anchor, const QString& title, const QString& text, int type)
{
    if (g_hooks) {
        Record(QStringLiteral("Balloon"), text, title, type, control, anchor);
        return;
    }
    XBalloonTip::ShowAt(control, anchor, title, text, type);
}

void XUi::CloseBalloon() { XBalloonTip::CloseCurrent(); }

QString XUi::GetOpenFileName(QWidget* owner, const QString& caption, const QString& dir, const QString& filter)
{
    if (g_hooks) {
        Record(QStringLiteral("Open"), dir, caption);
        return g_hooks->fileName;
    }
    return QFileDialog::getOpenFileName(owner, caption, dir, filter);
}

QString XUi::GetSaveFileName(QWidget* owner, const QString& caption, const QString& dir, const QString& filter)
{
    if (g_hooks) {
        Record(QStringLiteral("Save"), dir, caption);
        return g_hooks->fileName;
    }
    return QFileDialog::getSaveFileName(owner, caption, dir, filter);
}

QString XUi::GetExistingDirectory(QWidget* owner, const QString& caption, const QString& dir)
{
    if (g_hooks) {
        Record(QStringLiteral("Folder"), dir, caption);
        return g_hooks->folder;
    }
    return QFileDialog::getExistingDirectory(owner, caption, dir);
}

bool XUi::ShellOpen(const QString& fileOrUrl)
{
    if (g_hooks) {
        Record(QStringLiteral("Shell"), fileOrUrl, QString());
        return true;
    }
    const QUrl url = fileOrUrl.contains(QLatin1String("://")) ? QUrl(fileOrUrl) : QUrl::fromLocalFile(fileOrUrl);
    return QDesktopServices::openUrl(url);
}

namespace {
bool OffersCommand(const QMenu& menu, int id)
{
    for (const QAction* a : menu.actions()) {
        if (a->menu() && OffersCommand(*a->menu(), id))
            return true;
        if (!a->menu() && !a->isSeparator() && a->isEnabled() && a->data().toInt() == id)
            return true;
    }
    return false;
}
} // namespace

int XUi::TrackPopupMenu(const XMenuSpec& spec, const QPoint& globalPos, XCmdTarget* target)
{
    QMenu menu;
    BuildMenu(&menu, spec, target);
    if (g_hooks) {
        if (target)
            XCmdUpdater::UpdateMenu(&menu, target);
        QStringList texts;
        for (const QAction* a : menu.actions())
            texts << a->text();
        Record(QStringLiteral("Menu"), QString::number(menu.actions().size()), texts.join(u'|'));
        // Like a user, the script can only choose an enabled entry the menu has.
        return OffersCommand(menu, g_hooks->menuChoice) ? g_hooks->menuChoice : 0;
    }
    QAction* chosen = menu.exec(globalPos);
    return chosen ? chosen->data().toInt() : 0;
}

int XUi::RunModal(QDialog* dialog)
{
    if (g_hooks) {
        Record(QStringLiteral("Modal"), dialog->windowTitle(), QString(), 0, dialog);
        return g_hooks->onModal ? g_hooks->onModal(dialog) : IDCANCEL;
    }
    return dialog->exec();
}

XUiTestHooks::XUiTestHooks() : m_previous(g_hooks) { g_hooks = this; }
XUiTestHooks::~XUiTestHooks() { g_hooks = m_previous; }
XUiTestHooks* XUiTestHooks::Active() { return g_hooks; }

std::vector<XUiTestHooks::Call> XUiTestHooks::Calls(const QString& kind) const
{
    std::vector<Call> out;
    for (const Call& c : calls)
        if (c.kind == kind)
            out.push_back(c);
    return out;
}

XWaitCursor::XWaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }

XWaitCursor::~XWaitCursor() { QGuiApplication::restoreOverrideCursor(); }
