#include "XRecordPickers.h"

#include "XAppServices.h"
#include "XService.h"

namespace {

XService<XRecordPickers> g_pickers;

} // namespace

int XRecordPickers::ChooseOne(CModule&, const CXMap&, int, CXBase&) { return IDCANCEL; }
int XRecordPickers::ChooseMany(CModule&, const CXMap&, const std::set<int>&, CXArray&) { return IDCANCEL; }

XRecordPickers& RecordPickers()
{
    static XRecordPickers builtIn;
    return g_pickers.GetOr(builtIn);
}

XRecordPickers* SetRecordPickers(XRecordPickers* pickers) { return g_pickers.Install(pickers); }
