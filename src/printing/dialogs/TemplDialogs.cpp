#include "TemplDialogs.h"

#include "CDlgEditTempl.h"
#include "CDlgEditTemplEx.h"

std::unique_ptr<CXDialogEx> CreateTemplEditPage(bool bNew, const CXItem* from)
{
    return std::make_unique<CDlgEditTempl>(bNew, from);
}

std::vector<XEditPageMaker> TemplMorePages()
{
    return {[](bool, const CXItem*) -> std::unique_ptr<CXDialogEx> { return std::make_unique<CDlgEditTemplEx>(); }};
}
