#include "CDBPrjQuery.h"

#include "SchemeReading.h"

CHeads* CDBPrjQuery::StaticHeads()
{
    return BuildHeadsOnce<CDBPrjQuery>([](CHeads& heads) {
        const QString none;
        heads.m_strItemType = QStringLiteral("查询方案");
        heads.m_strItemUnit = QStringLiteral("个");
        heads.m_strTable = QStringLiteral("TB_PROJECT");
        heads.m_strCondition = QStringLiteral("MduID='MDU_PRJQUERY'");
        heads.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN, XOFFSET(CDBPrjQuery, m_nID), none, none, 0, 0, 0, none);
        heads.AddViewColumnHead({}, QStringLiteral("模块"), QStringLiteral("MduID"), XIN, XOFFSET(CDBPrjQuery, m_nMduID), none, none, 0, 0, 0, none);
        heads.AddViewColumnHead({}, QStringLiteral("适用模块"), QStringLiteral("FitMduID"), XIN, XOFFSET(CDBPrjQuery, m_nFitMduID), none, none, 0, 0, 0, none);
        heads.AddColumnHead({}, QStringLiteral("名称"), 138, QStringLiteral("PrjName"), XSW, XOFFSET(CDBPrjQuery, m_strName), none, none, 512, 521, 0, none);
        heads.AddMemberHead({}, QStringLiteral("使用人员"), XSW, XOFFSET(CDBPrjQuery, m_strUsers), none, none, 0, 0, 0, none);
        heads.AddViewColumnHead({}, QStringLiteral("设置"), QStringLiteral("SetupData"), XSW, XOFFSET(CDBPrjQuery, m_strSetupData), none, none, 0, 0, 0, none);
        heads.AddColumnHead({}, QStringLiteral("说明"), 8, QStringLiteral("RecordMemo"), XSW, XOFFSET(CDBPrjQuery, m_strMemo), none, none, 0, 521, 0, none);
        heads.AddViewColumnHead({}, QStringLiteral("置顶"), QStringLiteral("DispOnTop"), XIN, XOFFSET(CDBPrjQuery, m_bDispOnTop), QStringLiteral("否|是"), none, 0, 0, 0, none);
        heads.AddMemberHead({}, QStringLiteral("分隔"), XIN, XOFFSET(CDBPrjQuery, m_bSeparator), QStringLiteral("否|是"), none, 0, 0, 0, none);
    });
}

int CDBPrjQuery::Validate(const CXItem* user, bool bCheckDuplicates)
{
    m_status.clear();
    if (m_strName.isEmpty())
        AddStatusText(ST_STOP, &m_strName, QStringLiteral("请输入名称！"));
    // Built-in schemes are made by their module and always hold what it can express. The
    // schemes are not asked for here: this runs while they are being read.
    if (m_nID >= 0) {
        CModule* module = FindModule(m_nFitMduID);
        if (!module || module->GetQueryText(CXMap(m_strSetupData), false, true).isEmpty())
            AddStatusText(ST_STOP, nullptr, QStringLiteral("请设置至少一个有效查询选项！"));
    }
    CXItem::Validate(user, bCheckDuplicates);
    return GetStatusLevel();
}

QString CDBPrjQuery::GetContentText() const
{
    CModule* module = FindModule(m_nFitMduID);
    return module ? module->GetQueryText(CXMap(m_strSetupData), false, true) : QStringLiteral("无");
}

CModulePrjQuery::CModulePrjQuery() { m_nCaps = m_nOperRights = 0x1e; }

bool CModulePrjQuery::QueryItems(CXArray& items, CXMap query, bool bNoImages, bool bExpectOne)
{
    return ReadSchemes<CDBPrjQuery>(*this, items, query, bNoImages, bExpectOne,
                                    [](CModule& owner, CXArray& builtIns) { owner.AddQuickQueries(builtIns); });
}
