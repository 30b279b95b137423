#pragma once

#include "XMenuSpec.h"
#include "XRibbonDef.h"

#include <QtWidgets/QWidget>

#include <functional>
#include <map>
#include <utility>
#include <vector>

class QAction;
class QComboBox;
class QMenu;
class QStackedWidget;
class QTabBar;
class QToolBar;
class QToolButton;
class QVBoxLayout;

// Sizes in pixels at the screen's DPI: small and large icons and the row of a small element.
struct XRibbonMetrics
{
    int smallIcon = 16;
    int largeIcon = 32;
    int rowHeight = 24;
    static XRibbonMetrics ForDpi(int dpi, int rowHeight);
};

// Where a context menu was asked for.
enum class XRibbonHit { Element, Qat, Customize, Empty };

// A ribbon on ordinary widgets: the application button with its menu, categories as tabs,
// panels of large and small tool buttons, drop-downs whose entries can be replaced at run
// time, combo boxes, the quick access toolbar above or below, and minimising. It owns no
// command state: every element shows the one action of its command id that actionFor
// gives, and triggering an element triggers that action.
class XRibbonBar : public QWidget
{
    Q_OBJECT
public:
    using ActionFor = std::function<QAction*(int id)>;
    XRibbonBar(XRibbonDef def, ActionFor actionFor, const XRibbonMetrics& metrics, QWidget* parent = nullptr);
    ~XRibbonBar() override;

    const XRibbonDef& Definition() const { return m_def; }
    const XRibbonMetrics& Metrics() const { return m_metrics; }

    // --- tabs (context categories are no tabs) ------------------------------------------
    int CategoryCount() const;
    int ActiveCategory() const;
    void SetActiveCategory(int index);
    QString CategoryLabel(int index) const;
    // The definition's category behind a tab (null for an index out of range).
    const XRibbonCategory* Category(int index) const;

    // --- elements ------------------------------------------------------------------------
    // The ribbon's button for a command (the first one), the application button for 0.
    QToolButton* Button(int id) const;
    QComboBox* Combo(int id) const;
    // The drop-down menu of a menu button (null for any other id).
    QMenu* DropDownMenu(int buttonId) const;
    QWidget* PanelArea() const;
    QToolButton* SwitchButton() const { return m_switch; }
    // Replaces a drop-down's entries by the menu's. An entry whose action has no icon takes
    // the icon the entry of that id had in that drop-down before (the definition's
    // sub-items first), remembered for the program's life.
    void SetMenuItems(int buttonId, const XMenuSpec& menu);

    // --- the quick access toolbar ----------------------------------------------------------
    QToolBar* Qat() const { return m_qat; }
    // The commands shown, 0 for a separator, the customise button not counted.
    std::vector<int> QatCommands() const { return m_qatIds; }
    // Shows these commands; an id with no element in the definition is left out.
    void SetQatCommands(const std::vector<int>& ids);
    bool HasQatCommand(int id) const;
    void AddQatCommand(int id);
    void RemoveQatCommand(int id);
    bool IsQatOnBottom() const { return m_bQatOnBottom; }
    void SetQatOnBottom(bool bottom);

    // --- minimising ----------------------------------------------------------------------
    bool IsMinimized() const { return m_bMinimized; }
    void SetMinimized(bool minimized);
    // A minimised ribbon shows its panels while a tab has been clicked, until a command runs.
    bool IsDroppedDown() const { return m_bDropped; }

Q_SIGNALS:
    void contextMenuWanted(const QPoint& globalPos, int elementId, XRibbonHit hit);
    void layoutChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QWidget* BuildCategory(const XRibbonCategory& category);
    QWidget* BuildPanel(const XRibbonPanel& panel);
    QWidget* BuildElement(const XRibbonElement& e, bool large);
    QToolButton* MakeButton(const XRibbonElement& e, bool large);
    void FillMenu(QMenu* menu, const std::vector<XRibbonElement>& items);
    void FillMenu(QMenu* menu, int buttonId, const XMenuSpec& spec);
    void Watch(QWidget* w, int id);
    void RebuildQat();
    void PlaceQat();
    void OnCommandTriggered();

    XRibbonDef m_def;
    ActionFor m_actionFor;
    XRibbonMetrics m_metrics;
    QVBoxLayout* m_layout;
    QToolBar* m_qat;
    QToolButton* m_qatCustomize;
    QAction* m_qatCustomizeAction = nullptr;
    QToolButton* m_appButton;
    QTabBar* m_tabs;
    QToolButton* m_switch;
    QStackedWidget* m_stack;
    std::vector<const XRibbonCategory*> m_tabCategories;
    std::multimap<int, QToolButton*> m_buttons;
    std::map<int, QComboBox*> m_combos;
    std::map<int, QMenu*> m_menus;
    std::vector<int> m_qatIds;
    bool m_bQatOnBottom = false;
    bool m_bMinimized = false;
    bool m_bDropped = false;
};
