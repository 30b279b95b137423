#pragma once

#include "CDBCharge.h"
#include "CXDialogEx.h"
#include "CXListCtrl.h"

// The page's list of course lines: a list control the page can place by its id.
class CChargeCourseList : public CXListCtrl
{
    Q_OBJECT
public:
    explicit CChargeCourseList(QWidget* parent = nullptr) : CXListCtrl(parent) {}
};

// The package page of the record edit frame, on its own copy of the package, with the list
// of its courses (batch add, delete, open).
class CDlgEditCharge : public CXDialogEx
{
    Q_OBJECT
    X_DECLARE_MESSAGE_MAP()
public:
    enum : int {
        IDC_NAME = 1135,
        IDC_CHECK_BGN = 1047,
        IDC_CHECK_END = 1048,
        IDC_COURSES = 1243,
        IDC_CLASS_COUNTED = 1038,
        IDC_CLASS_PERIOD = 1039,
        IDC_FIXED_LONG = 1042,
        IDC_FIXED_SHORT = 1043,
        IDC_VALID_DAYS = 1241,
        IDC_USEFUL_BGN = 1235,
        IDC_USEFUL_END = 1236,
        IDC_LESSONS = 1073,
        IDC_UNIT_PRICE = 1234,
        IDC_PRICE = 1111,
        IDC_MEMO = 1134,
        ID_ADD_COURSES = 32789,
    };

    // A new package from another one gets course rows of its own.
    CDlgEditCharge(bool bNew, const CXItem* from);
    CXItem* GetItem() override { return &m_charge; }

    // Batch add: the enabled courses not yet in the package, picked several at once, are
    // added and become the list's selection.
    void OnAddCourses();
    void OnUpdateAddCourses(XCmdUI* ui);

    CDBCharge m_charge;
    CChargeCourseList* m_list = nullptr;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(XDataExchange& dx) override;
};
