#include "FakeModuleHost.h"

#include "CXListCtrl.h"

QObject* CFakeModuleHost::GetView(const CModule& module) const
{
    return module.GetMduID() == MDU_COURSE ? list : nullptr;
}
