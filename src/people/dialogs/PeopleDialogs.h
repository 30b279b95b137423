#pragma once

class CXDialogEx;
class CXItem;

// The edit pages of this folder's modules, for the application's creation table and for
// tests (which register them with SetEditPageMaker).
CXDialogEx* CreateCourseEditPage(bool bNew, const CXItem* item);
CXDialogEx* CreateChargeEditPage(bool bNew, const CXItem* item);

// Registers both pages with the module layer.
void RegisterPeopleEditPages();
