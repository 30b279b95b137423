#pragma once

#include "CXArray.h"
#include "CXDialogEx.h"

class QTreeWidget;

// The input history of a column to pick from, most used first; an administrator can
// correct a value everywhere it was used.
class CDlgSelHistory : public CXDialogEx
{
    Q_OBJECT
    X_DECLARE_MESSAGE_MAP()
public:
    explicit CDlgSelHistory(QWidget* parent = nullptr);
    // Reads the history first: none gives "未找到历史记录！" and IDCANCEL.
    int RunHistory();

    QString m_strTable;
    QString m_strColumn;
    QString m_strValue;
    int m_bMultiLine = 0;
    CXArray m_items;

    QTreeWidget* List() const;
    bool IsAdmin() const;
    void OnModify();
    void OnUpdateOK(XCmdUI* ui);
    void OnUpdateModify(XCmdUI* ui);

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    void Fill();
};

// The editor of one history value.
class CDlgEditHistory : public CXDialogEx
{
    Q_OBJECT
public:
    // Multi-line: the edit takes Enter as a line break.
    explicit CDlgEditHistory(bool multiLine = false, QWidget* parent = nullptr);
    QString m_strText;
    const int m_bMultiLine;
    bool m_bReadOnly = false;

protected:
    bool OnInitDialog() override;
    void OnOK() override;
};
