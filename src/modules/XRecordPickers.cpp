#include "XRecordPickers.h"

#include "XAppServices.h"

namespace {

XRecordPickers* g_pickers = nullptr;

} // namespace

int XRecordPickers::ChooseOne(CModule&, const CXMap&, int, CXBase&) { return IDCANCEL; }
int XRecordPickers::ChooseMany(CModule&, const CXMap&, const std::set<int>&, CXArray&) { return IDCANCEL; }

XRecordPickers& RecordPickers()
{
    static XRecordPickers builtIn;
    return g_pickers ? *g_pickers : builtIn;
}

XRecordPickers* SetRecordPickers(XRecordPickers* pickers)
{
    XRecordPickers* previous = g_pickers;
    g_pickers = pickers;
    return previous;
}
