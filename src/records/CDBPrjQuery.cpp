#include "CDBPrjQuery.h"

#include "CXDBSession.h"
#include "FormatString.h"
#include "OperLog.h"
#include "TextUtils.h"

#include <algorithm>
#include <vector>

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
    const int mduId = query.GetInt(QKEY_MODULE);
    CModule* module = mduId ? FindModule(mduId) : nullptr;
    if (!module)
        return false;

    CXArray builtIns(nullptr, true);
    module->AddQuickQueries(builtIns);
    const int first = items.GetSize();
    QList<int> ids;
    const bool onlyIds = query.Has(QKEY_IDS);
    if (onlyIds) {
        SplitInts(query.GetText(QKEY_IDS), ids);
        for (int i = 0; i < builtIns.GetSize(); ++i) {
            const int id = builtIns[i]->m_nID;
            if (id != 0 && ids.removeAll(id) > 0)
                items.AddAdopted(builtIns[i]->CopyTo(nullptr));
        }
        ids.removeAll(0);
        if (ids.isEmpty())
            return true;
    } else {
        for (int i = 0; i < builtIns.GetSize(); ++i)
            items.AddAdopted(builtIns[i]->CopyTo(nullptr));
    }
    if (items.GetSize() > first)
        static_cast<CDBPrjQuery*>(items[items.GetSize() - 1])->m_bSeparator = 1;

    // Only integers reach the SQL: the remaining IDs and the module id.
    CXMap conditionsQuery;
    if (onlyIds)
        conditionsQuery.SetText(QKEY_IDS, JoinInts(ids));
    QStringList conditions;
    BuildQueryConditions(conditions, conditionsQuery);
    conditions << FormatString(u"FitMduID=%d", mduId);
    CXDBSession session;
    session.Connect();
    CXArray saved(nullptr, true);
    if (!ReadItems(session, saved, conditions, bNoImages, bExpectOne))
        return false;
    bool ok = true;
    while (saved.GetSize() > 0) {
        CXItem* scheme = saved.Detach(0);
        if (scheme->m_nID > 0 && scheme->Validate(nullptr, false) >= ST_STOP) {
            if (!session.ExecuteSql(FormatString(u"DELETE FROM TB_PROJECT WHERE ID=%d", scheme->m_nID))) {
                ReportDbError(QStringLiteral("删除失效") + module->GetName(), nullptr, QString());
                ok = false;
            }
            delete scheme;
            continue;
        }
        items.AddAdopted(scheme);
    }
    // Schemes put on top (DispOnTop 0) come before the built-in ones; the rest keep their order.
    std::vector<CXItem*> order;
    while (items.GetSize() > first)
        order.push_back(items.Detach(first));
    std::stable_sort(order.begin(), order.end(), [](const CXItem* a, const CXItem* b) {
        return static_cast<const CDBPrjQuery*>(a)->m_bDispOnTop < static_cast<const CDBPrjQuery*>(b)->m_bDispOnTop;
    });
    for (CXItem* item : order)
        items.AddAdopted(item);
    return ok;
}
