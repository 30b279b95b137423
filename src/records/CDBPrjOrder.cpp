#include "CDBPrjOrder.h"

#include "SchemeReading.h"

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
        heads.AddViewColumnHead({}, QStringLiteral("置顶"), QStringLiteral("DispOnTop"), XIN, XOFFSET(CDBPrjOrder, m_bDispOnTop), QStringLiteral("否|是"), none, 0, 0, 0, none);
        heads.AddColumnHead({}, QStringLiteral("说明"), 8, QStringLiteral("RecordMemo"), XSW, XOFFSET(CDBPrjOrder, m_strMemo), none, none, 0, 521, 0, none);
    });
}

int CDBPrjOrder::Validate(const CXItem* user, bool bCheckDuplicates)
{
    m_status.clear();
    if (m_strName.isEmpty())
        AddStatusText(ST_STOP, &m_strName, QStringLiteral("请输入名称！"));
    CXItem::Validate(user, bCheckDuplicates);
    return GetStatusLevel();
}

int CDBPrjOrder::GetAccess(const CHead* head, const CXItem* user) const
{
    if (m_nID < 0) {
        if (head->m_nOffset == XOFFSET(CDBPrjOrder, m_strName) || head->m_nOffset == XOFFSET(CDBPrjOrder, m_strMemo))
            return 0;
        if (head->m_nOffset == XOFFSET(CDBPrjOrder, m_bDispOnTop))
            return -1;
    }
    return CXItem::GetAccess(head, user);
}

QString CDBPrjOrder::GetContentText() const
{
    const CModule* module = FindModule(m_nFitMduID);
    const CHeads* heads = module ? module->GetHeads() : nullptr;
    QList<int> positions;
    SplitInts(m_strSetupData, positions);
    if (!heads || positions.size() != heads->GetSize())
        return QStringLiteral("无");
    CHeads fields;
    fields.CopyFrom(*heads);
    for (int i = 0; i < fields.GetSize(); ++i)
        fields.GetAt(i)->m_nPos = positions[i];
    SortHeadsByPosition(fields);
    QStringList shown, hidden;
    for (int i = 0; i < fields.GetSize(); ++i)
        if (const CHead* head = fields.GetAt(i); head->InSchemes())
            (head->m_nPos == -1 ? hidden : shown) << head->m_strName;
    auto join = [](const QStringList& l) { return l.isEmpty() ? QStringLiteral("无") : l.join(QStringLiteral(" | ")); };
    return QStringLiteral("显示：\r\n") + join(shown) + QStringLiteral("\r\n\r\n隐藏：\r\n") + join(hidden);
}

CModulePrjOrder::CModulePrjOrder() { m_nCaps = m_nOperRights = 0x1e; }

bool CModulePrjOrder::QueryItems(CXArray& items, CXMap query, bool bNoImages, bool bExpectOne)
{
    return ReadSchemes<CDBPrjOrder>(*this, items, query, bNoImages, bExpectOne,
                                    [](CModule& owner, CXArray& builtIns) { owner.AddBuiltInHeadSchemes(builtIns); });
}
