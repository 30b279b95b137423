#pragma once

#include "XCmdTarget.h"

#include <QtWidgets/QDockWidget>

#include <vector>

class CModule;
class CXItem;
class QTreeWidget;
class QTreeWidgetItem;

// One root of the navigation tree: a group name and the command ids under it.
struct XNavGroup
{
    QString name;
    std::vector<int> ids;
};

// What a user's navigation tree holds: for each module in creation order that is not hidden
// and that the user may query, its id under its group (the third line of the module's
// resource string, groups in order of first appearance); then "常用操作" with the add-new
// command of every module the user may add to. No user: no right.
std::vector<XNavGroup> BuildNavTree(const std::vector<CModule*>& modules, const CXItem* user);

// The navigation pane: the modules the logged-in user may open, by group, and the add-new
// commands; a click on an entry's text posts its command to the main window.
class CXNavbar : public QDockWidget, public XCmdTarget
{
    Q_OBJECT
    X_DECLARE_MESSAGE_MAP()
public:
    explicit CXNavbar(QMainWindow* frame);

    // At login: the tree for the logged-in user and the layout keys of the section.
    void RestoreLayout(const QString& section);
    // At logout.
    void SaveLayout(const QString& section);
    void OnToggle();
    void OnCollapseAll();
    void OnExpandAll();

    QTreeWidget* Tree() const { return m_wndTree; }
    // Bit i set: the i-th root is collapsed.
    int ExpandBits() const;
    // The command of a click at a point of the tree's viewport: an entry's id when the point
    // is on its text, else 0.
    int CommandAt(const QPoint& viewportPos) const;

    static QString VisibleKey() { return QStringLiteral("MainFrm.Navbar.Visible"); }
    static QString WidthKey(int dpi) { return QStringLiteral("MainFrm.Navbar.Width.dpi%1").arg(dpi); }
    static QString ExpandKey() { return QStringLiteral("MainFrm.Navbar.Expand"); }

protected:
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void OnUpdateAlways(XCmdUI* ui);
    void SetGroupImage(QTreeWidgetItem* root) const;
    void ShowCaptionMenu(const QPoint& globalPos);
    void DockWidth(int width);

    QMainWindow* m_frame;
    QTreeWidget* m_wndTree;
};
