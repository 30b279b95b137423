#pragma once

#include "CXDialogEx.h"

#include <QtCore/QHash>

class CDBTempl;
class CDlgEditTemplCtrl;
class QAction;
class QToolBar;

// The template's content page of its edit frame: a toolbar (a built-in template or an RTF
// file instead of the text, save as RTF and open it, insert a keyword, preview on a sample
// record) over the text on a sheet of the template's paper.
class CDlgEditTemplEx : public CXDialogEx
{
    Q_OBJECT
    X_DECLARE_MESSAGE_MAP()
public:
    CDlgEditTemplEx();

    // The frame's template (null before the page is placed in a frame).
    CDBTempl* Templ();
    void UpdateControls() override;
    // Room for a sheet: the frame grows to it when it opens.
    QSize sizeHint() const override { return QSize(880, 620); }

    // The text becomes the built-in template of the resource (450..452); a stored template
    // asks first.
    void OnBuiltIn(int resourceId);
    void OnOpenRtf();
    void OnSaveAs();
    void OnInsertKeyword();
    void OnPreview();
    // Save as and preview want some text.
    void OnUpdateNeedsText(XCmdUI* ui);

    // The commands of the toolbar in its order, 0 for a separator.
    static const std::vector<int>& ToolbarCommands();

    QToolBar* m_toolbar = nullptr;
    CDlgEditTemplCtrl* m_sheet = nullptr;
    QHash<int, QAction*> m_actions;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(XDataExchange& dx) override;
    void showEvent(QShowEvent* e) override;

private:
    // Replaces the sheet's text by RTF bytes (cut at the first zero byte).
    void ReplaceText(const QByteArray& rtf);
    bool HasText() const;
};
