#pragma once

#include "CommandIds.h"

#include <QtCore/QString>

class CXDialogEx;
class CXListCtrl;
class CXMap;

// What both record pickers share: the find text they start with (the newest find in the
// module) and one find in the candidate list, logged whether or not it matched.
QString FirstFindText(int mduId);
// Reads the find edit into findText first.
void PickerFindNext(CXDialogEx& dialog, CXListCtrl& list, int mduId, QString& findText);
// The pickers' find edit is control ID_FIND_WHAT.

// A record list filling the dialog's placeholder control of the id.
CXListCtrl* PlaceList(CXDialogEx& dialog, int id);
// The picker's caption with the description of its query, unless that is "全部".
QString PickerCaption(int mduId, const QString& caption, const CXMap& query);
// Measure word and name of the module ("个课程"), for the pickers' prompts.
QString PickerItemName(int mduId);
// Enter in the find edit searches instead of closing: true when it did.
bool FindInsteadOfOk(CXDialogEx& dialog, CXListCtrl* list, int mduId, QString& findText);
// The list's button: a command of the dialog, also in the list's context menu.
void AddListButton(CXListCtrl& list, int id, bool isDefault);
