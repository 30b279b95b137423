#include "CModuleTempl.h"

#include "CXDBSession.h"
#include "CommandIds.h"
#include "FormatString.h"
#include "Resources.h"
#include "TextUtils.h"

CModuleTempl::CModuleTempl()
{
    SetDefaultRightsWords(*this);
    QStringList names;
    QStringList ids;
    for (const CModule* module : GetModules())
        if (!module->IsHidden() && (module->m_nCaps & RIGHT_PRT)) {
            names << LoadCommandText(module->GetMduID());
            ids << QString::number(module->GetMduID());
        }
    m_options.push_back(std::make_unique<CXQueryOption>(QUERY_FIND, ID_FIND_WHAT));
    m_options.push_back(std::make_unique<CXQueryOption>(QUERY_OPTION, QKEY_MODULE, 0, QStringLiteral("功能模块"),
                                                        names.join(u'|'), ids.join(u'|')));
    m_options.push_back(std::make_unique<CXQueryOption>(QUERY_OPTION, IDC_ENABLED, 0, QStringLiteral("启用"),
                                                        QStringLiteral("停用|启用")));
}

void CModuleTempl::AddQuickQueries(CXArray& schemes)
{
    CXMap query;
    query.SetText(IDC_ENABLED, QStringLiteral("1"));
    AddQueryScheme(schemes, query, 0, QStringLiteral("启用"), QStringLiteral("启用的打印模板"), false);
    query.SetText(IDC_ENABLED, QStringLiteral("0"));
    AddQueryScheme(schemes, query, 0, QStringLiteral("停用"), QStringLiteral("已停用的打印模板"), true);
    AddQueryScheme(schemes, query, 0, QStringLiteral("全部"), QStringLiteral("全部"), false);
}

void CModuleTempl::AddTemplConditions(QStringList& conditions, const CXMap& query)
{
    if (query.Has(QKEY_MODULE)) {
        QList<int> ids;
        SplitInts(query.GetText(QKEY_MODULE), ids);
        conditions << (ids.isEmpty() ? QStringLiteral("1=0") : FormatString(u"MduID IN(%s)", JoinInts(ids)));
    }
    if (query.Has(IDC_ENABLED))
        conditions << FormatString(u"IsEnabled=%d", query.GetInt(IDC_ENABLED) ? 1 : 0);
}

bool CModuleTempl::QueryItems(CXArray& items, CXMap query, bool bNoImages, bool bExpectOne)
{
    QStringList conditions;
    BuildQueryConditions(conditions, query);
    AddTemplConditions(conditions, query);
    CXDBSession session;
    session.Connect();
    return ReadItems(session, items, conditions, bNoImages, bExpectOne, nullptr, query.GetText(ID_FIND_WHAT));
}
