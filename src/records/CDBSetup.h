#pragma once

#include "CXItem.h"
#include "XThread.h"

#include <memory>

class CHeads;

// The program-wide preferences: one record without a table, each stored field a row of the
// settings store (section "Global", the field's column as key; a value at its default has
// no row). The application keeps the current copy; editors (the preferences dialog, the web
// route) work on a copy started with BeginEdit and hand it to Save.
class CDBSetup : public CXItem
{
public:
    CDBSetup();
    ~CDBSetup() override;

    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CDBSetup; }
    int Validate(const CXItem* user, bool bCheckDuplicates) override;
    int GetAccess(const CHead* head, const CXItem* user) const override;

    // Reads every stored field from the settings store, then validates.
    void Load();

    // Becomes a copy of the current preferences (CurrentSetup, taken under the services'
    // mutex) and remembers them as the values this edit started from.
    void BeginEdit();

    // Stores and logs the fields this edit changed from the values it started from (all
    // fields that differ from the current preferences when BeginEdit was not called), puts
    // exactly those fields into the current preferences, deletes the logos no longer used,
    // and when the WeChat keys changed asks the token thread to refresh and waits for it
    // at most 10 s. Two edits saved one after the other thus keep each other's changes.
    void Save(const CXItem& oper);

    // Resets the editable fields of one group (caption, any case; empty: all groups) to
    // their defaults, then validates.
    void ResetGroup(const QString& caption);

    // The text of the log row of one changed field: "caption：displayed value".
    QString ChangeText(const CHead* head) const;

    // Computed fields.
    QString GetBackupFolder() const;
    QString GetWxDomain() const;
    QString GetWxLoginUrl() const;
    QString GetOwnVersion() const;

    QString m_strRecordName;
    QString m_strGroupName;
    QString m_strLtdLocation;
    QString m_strLtdContact;
    QString m_strLtdTitle;
    CXImage m_imgStdLogo;
    CXImage m_imgBigLogo;
    int m_nLtdClassForm = 0;
    int m_nBackupDays = 0;
    int m_nBackupHold = 0;
    QString m_strBackupPath;
    int m_nOpenWithXls = 0;
    int m_nOpenWithRtf = 0;
    int m_nWarnRemained = 0;
    int m_nRcdAdvance = 0;
    int m_nDemoWarnDays = 0;
    int m_nDefaultDur0 = 0;
    int m_nDefaultDur1 = 0;
    int m_nLoginTimeout = 0;
    int m_nImgSizeMax = 0;
    QString m_strDefaultPwd0;
    QString m_strDefaultPwd1;
    QString m_strKeyFmtRcp;
    QString m_strKeyFmtClc;
    QString m_strWxAppID;
    QString m_strWxAppSecret;
    QString m_strWxMPverify;

private:
    std::unique_ptr<CDBSetup> m_pStart; // the values this edit started from
};

// The editable fields of the table, in table order: the stored ones.
bool IsStoredSetupHead(const CHead* head);
// Whether the field holds the same value in both records (texts exact, images by row id).
bool SameSetupValue(const CHead* head, const CDBSetup& a, const CDBSetup& b);
// The field's value as the settings store keeps it.
QString SetupValueText(const CHead* head, const CDBSetup& setup);

// The current preferences of the process (the application object's), read and changed only
// under AppServices().Mutex(). Installed by the application; without one, Save stores and
// logs but has no current copy to update.
CDBSetup* SetCurrentSetup(CDBSetup* setup);
CDBSetup* CurrentSetup();

// The WeChat token thread's two events: a request to refresh now (auto-reset, starts set)
// and its answer after each pass (auto-reset, starts clear).
XEvent& WxRefreshEvent();
XEvent& WxRefreshedEvent();
