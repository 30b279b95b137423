#pragma once

#include "CFakeAppServices.h"
#include "CHttpSession.h"
#include "CModule.h"
#include "CWxTmpl.h"
#include "CXArray.h"
#include "CXMap.h"
#include "FakeWeChat.h"
#include "FebruaryTaughtTest.h"
#include "WebState.h"
#include "WxSession.h"

// The fixture school with February taught, its modules' WeChat templates loaded, a WeChat
// access token, the relay's address, and a stand-in for WeChat.
class WxNoticeTest : public FebruaryTaughtTest
{
protected:
    void SetUp() override
    {
        FebruaryTaughtTest::SetUp();
        LoadWxTemplates();
        xInternet::UpdateWebServiceState(
            [](xInternet::WebServiceState& s) { s.wxAccessToken = QStringLiteral("TOKEN-1"); });
        xInternet::SetWebUrls(QString(), QStringLiteral("https://abc.relay.example"));
        CFakeAppServices::Installed().user = &FixtureUser();
    }
    void TearDown() override
    {
        CFakeAppServices::Installed().user = nullptr;
        xInternet::SetWebUrls(QString(), QString());
        xInternet::UpdateWebServiceState([](xInternet::WebServiceState& s) { s = xInternet::WebServiceState(); });
        {
            std::lock_guard lock(xInternet::SessionLock());
            xInternet::SessionMap().clear();
        }
        FebruaryTaughtTest::TearDown();
    }
    // A WeChat login of the student (a verified session holding the student's identity);
    // the session id is returned.
    static QString Bind(int studentId, const QString& openid)
    {
        const QString id = xInternet::MakeWxSessionId(openid);
        auto* identity = new CXItem;
        identity->m_nMduID = MDU_STUDENT;
        identity->m_nID = studentId;
        identity->m_strSession = id;
        std::lock_guard lock(xInternet::SessionLock());
        xInternet::SessionMap().emplace(id, std::make_unique<CHttpSession>(identity));
        return id;
    }
    // A stored record read back (owned by m_read).
    CXItem* Read(int mduId, int id)
    {
        CXMap query;
        query.SetText(1, QString::number(id));
        m_read.RemoveAll();
        if (!FindModule(mduId)->QueryItems(m_read, query, true, true) || m_read.IsEmpty())
            return nullptr;
        return m_read.GetAt(0);
    }

    FakeWeChat m_wx;
    CXArray m_read{nullptr, true};
};
