#pragma once

#include "CommandIds.h"

#include "CDBTeacher.h"
#include "CXDialogEx.h"

class CXListCtrl;

// The teacher's own page of the record edit frame, on its own copy of the teacher: the
// person, login switches, photos and three lists of lines (résumé, phone accounts, pay
// standards) each edited in its own line dialog.
class CDlgEditTeacher : public CXDialogEx
{
    Q_OBJECT
    X_DECLARE_MESSAGE_MAP()
public:
    // A new teacher copied from another one is a record of its own, with lines of its own.
    CDlgEditTeacher(bool bNew, const CXItem* from);
    CXItem* GetItem() override { return &m_teacher; }
    void UpdateControls() override;

    // Adds a line to the list (a new line dialog); changes its one selected line. True when
    // the line dialog was confirmed.
    bool AddLine(CXListCtrl* list);
    bool ModifyLine(CXListCtrl* list);
    // The list the line commands apply to: the one holding the focus, else the last used.
    CXListCtrl* ActiveList() const;

    void OnAddLine();
    void OnModifyLine();
    void OnUpdateModifyLine(XCmdUI* ui);
    void OnResetPassword();
    void OnEndLogins();

    CDBTeacher m_teacher;
    CXListCtrl* m_resumeList = nullptr;
    CXListCtrl* m_accountList = nullptr;
    CXListCtrl* m_payList = nullptr;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(XDataExchange& dx) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The array a list shows and the line dialog that edits one of its lines.
    CXArray* ArrayOf(CXListCtrl* list);
    bool EditLine(CXListCtrl* list, CXItem* line, bool bNew);
    void Refill(CXListCtrl* list);

    CXListCtrl* m_lastList = nullptr;
};

// The reset-password confirmation of a teacher: module name, title and default password.
QString TeacherResetPasswordPrompt(const QString& moduleName, const QString& title, const QString& defaultPassword);
