#include "CXQrCodes.h"
#include "QrDecoder.h"
#include "WebState.h"

#include <gtest/gtest.h>

#include <QtGui/QImage>

namespace {

struct FakeWeb : IWebStatus
{
    QString GetInternetUrl() const override { return *internet; }
    QString GetLocalUrl() const override { return *local; }
    int GetRelayConnections() const override { return *relays; }
    QString* internet;
    QString* local;
    int* relays;
};

class QrCodesPanel : public ::testing::Test
{
protected:
    std::unique_ptr<CXQrCodes> Make()
    {
        auto web = std::make_unique<FakeWeb>();
        web->internet = &m_internet;
        web->local = &m_local;
        web->relays = &m_relays;
        auto panel = std::make_unique<CXQrCodes>(nullptr, std::move(web));
        panel->resize(220, 250);
        return panel;
    }
    static QImage Shot(CXQrCodes& panel)
    {
        QImage image(panel.size(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        panel.render(&image);
        return image;
    }

    QString m_internet = QStringLiteral("https://school.example.net/m/");
    QString m_local;
    int m_relays = 1;
};

TEST_F(QrCodesPanel, CodesDecodeBackToTheLoginAddresses)
{
    if (!HaveQrDecoder())
        GTEST_SKIP() << "zbarimg is not installed";
    m_local = QStringLiteral("http://192.168.1.5:8080/");
    auto panel = Make();
    EXPECT_EQ(QString::fromUtf8(DecodeQr(Shot(*panel))), m_internet);
    panel->m_nTab = 1;
    EXPECT_EQ(QString::fromUtf8(DecodeQr(Shot(*panel))), m_local);
}

TEST_F(QrCodesPanel, RefreshFollowsAddressesAndReachability)
{
    m_relays = 0;
    auto panel = Make();
    EXPECT_FALSE(panel->GetTab(0).bEnabled);
    EXPECT_TRUE(panel->GetTab(0).strTip.endsWith(QStringLiteral("\n未连接代理服务器，无法访问。")));
    EXPECT_TRUE(panel->GetTab(1).strTip.endsWith(QStringLiteral("\n本地 HTTP 服务未启动，无法访问。")));
    EXPECT_FALSE(panel->Refresh());

    // An unreachable code is drawn grey; once the relay connects it is black.
    const QImage grey = Shot(*panel);
    bool anyGrey = false, anyBlack = false;
    for (int y = 0; y < grey.height(); ++y)
        for (int x = 0; x < 200 && y < 200; ++x) {
            anyGrey = anyGrey || grey.pixel(x, y) == qRgb(192, 192, 192);
            anyBlack = anyBlack || grey.pixel(x, y) == qRgb(0, 0, 0);
        }
    EXPECT_TRUE(anyGrey);
    EXPECT_FALSE(anyBlack);

    m_relays = 2;
    m_local = QStringLiteral("http://10.0.0.2/");
    EXPECT_TRUE(panel->Refresh());
    EXPECT_TRUE(panel->GetTab(0).bEnabled);
    EXPECT_EQ(panel->GetTab(0).strTip, panel->GetTab(0).strCaption);
    EXPECT_EQ(panel->GetTab(1).strUrl, m_local);
    EXPECT_TRUE(panel->GetTab(1).bEnabled);
}

TEST(WebState, AddressesAreEmptyUntilTheServiceSetsThem)
{
    EXPECT_TRUE(xInternet::GetLocalUrl().isEmpty());
    EXPECT_TRUE(xInternet::GetInternetUrl().isEmpty());
    xInternet::SetWebUrls(QStringLiteral("http://a/"), QStringLiteral("https://b/"));
    EXPECT_EQ(xInternet::GetLocalUrl(), QStringLiteral("http://a/"));
    EXPECT_EQ(xInternet::GetInternetUrl(), QStringLiteral("https://b/"));
    xInternet::SetWebUrls(QString(), QString());
}

} // namespace
