#pragma once

#include "CXCmd.h"
#include "XHistoryLogic.h"
#include "XReadOnly.h"

#include <QtWidgets/QLineEdit>

#include <vector>

class XCmdRow;

// The text edit of bound dialogs with a row of command buttons at its right: the input
// history, duplicate indicators, merge, clear, choose folder, find next or a dialog's own
// command. Buttons show only while the edit is enabled and editable.
class CXEditCtrl : public QLineEdit, public IXReadOnly
{
    Q_OBJECT
public:
    enum : int { ID_DUP_ERROR = 415, ID_DUP_WARNING = 417, ID_EDIT_CLEAR = 57632, IDC_IDCARD = 1057 };

    explicit CXEditCtrl(QWidget* parent = nullptr);
    ~CXEditCtrl() override;

    // A button of the row (the edit owns it): indicators are shown but never clicked.
    CXCmd* AddCmd(int id, bool visible, bool isDefault = false, bool indicator = false);
    CXCmd* Cmd(int id) const;
    std::vector<CXCmd*> VisibleCmds() const;
    // The ID of another record holding this text, 0 none, -1 when the check does not apply.
    int FindDuplicate() const;
    void OnButton(int id);
    // The indicators, merge and clear follow the text; then the dialog's update pass.
    void OnChange();
    void RecalcLayout();
    XCmdRow* Row() const { return m_row; }
    void OnReadOnlyChanged(bool readOnly) override;

    std::vector<CXCmd*> m_cmds;
    QString m_strTable;
    QString m_strColumn;

protected:
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void SetCmdShown(CXCmd* c, bool shown, bool& changed);
    XCmdRow* m_row = nullptr;
};
