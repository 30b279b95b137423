#include "CDBPrjOrder.h"

CHeads* CDBPrjOrder::StaticHeads()
{
    return BuildHeadsOnce<CDBPrjOrder>([](CHeads& heads) {
        const QString none;
        heads.m_strItemType = QStringLiteral("列头方案");
        heads.m_strItemUnit = QStringLiteral("个");
        heads.m_strTable = QStringLiteral("TB_PROJECT");
        heads.m_strCondition = QStringLiteral("MduID='MDU_PRJORDER'");
        heads.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN, XOFFSET(CDBPrjOrder, m_nID), none, none, 0, 0, 0, none);
        heads.AddViewColumnHead({}, QStringLiteral("模块"), QStringLiteral("MduID"), XIN, XOFFSET(CDBPrjOrder, m_nMduID), none, none, 0, 0, 0, none);
        heads.AddViewColumnHead({}, QStringLiteral("适用模块"), QStringLiteral("FitMduID"), XIN, XOFFSET(CDBPrjOrder, m_nFitMduID), none, none, 0, 0, 0, none);
        heads.AddColumnHead({}, QStringLiteral("名称"), 138, QStringLiteral("PrjName"), XSW, XOFFSET(CDBPrjOrder, m_strName), none, none, 512, 521, 0, none);
        heads.AddViewColumnHead({}, QStringLiteral("设置"), QStringLiteral("SetupData"), XSW, XOFFSET(CDBPrjOrder, m_strSetupData), none, none, 0, 0, 0, none);
        heads.AddColumnHead({}, QStringLiteral("说明"), 8, QStringLiteral("RecordMemo"), XSW, XOFFSET(CDBPrjOrder, m_strMemo), none, none, 0, 521, 0, none);
    });
}
