#pragma once

#include <functional>

class CXArray;
class CXItem;

// Shows the two students (kept one first) and answers whether to merge them; the desktop
// passes the comparison dialog, tests a plain answer.
using XMergeConfirm = std::function<bool(CXArray& students)>;

// Merges the other student into the kept one: both read fresh, their names equal exactly,
// the user confirms; then the kept student takes the other's details it lacks and every row
// that refers to the other, the other is deleted, all in one transaction that is rolled back
// whole on any failure; the kept student's log gets "合并重名". Every value is bound as a
// parameter. True when the merge was committed.
bool MergeDuplicateStudents(int keptId, int otherId, const XMergeConfirm& confirm, const CXItem& user);
