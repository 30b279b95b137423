#pragma once

#include "CommandIds.h"

#include "CXDialogEx.h"

class CHtmlCtrl;
class CXArray;

// Shows two students of the same name side by side before they are merged; OK merges.
class CDlgMergeRepeat : public CXDialogEx
{
    Q_OBJECT
public:
    // The records are shown, not owned (the kept student first).
    explicit CDlgMergeRepeat(CXArray& students, QWidget* parent = nullptr);

    // The page's HTML: each student as an item of the document, through the inner sheet.
    QString BuildHtml() const;

    CHtmlCtrl* m_html = nullptr;

protected:
    bool OnInitDialog() override;

private:
    CXArray& m_students;
};

// The desktop's confirmation for MergeDuplicateStudents: the comparison dialog, modal.
bool ConfirmStudentMerge(CXArray& students);
