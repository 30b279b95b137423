#pragma once

#include "XAppServices.h"
#include "XMenuSpec.h"

#include <QtCore/QPoint>
#include <QtCore/QRect>
#include <QtCore/QString>
#include <QtCore/QList>
#include <QtCore/QPair>
#include <QtCore/QStringList>

#include <functional>
#include <vector>

class QDialog;
class QWidget;
class XCmdTarget;

// Every place the program asks the desktop user something or hands work to the desktop:
// message boxes, balloons at a control, file and folder dialogs, opening a file or address
// with the desktop, popup menus and modal runs. Tests answer them through XUiTestHooks.
namespace XUi {

// MB_* flags of XAppServices.h; returns IDOK, IDCANCEL, IDYES or IDNO.
int MessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned type);
// A message box with a list of items and their explanations (CDlgMsgBox); IDOK or IDCANCEL.
// Test hooks see it as a message box whose text ends in one "item：explanation" line each.
int MessageBoxItems(QWidget* owner, const QString& text, const QString& caption, unsigned type,
                    const QList<QPair<QString, QString>>& items);
// A balloon pointing at anchor (in the control's coordinates); type 1 information,
// 2 warning, 3 error. One balloon at a time.
void ShowBalloon(QWidget* control, const QRect& anchor, const QString& title, const QString& text, int type);
void CloseBalloon();
QString GetOpenFileName(QWidget* owner, const QString& caption, const QString& dir, const QString& filter);
QString GetSaveFileName(QWidget* owner, const QString& caption, const QString& dir, const QString& filter);
QString GetExistingDirectory(QWidget* owner, const QString& caption, const QString& dir);
// Opens a file or an address with the desktop's program for it.
bool ShellOpen(const QString& fileOrUrl);
// The chosen command id, 0 when the menu was dismissed; the target's update pass runs first.
int TrackPopupMenu(const XMenuSpec& menu, const QPoint& globalPos, XCmdTarget* target);
// Runs a dialog modally; returns its result code.
int RunModal(QDialog* dialog);

} // namespace XUi

// The wait cursor for the life of the object.
class XWaitCursor
{
public:
    XWaitCursor();
    ~XWaitCursor();
    XWaitCursor(const XWaitCursor&) = delete;
    XWaitCursor& operator=(const XWaitCursor&) = delete;
};

// Replaces the desktop for the life of the object: records every call and answers from the
// scripted replies (message boxes answer `answer` unless `answers` holds more; modal runs
// call `onModal`, whose return is the result, or return IDCANCEL).
class XUiTestHooks
{
public:
    struct Call
    {
        QString kind; // "MessageBox", "Balloon", "Open", "Save", "Folder", "Shell", "Menu", "Modal"
        QString text;
        QString caption;
        int type = 0;
        QWidget* widget = nullptr;
        QRect anchor;
    };

    XUiTestHooks();
    ~XUiTestHooks();
    XUiTestHooks(const XUiTestHooks&) = delete;
    XUiTestHooks& operator=(const XUiTestHooks&) = delete;

    static XUiTestHooks* Active();
    std::vector<Call> Calls(const QString& kind) const;
    void Clear() { calls.clear(); }

    std::vector<Call> calls;
    int answer = 1; // IDOK
    std::vector<int> answers;
    QString fileName;
    QString folder;
    int menuChoice = 0;
    std::function<int(QDialog*)> onModal;
    // Called for every prompt these hooks answer (all but balloons). A test main installs
    // hooks under every test's own that fail the running test this way: a prompt reaching
    // them is one no test scripted.
    std::function<void(const Call&)> onUnscripted;

private:
    XUiTestHooks* m_previous;
};
