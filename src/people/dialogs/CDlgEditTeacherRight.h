#pragma once

#include "CommandIds.h"

#include "CXDialogEx.h"

class CDBTeacher;
class CXListCtrl;

// The login page of the teacher's edit frame: the role and the rights per module, edited in
// place on the frame's teacher. Only an operator's rights can be changed, one check box at a
// time; 全选, 清除 and 重置 set every row.
class CDlgEditTeacherRight : public CXDialogEx
{
    Q_OBJECT
    X_DECLARE_MESSAGE_MAP()
public:
    CDlgEditTeacherRight();

    // The frame's teacher (null before the page is placed in a frame).
    CDBTeacher* Teacher();
    // A click on the cell of a row: toggles the flag of an operator's row in columns 1..6
    // and validates the row; false when nothing changed.
    bool ClickCell(int row, int column);

    void OnSelectAll();
    void OnClearAll();
    void OnResetAll();
    void OnUpdateRowButtons(XCmdUI* ui);
    void OnSwallow() {}
    void OnUpdateSwallow(XCmdUI* ui);
    void OnRoleChanged();

    CXListCtrl* m_list = nullptr;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(XDataExchange& dx) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Redraw();
};
