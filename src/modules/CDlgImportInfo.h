#pragma once

#include "CHead.h"
#include "CXArray.h"
#include "CXDialogEx.h"

#include <map>
#include <vector>

class CXListCtrl;

// Shows the records an import has parsed before they are saved: row numbers and messages;
// records with errors are dropped on OK.
class CDlgImportInfo : public CXDialogEx
{
    Q_OBJECT
public:
    explicit CDlgImportInfo(int mduId, QWidget* parent = nullptr);
    // Validates the records (again only when the set of records changed) and marks equal
    // non-empty titles as duplicates.
    void UpdateControls() override;

    int m_nMduID;
    CXArray m_items{nullptr, true}; // the importer appends the parsed records
    CHeads m_heads;
    CXListCtrl* m_list = nullptr;
    // What reading a record's cells warned of: kept apart, since validating again clears
    // the record's messages.
    std::map<const CXItem*, QStringList> m_readWarnings;

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    std::vector<const CXItem*> m_validated;
};
