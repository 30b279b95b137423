#pragma once

#include "CXArray.h"
#include "CXDialogEx.h"

#include <vector>

class CHtmlCtrl;
class CModule;
class QPushButton;
class QTabBar;

// The one modal frame every record opens in: the module's page dialogs on tabs, an
// information pane with the record as HTML, and buttons for re-editing, preview, printing
// and WeChat notices. It validates across all pages, saves and refreshes the module's list.
class CDlgEdit : public CXDialogEx
{
    Q_OBJECT
    X_DECLARE_MESSAGE_MAP()
public:
    CDlgEdit(bool bAddNew, int mduId, QWidget* parent = nullptr);
    ~CDlgEdit() override;

    CXItem* GetItem() override;
    CXDialogEx* FirstPage() const override { return m_pages.empty() ? nullptr : m_pages.front(); }
    bool SaveAndRefresh();
    bool NeedsSave() const;
    bool Validate() override;
    void UpdateControls() override;

    void OnTabSelChange(int index);
    void OnViewDetail();
    void OnUnlock();
    void OnPreview();
    void OnPrintCmd();
    void OnWxMsg();

    std::vector<CXDialogEx*> m_pages; // owned, in tab order; page 0 holds the record
    QTabBar* m_tab = nullptr;
    CHtmlCtrl* m_html = nullptr;
    QPushButton* m_btnInfo = nullptr;
    bool m_bShowInfo = false;
    CXArray m_templs{nullptr, true};
    CXItem* m_pOrgItem = nullptr;

    // The information pane's width at the screen's DPI.
    static int PaneWidth(int dpi);

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void OnDestroy() override;
    void resizeEvent(QResizeEvent* e) override;
    // Selects the page binding the member and shows the balloon there.
    bool ShowMemberTip(int member, int type, const QString& text) override;

private:
    CModule* Module() const;
    bool PlacedInMainWindow() const;
    void PlacePane();
    // "%s前将保存当前%s！" and the save; false when the command must not go on.
    bool SaveFirst(int command);
    void OnPrint(int command, bool preview);

    int m_nPaneWidth = 0;
};
