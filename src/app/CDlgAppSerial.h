#pragma once

#include <QtWidgets/QDialog>

#include <functional>

class CXItem;
class QLineEdit;

// The logged-in user changes his own password: old, new and the new once more. OK after the
// change was stored (the message has been shown); a failed save keeps the dialog open.
class CDlgAppSerial : public QDialog
{
    Q_OBJECT
public:
    CDlgAppSerial(QWidget* parent, CXItem& user, CXItem& admin);

    void accept() override;

    // False once the user who opened the dialog is no longer logged in (an idle logout ran
    // while it was open): the change is then dropped, never stored for another user.
    std::function<bool()> m_stillLoggedIn;

    QLineEdit* m_pOld;
    QLineEdit* m_pNew;
    QLineEdit* m_pConfirm;

private:
    CXItem& m_user;
    CXItem& m_admin;
};
