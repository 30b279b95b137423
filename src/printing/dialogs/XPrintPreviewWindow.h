#pragma once

#include <QtWidgets/QMainWindow>

#include <map>
#include <memory>

class CXPrintPreview;
class CXPrintView;
class QAction;
class QLabel;

// The window of a preview job: the preview toolbar (print, the four view modes, marks,
// paging and zoom), the preview itself and the status panes of printer, paper,
// orientation, colour, duplex, page and template. Closing it ends the job.
class XPrintPreviewWindow : public QMainWindow
{
    Q_OBJECT
public:
    XPrintPreviewWindow(std::unique_ptr<CXPrintView> view, const QString& title, const QString& docTitle,
                        QWidget* parent = nullptr);
    ~XPrintPreviewWindow() override;

    CXPrintPreview* Preview() const { return m_preview; }
    CXPrintView* View() const { return m_view.get(); }
    QAction* Action(int id) const;
    QString PaneText(int id) const;
    // Runs a toolbar command as its button would.
    void OnCommand(int id);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void UpdateCommands();

    std::unique_ptr<CXPrintView> m_view;
    CXPrintPreview* m_preview;
    QString m_docTitle;
    std::map<int, QAction*> m_actions;
    std::map<int, QLabel*> m_panes;
};
