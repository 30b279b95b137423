#pragma once

#include "CDBEduRcd.h"
#include "CXDialogEx.h"
#include "CXListCtrl.h"

// The page's lists of student and teacher lines.
class CEduRcdLineList : public CXListCtrl
{
    Q_OBJECT
public:
    explicit CEduRcdLineList(QWidget* parent = nullptr) : CXListCtrl(parent) {}
};

// The class-record page of the record edit frame, on its own copy of the record: status,
// time, place, the teachers and students with their attendance. "全部正常" takes everyone's
// attendance at once; "重置" puts a planned class back to its plan.
class CDlgEditEduRcd : public CXDialogEx
{
    Q_OBJECT
    X_DECLARE_MESSAGE_MAP()
public:
    // Opened as new, the copy loses its timetable (a temporary class) and its ID.
    CDlgEditEduRcd(bool bNew, const CXItem* from);
    CXItem* GetItem() override { return &m_rcd; }
    void UpdateControls() override;

    void OnAllNormal();
    void OnReset();
    void OnAddLine();
    void OnNewLine();
    void OnModifyLine();
    void OnBatchAdd();
    void OnUpdateModifyLine(XCmdUI* ui);
    void OnUpdateBatchAdd(XCmdUI* ui);

    CDBEduRcd m_rcd;
    CEduRcdLineList* m_students = nullptr;
    CEduRcdLineList* m_teachers = nullptr;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(XDataExchange& dx) override;

private:
    // The list that has the focus (students unless the teachers' list has it).
    bool TeachersFocused() const;
    // Opens the line dialog for a new line of the person and adds it on OK.
    bool AddLineOf(const CXBase& person, bool teacher);
    void RefreshLists(const CXItem* select);
};
