#pragma once

#include "CommandIds.h"

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
