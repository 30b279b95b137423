#pragma once

#include "CXArray.h"
#include "CXDialogEx.h"
#include "XDateTime.h"

class CXListCtrl;

// The relay server's own status: every installation it knows, with the server's start time,
// uptime and connection counts. Asks for the relay's access password first.
class CDlgProxyView : public CXDialogEx
{
    Q_OBJECT
    X_DECLARE_MESSAGE_MAP()
public:
    // DoModal returns IDCANCEL at once, without showing the view, when the password is not given.
    explicit CDlgProxyView(QWidget* parent = nullptr);

    // Queries the relay and rebuilds the list; false when the password prompt was cancelled.
    bool Refresh();
    void OnRefresh();
    void OnInternet();
    void OnFindNext();
    void OnUpdateOneSelected(XCmdUI* ui);
    void OnUpdateFind(XCmdUI* ui);

    CXArray m_items{nullptr, true};
    CXListCtrl* m_list = nullptr;
    QString m_strFind;
    QString m_strPassword; // remembered after the first accepted one
    XDateTime m_srvStart;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(XDataExchange& dx) override;
    void OnOK() override;

private:
    void ShowStatus(const QString& text);
    void ClearList();
};
