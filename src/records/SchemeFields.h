#pragma once

#include "CHead.h"
#include "CXItem.h"

// The field table both kinds of scheme share (query schemes and column schemes live in the
// same table and differ only in their caption and their MduID condition).
template <class Scheme> void AddSchemeFields(CHeads& heads, const QString& caption, const QString& condition)
{
    const QString none;
    const QString yesNo = QStringLiteral("否|是");
    heads.m_strItemType = caption;
    heads.m_strItemUnit = QStringLiteral("项");
    heads.m_strTable = QStringLiteral("TB_PROJECT");
    heads.m_strCondition = condition;
    heads.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN, XOFFSET(Scheme, m_nID), none,
                            none, 0, 0, 0, none);
    heads.AddViewColumnHead({}, QStringLiteral("MduID"), QStringLiteral("MduID"), XIN, XOFFSET(Scheme, m_nMduID), none,
                            none, 0, 0, 0, none);
    heads.AddViewColumnHead({}, QStringLiteral("功能模块"), QStringLiteral("FitMduID"), XIN,
                            XOFFSET(Scheme, m_nParentID), none, none, 0, 0, 0, none);
    heads.AddMemberHead({}, QStringLiteral("使用人员"), XIN, XOFFSET(Scheme, m_nUsers), none, none, 0, 0, 0, none);
    heads.AddColumnHead({}, QStringLiteral("名称"), 137, QStringLiteral("PrjName"), XSW, XOFFSET(Scheme, m_strName),
                        none, QStringLiteral("空"), 512, 585, 15, none);
    heads.AddComputedHead(
        {}, QStringLiteral("内置"), XIN, [](const CXItem& item, int) -> XFieldValue { return item.m_nID < 0 ? 1 : 0; },
        yesNo, none, 24, 585, 0, QStringLiteral("是否是内置方案。"));
    heads.AddHead({}, QStringLiteral("置顶"), 9, QStringLiteral("DispOnTop"), XIN, XOFFSET(Scheme, m_bDispOnTop), 1, 0,
                  1, yesNo, none, 1, 585, 0, QStringLiteral("是否在内置方案下方置顶显示。"));
    heads.AddMemberHead({}, QStringLiteral("分隔"), XIN, XOFFSET(Scheme, m_bSeparator), none, none, 0, 0, 0, none);
    heads.AddViewColumnHead({}, QStringLiteral("配置数据"), QStringLiteral("SetupData"), XSW,
                            XOFFSET(Scheme, m_strRightData), none, none, 0, 0, 0, none);
    heads.AddColumnHead({}, QStringLiteral("备注"), 8, QStringLiteral("RecordMemo"), XSW, XOFFSET(Scheme, m_strMemo),
                        none, QStringLiteral("空"), 0, 585, -1, none);
}
