#pragma once

#include "EditFrame.h"

// The template edit frame's pages: the properties page first, then the content page.
std::unique_ptr<CXDialogEx> CreateTemplEditPage(bool bNew, const CXItem* from);
std::vector<XEditPageMaker> TemplMorePages();
