#pragma once

#include "XCmdTarget.h"
#include "XRibbonBar.h"

#include <set>

class CModule;
class CXListCtrl;
class QLineEdit;
class XCommandActions;

// The main window's ribbon: the definition resource on the ribbon widget, with what the
// program adds to it: the drop-downs filled from the active module window, the find box's
// history and balloon, the context menu and dialog that customise the quick access
// toolbar, and the layout saved per user.
class CXRibbonBar : public XRibbonBar
{
    Q_OBJECT
public:
    CXRibbonBar(XRibbonDef def, XCommandActions& actions, QWidget* parent = nullptr);

    // The definition resource; an unreadable one is reported and gives an empty ribbon.
    static XRibbonDef LoadDefinition();

    // The module's find texts, newest first, each once, at most 20.
    static QStringList ReadFindHistory(int mduId);

    // The find history and the six drop-downs from the active module and its list; nothing
    // without a module.
    void RefreshMenus(CModule* module, CXListCtrl* list);
    // A balloon over the middle of the find box; nIcon 1 information, 2 warning.
    void ShowFindBalloon(int nIcon, const QString& text);
    QLineEdit* FindEdit() const;

    void RestoreLayout(const QString& section);
    void SaveLayout(const QString& section);

    // The context menu for an element (or the toolbar, or its customise button), and the
    // command chosen from it. Entries -id toggle a command on the toolbar.
    XMenuSpec CreateContextMenu(int elementId, XRibbonHit hit, std::set<int>& checked) const;
    void OnContextCommand(int choice, int elementId);
    void OnShowRibbonContextMenu(const QPoint& globalPos, int elementId, XRibbonHit hit);
    // The toolbar dialog, modal.
    int RunQatDialog();

private:
    void RecalcLayout();

    XCommandActions& m_actions;
    QString m_strQatDefault;
};
