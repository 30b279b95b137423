#pragma once

#include "CXArray.h"
#include "CXDialogEx.h"

#include <QtCore/QTimer>

class CXListCtrl;
class CXQrCodes;

// The web access status: since when the web service is connected to the relay, the login
// QR codes, today's relay events of the operation log, and a reconnect of the service.
class CDlgAppExplorer : public CXDialogEx
{
    Q_OBJECT
    X_DECLARE_MESSAGE_MAP()
public:
    explicit CDlgAppExplorer(QWidget* parent = nullptr);
    ~CDlgAppExplorer() override;

    void UpdateControls() override;
    // Reloads today's relay events.
    void OnRefresh();
    // Stops and starts the web service again; the dialog waits for both.
    void OnReconnect();

    int m_nServer = 0; // 0: the Internet server, the only one used
    CXArray m_items{nullptr, true};
    CXListCtrl* m_list = nullptr;
    CXQrCodes* m_wndQrCodes = nullptr;
    QTimer m_timer;

protected:
    bool OnInitDialog() override;
    void keyPressEvent(QKeyEvent* e) override;
};
