#pragma once

#include "CXDialogEx.h"

#include <vector>

class CDBTempl;
class CXRichEditCtrl;

// The sheet of a template on screen, in pixels at d dots per inch: its width, the page ends
// (running totals of the printable height of one page, down to the text's height) and the
// whole height with the top and bottom margins.
struct XTemplSheet
{
    int width = 0;
    int height = 0;
    std::vector<int> pageEnds;
};
XTemplSheet TemplSheetGeometry(const CDBTempl& templ, int dpi, int textHeight);

// The template's text on a sheet of its paper: the rich edit sized to the paper with the
// margins around the text and a line where each printed page ends, centred on a blue-grey
// ground that scrolls when the sheet is larger than the window.
class CDlgEditTemplCtrl : public CXDialogEx
{
    Q_OBJECT
public:
    explicit CDlgEditTemplCtrl(QWidget* parent = nullptr);

    // The template whose text the sheet shows and takes its paper and margins from.
    void SetTemplate(CDBTempl* templ) { m_pTempl = templ; }
    // Loads the template's text when it is not what the sheet shows already.
    void LoadTemplate();
    // The sheet's text as RTF, written into the template.
    void SaveTemplate();
    // Paper, margins and page ends again from the template and the text.
    void Relayout();

    // The entries of the sheet's context menu, in the states the target's update handlers
    // give them; chosen ones go to the handler.
    void SetContextCommands(std::vector<int> ids, XCmdTarget* target, std::function<void(int)> handler);

    CXRichEditCtrl* m_edit = nullptr;

protected:
    bool OnInitDialog() override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void PaintGround(QWidget* ground);

    CDBTempl* m_pTempl = nullptr;
    QByteArray m_shown; // the template text the edit holds, as last loaded or saved
    std::vector<int> m_menuIds;
    XCmdTarget* m_menuTarget = nullptr;
    std::function<void(int)> m_onMenu;
};
