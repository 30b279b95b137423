#pragma once

#include "CLorvanDoc.h"

#include <QtWidgets/QMainWindow>

class CLorvanView;
class CModule;
class CXPropBar;

// A module window inside the main frame's tabs: a main window of its own, so the detail
// pane docks on the right of the module's view. Its document writes the pane's layout
// when the window closes.
class CChildFrame : public QMainWindow
{
    Q_OBJECT
public:
    explicit CChildFrame(CModule& module, QWidget* parent = nullptr);
    ~CChildFrame() override;

    CLorvanView* GetView() const { return m_view; }
    CXPropBar* GetPropBar() const { return m_propBar; }
    CLorvanDoc& GetDocument() { return m_doc; }

    // The detail pane's stored width and visibility, then the view's first update.
    void OnInitialUpdate();
    // The pane width the user's layout asks for (at most once a window exists to size).
    int m_nPaneWidth = 0;

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void CloseDocument();

    CLorvanDoc m_doc;
    CLorvanView* m_view;
    CXPropBar* m_propBar;
    bool m_bClosed = false;
    bool m_bSized = false;
};
