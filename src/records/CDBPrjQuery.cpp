#include "CDBPrjQuery.h"

#include "CModule.h"
#include "SchemeFields.h"

CHeads* CDBPrjQuery::StaticHeads()
{
    return BuildHeadsOnce<CDBPrjQuery>([](CHeads& heads) {
        AddSchemeFields<CDBPrjQuery>(heads, QStringLiteral("查询方案"), QStringLiteral("MduID='MDU_PRJQUERY'"));
    });
}

int CDBPrjQuery::Validate(const CXItem* user, bool bCheckDuplicates)
{
    CheckName();
    // Built-in schemes are made by their module and always hold what it can express. The
    // schemes are not asked for here: this runs while they are being read.
    if (m_nID >= 0) {
        CModule* module = FindModule(m_nParentID);
        if (!module || module->GetQueryText(CXMap(m_strRightData), false, true).isEmpty())
            AddStatusText(ST_STOP, nullptr, QStringLiteral("请设置至少一个有效查询选项！"));
    }
    CXItem::Validate(user, bCheckDuplicates);
    return GetStatusLevel();
}

QString CDBPrjQuery::GetContentText() const
{
    CModule* module = FindModule(m_nParentID);
    return module ? module->GetQueryText(CXMap(m_strRightData), false, true) : QStringLiteral("无");
}
