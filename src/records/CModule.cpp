#include "CModule.h"

#include "Resources.h"

#include <algorithm>

namespace {

std::vector<CModule*>& Modules()
{
    static std::vector<CModule*> modules;
    return modules;
}

// The document string: "description\nname\ngroup\n\n\n\n".
QString DocumentPart(int mduId, int part)
{
    const QStringList parts = LoadStringText(mduId).split(u'\n');
    return part < parts.size() ? parts[part] : QString();
}

} // namespace

CModule::CModule(int mduId) : m_nMduID(mduId) {}

CModule::~CModule() { UnregisterModule(this); }

QString CModule::GetName() const { return LoadCommandText(m_nMduID); }
QString CModule::GetDescription() const { return DocumentPart(m_nMduID, 0); }
QString CModule::GetGroupName() const { return DocumentPart(m_nMduID, 2); }

const std::vector<CModule*>& GetModules() { return Modules(); }

void RegisterModule(CModule* module)
{
    if (module && std::find(Modules().begin(), Modules().end(), module) == Modules().end())
        Modules().push_back(module);
}

void UnregisterModule(CModule* module)
{
    auto& list = Modules();
    list.erase(std::remove(list.begin(), list.end(), module), list.end());
}

CModule* FindModule(int mduId)
{
    for (CModule* m : Modules())
        if (m->GetMduID() == mduId)
            return m;
    return nullptr;
}
