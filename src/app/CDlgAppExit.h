#pragma once

#include <QtWidgets/QDialog>

class QPushButton;

// The exit question: exit (IDOK), hide to the tray (33265) or go back (IDCANCEL).
class CDlgAppExit : public QDialog
{
    Q_OBJECT
public:
    explicit CDlgAppExit(QWidget* parent = nullptr);
    void reject() override { done(2); } // Esc and the close box: IDCANCEL

    // Before it is shown: the hide button is disabled (the login window is already hidden).
    bool m_bHideDisabled = false;

    QPushButton* m_pHide;
    QPushButton* m_pExit;
    QPushButton* m_pCancel;

protected:
    void showEvent(QShowEvent* event) override;
};
