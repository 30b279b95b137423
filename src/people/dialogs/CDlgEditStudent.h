#pragma once

#include "CommandIds.h"

#include "CDBStudent.h"
#include "CXDialogEx.h"
#include "CXListCtrl.h"
#include "EditFrame.h"

// A list of the page's lines (accounts, résumé): a list control the page can place by its id.
class CStudentLineList : public CXListCtrl
{
    Q_OBJECT
public:
    explicit CStudentLineList(QWidget* parent = nullptr) : CXListCtrl(parent) {}
};

// The student page of the record edit frame, on its own copy of the student: the person's
// details, photos, phone accounts and résumé lines (each list with add, delete and change),
// the password reset and logout buttons, and merging with a student of the same name.
class CDlgEditStudent : public CXDialogEx, public IXFollowingPages
{
    Q_OBJECT
    X_DECLARE_MESSAGE_MAP()
public:
    // A new student copied from another one is a record of its own, lines included.
    CDlgEditStudent(bool bNew, const CXItem* from, QWidget* parent = nullptr);
    CXItem* GetItem() override { return &m_student; }
    // A saved student with course lines: a read-only "课程" page listing copies of them.
    std::vector<std::unique_ptr<CXDialogEx>> MakeFollowingPages() const override;

    // Add and change act on the list that has the focus, or on the list used last.
    void OnAddLine();
    void OnModifyLine();
    void OnResetPassword();
    void OnLogoutAll();
    void OnMergeDuplicate();
    void OnUpdateLoginButtons(XCmdUI* ui);

    // The list add and change act on now (null when neither list was used).
    CXListCtrl* ActiveList() const;
    // The line dialog ran modally; its result decides whether the line is taken.
    static int RunLineDialog(CXDialogEx& dlg);

    CDBStudent m_student;
    CXListCtrl* m_accountList = nullptr;
    CXListCtrl* m_resumeList = nullptr;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(XDataExchange& dx) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    CXArray* ArrayOf(const CXListCtrl* list);
    // Shows the array's lines again after one was added or changed.
    void ShowLines(CXListCtrl* list);
    CXListCtrl* m_lastList = nullptr;
};
