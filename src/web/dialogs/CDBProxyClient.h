#pragma once

#include "CXItem.h"

class CHeads;
class CXArray;

// One installation the relay server knows, as its status reply lists it. Not stored.
class CDBProxyClient : public CXItem
{
public:
    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CDBProxyClient; }
    CXItem* CopyTo(CXItem* target) const override;
    // An installation without active connections is shown grey.
    int Validate(const CXItem* user, bool bCheckDuplicates) override;

    QString m_strLtdId;
    QString m_strLtdName;
    QString m_strLtdSign;
    QString m_strLocation;
    QString m_strContact;
    QString m_strUrl;
    QString m_strTitle;
    QString m_strVersion;
    QString m_strIpv4;
    XDateTime m_dtFirstConnect;
    XDateTime m_dtLastActive;
    int m_nConnectTotal = 0;
    int m_nRequestTotal = 0;
    double m_fSentKb = 0;
    int m_nSmsTotal = 0;
    int m_nConnects = 0;
};

// A time of the status reply: Unix seconds to local time; 0 stays "no time".
XDateTime FromUnixSeconds(long long seconds);

// Reads a status reply: its "result" ("OK" or the reason) and, for "OK", the server's start
// time and one record per "client" element, validated for the user and appended to items.
QString ReadProxyStatus(const QString& xml, XDateTime& srvStart, CXArray& items, const CXItem* user);

// The status line under the list: start time, uptime (to now) and the counts.
QString ProxyStatusLine(const XDateTime& srvStart, const XDateTime& now, int connected, int disconnected);
