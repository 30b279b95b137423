#pragma once

#include <QtCore/QString>

class CXDialogEx;
class CXListCtrl;

// What both record pickers share: the find text they start with (the newest find in the
// module) and one find in the candidate list, logged whether or not it matched.
QString FirstFindText(int mduId);
void PickerFindNext(CXDialogEx& dialog, CXListCtrl& list, int mduId);
// The control id of the pickers' find edit.
inline constexpr int kPickerFindEdit = 33208;
