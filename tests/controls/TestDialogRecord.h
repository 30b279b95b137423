#pragma once

// A pupil record and an edit dialog over it, the fixture of the dialog tests: two radio
// groups, labels before and units after their controls, a group-start check box with an
// inner check box and edit, number edits, an option combo box and the closing buttons.
#include "CHead.h"
#include "CXDialogEx.h"
#include "CXItem.h"

#include <map>
#include <vector>

class CTestPupil : public CXItemT<MDU_STUDENT>
{
public:
    CTestPupil() { CTestPupil::Reset(); }
    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CTestPupil; }

    // field access by member offset (fields not listed: their table's access)
    int GetAccess(const CHead* head, const CXItem* user) const override;
    // option texts by member offset replace the table's when set
    void GetOptions(const CHead* head, QStringList& texts, QList<int>& values) const override;
    // the scripted messages of the next validation
    int Validate(const CXItem* user, bool bCheckDuplicates) override;

    int m_nSex = 0;
    int m_nLessons = 1;
    double m_fFee = 0;
    int m_bHasNote = 0;
    int m_bUrgent = 0;
    QString m_strNote;
    QString m_strRemark; // multi-line
    int m_nLevel = 0;
    int m_nMode = 0;
    QString m_strAddress;
    int m_nRate = 0;     // percent
    int m_nUnlisted = 0; // bound by mistake: no field describes it

    std::map<int, int> access;
    std::map<int, QStringList> options;
    std::vector<CXStatus> script;
    int validations = 0;
};

enum : int {
    IDC_NAME_LABEL = 1000,
    IDC_NAME = 1001,
    IDC_SEX_MALE = 1003,
    IDC_SEX_FEMALE = 1004,
    IDC_SEX_OTHER = 1009,
    IDC_LESSONS_LABEL = 1005,
    IDC_TEST_LESSONS = 1006,
    IDC_FEE = 1008,
    IDC_HASNOTE = 1010,
    IDC_URGENT = 1011,
    IDC_NOTE = 1012,
    IDC_REMARK = 1013,
    IDC_LEVEL = 1015,
    IDC_MODE_SCHOOL = 1020,
    IDC_MODE_HOME = 1021,
    IDC_ADDRESS = 1022,
    IDC_RATE = 1025,
    IDC_BROWSE = 1030,
    IDC_TIP = 1031,
};

// The pupil dialog's table (template 9001, caption "学员信息").
const XDlgTemplate& PupilTemplate(unsigned extraStyle = 0);

class CDlgTestPupil : public CXDialogEx
{
    X_DECLARE_MESSAGE_MAP()
public:
    CDlgTestPupil(CTestPupil* pupil, bool addNew = false, const XDlgTemplate* templ = nullptr,
                  QWidget* parent = nullptr);
    CXItem* GetItem() override { return m_pPupil; }
    void DoDataExchange(XDataExchange& dx) override;

    void OnBrowse() { ++browsed; }
    void OnUpdateBrowse(XCmdUI* ui) { ui->Enable(browseEnabled); }

    CTestPupil* m_pPupil;
    bool bindTwice = false; // binds IDC_NAME again to the address
    bool bindUnlisted = false;
    int browsed = 0;
    bool browseEnabled = true;
};
