#pragma once

#include "CHead.h"
#include "CXItem.h"
#include "CXLogUser.h"

// One row of the operation log: who did what, when, from where, on which record.
class CDBOperLog : public CXItemT<MDU_OPERLOG>
{
public:
    CDBOperLog();

    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CDBOperLog; }

    QString FormatText(const CHead* head, bool bUnit, bool bPrefix, bool bDisplay) const override;
    int GetAccess(const CHead* head, const CXItem* user) const override;
    QString GetEmptyText(const CHead* head) const override;

    // The operator: module and ID of the user (ID 0 = the built-in administrator), the time
    // of the operation as its date, its session and client address, its name as title.
    CXLogUser m_user;
    // The record the operation concerns: module, ID and title.
    CXBase m_item;
    int m_nTypeID = OPER_LOGIN;
    int m_bSessionEnd = 0;
    QString m_strExtr;

private:
    QString GetItemModuleName() const;
    int GetWeChat() const;
};
