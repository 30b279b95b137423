#pragma once

#include "CXDialogEx.h"
#include "CXMap.h"
#include "CommandIds.h"

#include <vector>

class CModule;
class CXQueryOption;

// The custom query dialog: a form built at run time from the module's query options, one
// row per option (a check box that switches the condition on, then the option's controls),
// editing a copy of the module's query.
class CDlgQuery : public CXDialogEx
{
    Q_OBJECT
    X_DECLARE_MESSAGE_MAP()
public:
    CDlgQuery(int mduId, const CXMap& query, QWidget* parent = nullptr);

    // Shows m_query in the form, then reads it back so the map holds what the form shows.
    void LoadControls();
    // Rebuilds m_query from the checked rows.
    void UpdateControls() override;
    void OnSchemeButton(int id);

    struct Row
    {
        const CXQueryOption* option = nullptr;
        QWidget* check = nullptr;       // the row check box
        std::vector<QWidget*> controls; // the option's controls in z-order
    };
    const std::vector<Row>& Rows() const { return m_rows; }

    int m_nMduID;
    CXMap m_query;

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    void BuildForm();
    void OnSchemeMore() { OnSchemeButton(IDC_MORE); }
    void OnSchemeSave() { OnSchemeButton(IDC_SAVEAS); }
    void OnSchemeReset() { OnSchemeButton(IDC_RESET); }

    CModule* m_pModule;
    std::vector<Row> m_rows;
};
