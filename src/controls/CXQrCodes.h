#pragma once

#include <QtCore/QString>
#include <QtCore/QTimer>
#include <QtWidgets/QWidget>

#include <memory>

// Where the login panel reads the web service's addresses and reachability from.
class IWebStatus
{
public:
    virtual ~IWebStatus() = default;
    virtual QString GetInternetUrl() const = 0;
    virtual QString GetLocalUrl() const = 0;
    virtual int GetRelayConnections() const = 0;
};

// The login panel: QR codes of the Internet and local-network login addresses on two tabs
// along its bottom edge, kept current every second. A click on the code opens the address.
class CXQrCodes : public QWidget
{
public:
    // Without a status the web service's own state is read.
    explicit CXQrCodes(QWidget* parent = nullptr, std::unique_ptr<IWebStatus> status = nullptr);
    ~CXQrCodes() override;

    struct Tab
    {
        int nCmd;
        QString strCaption;
        QString strTip;
        QString strUrl;
        bool bEnabled = false;
        QRect rcSquare;
    };

    // Re-reads the addresses and their reachability; repaints when anything changed.
    // True when something changed.
    bool Refresh();
    const Tab& GetTab(int i) const { return m_tabs[i]; }
    int m_nTab = 0;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool event(QEvent* event) override;

private:
    QRect CodeArea() const;

    std::unique_ptr<IWebStatus> m_status;
    Tab m_tabs[2];
    QRect m_rcCode;
    QTimer m_timer;
};
