#pragma once

#include "CXArray.h"
#include "CXDialogEx.h"
#include "CommandIds.h"

#include <QtCore/QString>

class CWxTmpl;
class CWxRcver;
class CXEditCtrl;
class CXListCtrl;
class QPlainTextEdit;

// The desktop's WeChat notice about one record: the students it names who bound their
// WeChat identity, one of the module's message templates (at most four offered), the text
// the sender types for the template's own line, and a preview per receiver.
class CDlgSendWxMsg : public CXDialogEx
{
    Q_OBJECT
    X_DECLARE_MESSAGE_MAP()
public:
    // The record is not owned; it must outlive the dialog.
    explicit CDlgSendWxMsg(CXItem* record, QWidget* parent = nullptr);
    ~CDlgSendWxMsg() override;

    void UpdateControls() override;
    int GetCmdID() const override { return ID_SEND_WXMSG; }

    // The chosen template (null when the module has none).
    CWxTmpl* ChosenTmpl() const;
    // Reads the controls and shows the chosen template's text for the current receiver.
    void RefreshPreview();

    CXItem* m_pItem;
    CXListCtrl* m_list = nullptr;
    CXEditCtrl* m_edit = nullptr;
    QPlainTextEdit* m_preview = nullptr;
    int m_nTmpl = 0;    // index among the module's templates
    int m_nCurrent = 0; // the receiver previewed
    QString m_strUserDef;
    CXArray m_rcvers{nullptr, true};

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    void OnCheckAll();
    void OnCheckClear();
    void OnNext();
    void OnPrev();
    void OnUpdateCheckAll(XCmdUI* ui);
    void OnUpdateCheckClear(XCmdUI* ui);
    void OnUpdateNext(XCmdUI* ui);
    void OnUpdatePrev(XCmdUI* ui);
    int CheckedCount() const;
    QString Caption() const;

    QString m_strLabel; // the user-defined line's label as last shown
};

// Runs the notice dialog for the record; nothing opens when it has no receiver (a warning
// says so).
void RunSendWxMsg(QWidget* parent, CXItem* record);
