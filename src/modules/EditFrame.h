#pragma once

#include <QtCore/QString>

#include <functional>
#include <memory>
#include <vector>

class CDlgEdit;
class CModule;
class CXArray;
class CXBase;
class CXDialogEx;
class CXItem;

// A module's own edit page: a page dialog editing its own copy of the record (a new one
// when the record is null).
using XEditPageMaker = std::function<std::unique_ptr<CXDialogEx>(bool bNew, const CXItem* item)>;
// A module's page that brings pages of its own to follow it in the frame (read-only views
// of the record's lines); asked once, when the frame is made.
class IXFollowingPages
{
public:
    virtual ~IXFollowingPages() = default;
    virtual std::vector<std::unique_ptr<CXDialogEx>> MakeFollowingPages() const = 0;
};

// Registers the module's page (an empty function: the module has no edit frame).
void SetEditPageMaker(int mduId, XEditPageMaker maker);
// Registers the module's pages in tab order; the first holds the record, the others edit
// the frame's record (CXDialogEx::GetItem). No makers: the module has no edit frame.
void SetEditPageMakers(int mduId, std::vector<XEditPageMaker> makers);

// The module's edit frame over its own page, finished by PrepareEditDialog; null when the
// module has no edit frame or a required choice was cancelled.
std::unique_ptr<CDlgEdit> CreateEditDialog(CModule& module, bool bNew, const CXItem* item);
// A new record first gets the records its editable, still empty links into other modules
// must name, through the one-record picker; cancelling one cancels the record. Then it is
// validated; saved ones get one page per relation that
// applies to them. Null (the frame gone) when the user cancelled.
std::unique_ptr<CDlgEdit> PrepareEditDialog(CModule& module, std::unique_ptr<CDlgEdit> frame, bool bNew);

// One record in the module's edit frame (its edits copied back on OK), several (or a
// module without edit frame) as one read-only page; IDCANCEL when nothing was saved.
// A null module opens the records as a read-only page of no module.
int OpenItems(CModule* module, CXArray& items, bool bViewOnly);
// The record a link names, read and opened read-only; 0 when it cannot be read.
int OpenItemRef(const CXBase& ref);

// Saves the column scheme text as a new scheme of the module through the scheme's edit
// frame, then reads the module's column schemes again. False when nothing was saved.
bool SaveHeadScheme(int mduId, const QString& setup);
