#pragma once

#include <QtWidgets/QDockWidget>

class CHtmlCtrl;

// Pane widths are kept at 96 dpi: below 40 a pane hides itself, and a pane shown again
// that is that narrow comes back 350 wide.
int PaneMinWidth(int dpi);
int PaneDefaultWidth(int dpi);

// The detail pane of a module window: the selected record as HTML, docked on the right of
// the module's child frame.
class CXPropBar : public QDockWidget
{
    Q_OBJECT
public:
    explicit CXPropBar(QWidget* parent = nullptr);

    // Hides a visible pane; shows a hidden one, at the default width when it was squeezed.
    void OnToggle();

    CHtmlCtrl* m_wndHtml = nullptr;

protected:
    void resizeEvent(QResizeEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
};
