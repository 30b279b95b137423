#pragma once

#include "CDBEduSch.h"
#include "CXDialogEx.h"
#include "CXListCtrl.h"

// A line list of the timetable page.
class CEduSchLineList : public CXListCtrl
{
    Q_OBJECT
public:
    explicit CEduSchLineList(QWidget* parent = nullptr) : CXListCtrl(parent) {}
};

// The timetable page of the record edit frame, on its own copy of the timetable: course,
// class form, period, time and place, and the teacher and student lists with their line
// dialogs; students who enrolled with one package can be added in one go.
class CDlgEditEduSch : public CXDialogEx
{
    Q_OBJECT
    X_DECLARE_MESSAGE_MAP()
public:
    // A new timetable from another one gets line rows of its own.
    CDlgEditEduSch(bool bNew, const CXItem* from);
    ~CDlgEditEduSch() override;
    CXItem* GetItem() override { return &m_sch; }

    // Add: a teacher or student picked for the focused list, then its line dialog.
    void OnAddLine();
    // Modify: the one selected line of the focused list in its dialog.
    void OnModifyLine();
    void OnUpdateModifyLine(XCmdUI* ui);
    // Batch add: a lesson package of the course, then the students enrolled with it.
    void OnBatchAdd();
    void OnUpdateBatchAdd(XCmdUI* ui);

    // The students chosen in the batch add become new lines (as the timetable), selected.
    void AddChosenStudents(const CXArray& chosen);

    CDBEduSch m_sch;
    CEduSchLineList* m_teacherList = nullptr;
    CEduSchLineList* m_studentList = nullptr;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(XDataExchange& dx) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CXListCtrl* ActiveList() const;
    void LayOutLists();
    void RefreshLists(const std::vector<const CXItem*>& select);
    CXListCtrl* m_lastList = nullptr;
};
