#pragma once

#include "CXArray.h"
#include "CXDialogEx.h"

class CXItem;
class CXListCtrl;

// Chooses one of a module's enabled print templates from the record list. Callers run it
// only with two or more: one template is chosen without asking, none is "无可用的打印模板！".
class CDlgSelTempl : public CXDialogEx
{
    Q_OBJECT
public:
    CDlgSelTempl(const CXArray& templs, QWidget* parent = nullptr);
    void UpdateControls() override;

    CXListCtrl* m_list = nullptr;
    CXItem* m_chosen = nullptr; // after IDOK

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    CXArray m_templs{nullptr, false}; // the caller's templates, not owned
};
