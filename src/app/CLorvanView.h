#pragma once

#include "CXArray.h"
#include "CXListCtrl.h"
#include "XCmdTarget.h"

#include <QtWidgets/QWidget>

#include <memory>
#include <thread>

class CModule;
class CXPropBar;

// Where a command of a module window goes: the view's or the module's own handler, or the
// record list, whose answer is final. Ids from 0xE000 up and other codes take the normal
// routing (view, then module).
enum class XViewRoute { Own, List };
XViewRoute RouteViewCommand(int id, int code, bool viewOrModuleHandles);

// A module window's view: the module's records for its current query in the record list,
// the find options, and the detail pane the child frame docks beside it. Record commands
// are the view's own; schemes, queries and related records the module's; everything else
// the list's.
class CLorvanView : public QWidget, public XCmdTarget, public IXListView
{
    Q_OBJECT
    X_DECLARE_MESSAGE_MAP()
public:
    CLorvanView(CModule& module, QWidget* parent = nullptr);
    ~CLorvanView() override;

    CModule& GetModule() const { return m_module; }
    CXListCtrl* GetList() const { return m_list; }

    // Once, when the window opens: the detail pane and the find options, then OnUpdate.
    void OnInitialUpdate(CXPropBar* propBar);
    // Every refresh: the records of the module's current query, the selection kept by ID.
    void OnUpdate();

    bool OnCmdMsg(int id, int code, XCmdUI* ui, bool probeOnly = false) override;
    bool HasCommandHandler(int id, int code) const override;

    // Finds the next list row holding the text; only a hit is logged and keeps the options.
    bool FindText(const QString& text);

    // The capability word's entries and the list's menus, as the context menu offers them.
    XMenuSpec CreateContextMenu() const;

    CXArray m_items{nullptr, true};
    int m_bFindWholeWord = 0;
    int m_bFindMatchCase = 0;
    int m_bFindDown = 1;
    CXPropBar* m_wndPropBar = nullptr; // owned by the child frame
    // Lists that grow without bound show this many of their newest rows first; the rest is
    // read meanwhile on a worker thread and joins the list when it is there.
    static inline int s_nPageRows = 2000;
    // Whether the rest of a first page is still being read.
    bool IsReadingRest() const { return m_restReader.joinable() && !m_bRestShown; }

protected:
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    void OnAddNew();
    void OnAddCopy();
    void OnRefresh();
    void OnPrint(int id);
    void OnSendWxMsg();
    void OnViewDetail();
    void OnFind();
    void OnFindOption(int id);
    void OnUpdateCommand(XCmdUI* ui);
    // The one selected record, or null unless exactly one is selected.
    CXItem* SelectedItem() const;
    bool HasRight(int bits) const;
    QString FindKey(const char* name) const;
    void ReadRest(double bound);
    void OnRestRead(const std::shared_ptr<CXArray>& rest, bool ok, int generation);
    // Waits for a rest still being read; its rows are dropped.
    void DropRest();

    CModule& m_module;
    CXListCtrl* m_list;
    std::thread m_restReader;
    int m_nReadGeneration = 0;
    bool m_bRestShown = false;
};
