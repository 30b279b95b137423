#pragma once

#include <memory>

class CXDialogEx;
class CXItem;

// The edit pages of this folder's modules, for the application's creation table and for
// tests (which register them with SetEditPageMaker).
std::unique_ptr<CXDialogEx> CreateCourseEditPage(bool bNew, const CXItem* item);
std::unique_ptr<CXDialogEx> CreateChargeEditPage(bool bNew, const CXItem* item);
std::unique_ptr<CXDialogEx> CreateStudentEditPage(bool bNew, const CXItem* item);
// The receipt page; a saved receipt's alteration page follows it (IXFollowingPages).
std::unique_ptr<CXDialogEx> CreateReceiptEditPage(bool bNew, const CXItem* item);

// Registers the pages with the module layer.
void RegisterPeopleEditPages();
