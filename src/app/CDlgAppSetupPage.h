#pragma once

#include "CDBSetup.h"
#include "CXDialogEx.h"
#include "CommandIds.h"

#include <QtCore/QList>

#include <functional>

class QGroupBox;

// The scrolling page of the preferences dialog: every editable preference bound to its
// own copy of the preferences, in group boxes shown as headings, with the per-group
// resets, the logo replacement, the manual backup and the WeChat key test. Marked
// read-only, it changes nothing, but the manual backup still runs.
class CDlgAppSetupPage : public CXDialogEx
{
    Q_OBJECT
    X_DECLARE_MESSAGE_MAP()
public:
    explicit CDlgAppSetupPage(QWidget* parent = nullptr);

    CXItem* GetItem() override { return &m_setup; }
    // One scroll section per group box.
    int GetScrollLines() const override;
    void UpdateControls() override;

    // The group boxes in window order.
    const QList<QGroupBox*>& Groups() const { return m_groups; }
    // The read-only texts that follow the edited values: the absolute backup folder, the
    // web authorisation domain, the relay's address and the web login address.
    void UpdateDerived();

    // The edited copy, started from the current preferences.
    CDBSetup m_setup;
    // False once the user who opened the dialog is no longer logged in: the key test then
    // saves nothing.
    std::function<bool()> m_stillLoggedIn;

protected:
    void DoDataExchange(XDataExchange& dx) override;
    bool OnInitDialog() override;

private:
    void OnResetGroup(int id);
    void OnChangeStdLogo() { ChangeLogo(IDC_SETUP_STD_LOGO_CHANGE, m_setup.m_imgStdLogo); }
    void OnChangeBigLogo() { ChangeLogo(IDC_SETUP_BIG_LOGO_CHANGE, m_setup.m_imgBigLogo); }
    void ChangeLogo(int buttonId, CXImage& logo);
    void OnBackupNow();
    void OnWxTest();
    void OnUpdateEditing(XCmdUI* ui);
    // The button's text without its trailing " ...": the title of what it starts.
    QString ButtonTitle(int id) const;
    bool CanEdit() const;

    QList<QGroupBox*> m_groups;
};
