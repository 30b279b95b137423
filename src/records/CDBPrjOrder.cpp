#include "CDBPrjOrder.h"

#include "CModule.h"
#include "SchemeFields.h"
#include "TextUtils.h"

CHeads* CDBPrjOrder::StaticHeads()
{
    return BuildHeadsOnce<CDBPrjOrder>([](CHeads& heads) {
        AddSchemeFields<CDBPrjOrder>(heads, QStringLiteral("列头方案"), QStringLiteral("MduID='MDU_PRJORDER'"));
    });
}

int CDBPrjOrder::Validate(const CXItem* user, bool bCheckDuplicates)
{
    CheckName();
    CXItem::Validate(user, bCheckDuplicates);
    return GetStatusLevel();
}

QString CDBPrjOrder::GetContentText() const
{
    const CModule* module = FindModule(m_nParentID);
    const CHeads* heads = module ? module->GetHeads() : nullptr;
    QList<int> positions;
    SplitInts(m_strRightData, positions);
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
