#pragma once

#include "XMenuSpec.h"

#include <functional>
#include <memory>

class CDlgEdit;
class CModule;
class CXArray;
class CXBase;
class CXDialogEx;
class CXItem;
class CXMap;

#include <set>

// The record pickers over a module, installed by the part of the program that has them;
// the built-in ones are not available, so a new record shows without them.
class XRecordPickers
{
public:
    virtual ~XRecordPickers() = default;
    virtual bool IsAvailable() const { return false; }
    // IDOK with the chosen record copied into chosen, IDCANCEL; the record with the
    // ID starts selected (0: none).
    virtual int ChooseOne(CModule& module, const CXMap& query, int startId, CXBase& chosen);
    // IDOK with the chosen records appended, IDCANCEL; the records with the IDs start
    // chosen when the query returns them.
    virtual int ChooseMany(CModule& module, const CXMap& query, const std::set<int>& startIds, CXArray& chosen);
};
// The pickers of the desktop: the one- and several-record picker dialogs.
class CDialogPickers : public XRecordPickers
{
public:
    bool IsAvailable() const override { return true; }
    int ChooseOne(CModule& module, const CXMap& query, int startId, CXBase& chosen) override;
    int ChooseMany(CModule& module, const CXMap& query, const std::set<int>& startIds, CXArray& chosen) override;
};
XRecordPickers& RecordPickers();
// Installs the pickers (not owned; null for the built-in ones) and returns the previous.
XRecordPickers* SetRecordPickers(XRecordPickers* pickers);

// A module's own edit page: a page dialog editing its own copy of the record (a new one
// when the record is null).
using XEditPageMaker = std::function<CXDialogEx*(bool bNew, const CXItem* item)>;
// Registers the module's page (an empty function: the module has no edit frame).
void SetEditPageMaker(int mduId, XEditPageMaker maker);

// The module's edit frame over its own page, finished by PrepareEditDialog; null when the
// module has no edit frame or a required choice was cancelled. The caller runs and deletes it.
CDlgEdit* CreateEditDialog(CModule& module, bool bNew, const CXItem* item);
// A new record first gets the records its editable, still empty links into other modules
// must name, through the one-record picker; cancelling one cancels the record. Then it is
// validated; saved ones get one page per relation that
// applies to them. Null (and the frame deleted) when the user cancelled.
CDlgEdit* PrepareEditDialog(CModule& module, CDlgEdit* frame, bool bNew);

// One record in the module's edit frame (its edits copied back on OK), several (or a
// module without edit frame) as one read-only page; IDCANCEL when nothing was saved.
// A null module opens the records as a read-only page of no module.
int OpenItems(CModule* module, CXArray& items, bool bViewOnly);
// The record a link names, read and opened read-only; 0 when it cannot be read.
int OpenItemRef(const CXBase& ref);

// Saves the column scheme text as a new scheme of the module through the scheme's edit
// frame, then reads the module's column schemes again. False when nothing was saved.
bool SaveHeadScheme(int mduId, const QString& setup);

// What the link controls ask of the module layer: new records through the module's edit
// frame, choices through the installed pickers, opening through OpenItems.
class XLinkActions;
XLinkActions& ModuleLinkActions();

// The column-scheme menu for a module list's header: the schemes of the module whose view
// holds the list; null for a list of no module.
class CXListCtrl;
std::unique_ptr<XMenuSpec> ModuleHeadsMenu(const CXListCtrl& list);
