#pragma once

#include "CXArray.h"
#include "XCmdTarget.h"

#include <QtWidgets/QDialog>

#include <functional>

class CXItem;
class CXQrCodes;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSystemTrayIcon;
class QTimer;

// The desktop login window, and the program's presence while nobody is logged in: the
// notification-area icon (when the desktop has a notification area), hiding to it, and the
// update, about and exit commands. OK after a successful login (the user has been set and
// the login logged); Cancel when the user chose to exit or the user list could not be read.
class CDlgAppLogin : public QDialog, public XCmdTarget
{
    Q_OBJECT
    X_DECLARE_MESSAGE_MAP()
public:
    // The user list is read here; HasUserList() is false when that failed (reported).
    CDlgAppLogin(QWidget* parent, CXItem& admin, bool hideAtOnce);
    ~CDlgAppLogin() override;

    bool HasUserList() const { return m_bUsersRead; }

    // One update of the window state: link line, tray icon and tip, hiding when idle.
    void UpdateState();
    // Hides the window to the tray with the balloon; shows it again.
    void Minimize();
    void Restore();

    void accept() override;
    void reject() override;

    QString m_strLinkPattern;
    CXQrCodes* m_pQrCodes = nullptr;
    int m_nRelayShown = 0;
    int m_nNewerShown = -1;
    QString m_strUser;
    QString m_strPassword;
    int m_bHideAtOnce = 0;

    // Sets the user who logged in (the application's m_user); called before the login row.
    std::function<void(const CXItem&)> m_setUser;
    // The commands the window hands to the application (update check, update, about).
    std::function<void(int)> m_appCommand;
    // The tick of the last input; replaced by tests.
    std::function<std::uint32_t()> m_lastInputTick;
    std::function<std::uint32_t()> m_tickCount;

    QComboBox* m_pUser;
    QLineEdit* m_pPassword;
    QLabel* m_pWarning;
    QLabel* m_pLink;
    QPushButton* m_pLogin;
    QSystemTrayIcon* m_pTray = nullptr;
    QTimer* m_pTimer;
    CXArray m_users;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void OnShow() { Restore(); }
    void OnHide() { Minimize(); }
    void OnForward(int id);
    void OnUpdateShow(XCmdUI* ui);
    void OnUpdateHide(XCmdUI* ui);
    void OnUpdateUpdateNow(XCmdUI* ui);
    void OnUpdateAlways(XCmdUI* ui);
    void OnExit() { reject(); }
    void ShowTrayMenu();
    void LinkActivated(const QString& link);

    CXItem& m_admin;
    bool m_bUsersRead = false;
};

// The banner across the top of the login window and the about box: picture 419 scaled to
// the width, with the program's name.
QLabel* NewBanner(QWidget* parent, int width);
