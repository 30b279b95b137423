#pragma once

#include "EditFrame.h"

#include <memory>
#include <vector>

class CXArray;
class CXDialogEx;
class CXItem;

// The teacher's edit pages, for the application's module table and for tests: the teacher
// page holds the record, the login page after it edits the frame's teacher.
std::unique_ptr<CXDialogEx> CreateTeacherEditPage(bool bNew, const CXItem* item);
std::unique_ptr<CXDialogEx> CreateTeacherRightPage(bool bNew, const CXItem* item);
std::vector<XEditPageMaker> TeacherMorePages();
// Registers both pages with the module layer.
void RegisterTeacherEditPages();

// What a line dialog starts from: a copy of the source (the defaults without one); a new
// line copied from a source gets a row of its own (its line ID, or its record ID when it
// has no owning array, cleared); owner and parent ID come from the array.
void PrepareLineCopy(const CXItem* from, CXArray* owner, bool bNew, CXItem& line);
