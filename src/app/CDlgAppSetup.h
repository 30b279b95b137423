#pragma once

#include "CXDialogEx.h"

#include <functional>

class CDlgAppSetupPage;
class CXListBox;

// The preferences dialog: the list of preference groups beside the scrolling page bound to
// a copy of the preferences; the list's selection and the page's scroll position follow
// each other. OK validates and saves the copy; Cancel drops it. Anyone but an
// administrator sees the page read-only, and OK then saves nothing.
class CDlgAppSetup : public CXDialogEx
{
    Q_OBJECT
public:
    explicit CDlgAppSetup(QWidget* parent = nullptr);

    CDlgAppSetupPage* Page() const { return m_pPage; }
    CXListBox* GroupList() const { return m_pGroups; }
    // Whether the logged-in user may change the preferences.
    bool CanEdit() const;

    // False once the user who opened the dialog is no longer logged in (an idle logout ran
    // while it was open): nothing is saved then.
    std::function<bool()> m_stillLoggedIn;

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    void OnGroupChanged(int row);
    void OnPageScrolled(int pos);

    CDlgAppSetupPage* m_pPage = nullptr;
    CXListBox* m_pGroups = nullptr;
    bool m_bSyncing = false; // one of the two is following the other
};

// The group shown at a scroll position: position x groups / scroll range, rounded, within
// the groups (0 when nothing scrolls).
int SetupGroupAtScroll(int pos, int groups, int range);
