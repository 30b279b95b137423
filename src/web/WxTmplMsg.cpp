#include "WxTmplMsg.h"

#include "CHead.h"
#include "CHttpSession.h"
#include "CModule.h"
#include "CWxRcver.h"
#include "CWxTmpl.h"
#include "CXArray.h"
#include "CXMap.h"
#include "OperLog.h"
#include "RecordWriter.h"
#include "WebState.h"
#include "WxHttp.h"
#include "WxSession.h"

#include <QtCore/QJsonArray>
#include <QtCore/QJsonDocument>
#include <QtCore/QJsonObject>
#include <QtCore/QSet>

#include <memory>
#include <mutex>

using namespace xInternet;

namespace {

CWxRcver* NewRcver(CXArray& rcvers, int studentId, int lineId, const QString& name)
{
    auto* rcver = new CWxRcver;
    rcver->m_nID = studentId;
    rcver->m_nSubID = lineId;
    rcver->m_strName = name;
    rcvers.AddAdopted(rcver);
    return rcver;
}

bool HasStudent(const CXArray& rcvers, int studentId)
{
    for (const CXItem* r : rcvers)
        if (r->m_nID == studentId)
            return true;
    return false;
}

// Whether the list holds student lines (a line names the student by its own ID).
bool IsStudentList(const CXArray& lines)
{
    for (const CXItem* line : lines)
        if (line->m_nMduID == MDU_STUDENT)
            return true;
    return false;
}

void AddOpenIds(CXArray& rcvers, int from)
{
    // the MACs are checked before the session lock is taken: verifying may read the secret
    std::vector<std::pair<QString, std::vector<std::pair<int, int>>>> bound;
    {
        std::lock_guard lock(SessionLock());
        for (const auto& [id, session] : SessionMap()) {
            if (!id.startsWith(QLatin1String("wx_")))
                continue;
            std::vector<std::pair<int, int>> who;
            for (const CXItem* identity : session->Identities())
                who.emplace_back(identity->m_nMduID, identity->m_nID);
            bound.emplace_back(id, std::move(who));
        }
    }
    for (const auto& [id, who] : bound) {
        const QString openid = WxOpenIdOf(id);
        if (openid.isEmpty())
            continue; // an unverified id (older versions' form) is nobody's identity
        for (int i = from; i < rcvers.GetSize(); ++i) {
            auto* rcver = static_cast<CWxRcver*>(rcvers.GetAt(i));
            for (const auto& [mdu, userId] : who)
                if (mdu == rcver->m_nMduID && userId == rcver->m_nID && !rcver->m_openids.contains(openid)) {
                    rcver->m_openids.append(openid);
                    break;
                }
        }
    }
}

QString MessageLink(const CXItem& record, const CWxRcver& rcver)
{
    QString base = GetInternetUrl();
    if (base.isEmpty())
        base = GetLocalUrl();
    while (base.endsWith(u'/'))
        base.chop(1);
    const QString query = record.GetRelateQuery(nullptr, nullptr).ToXml();
    return base + QStringLiteral("/query?mduid=%1&usermduid=%2&userid=%3&one=1&xsl=items&query=%4")
                      .arg(record.m_nMduID)
                      .arg(rcver.m_nMduID)
                      .arg(rcver.m_nID)
                      .arg(PercentEncode(query));
}

// The template's id in the school's account: the first private template with its title and
// every key and caption, else one added from the library by its short id.
QString AccountTemplateId(CWxTmpl& tmpl, const QString& token)
{
    // one sender at a time looks it up, so a template is never added twice
    static std::mutex lookup;
    std::lock_guard lock(lookup);
    QString id = tmpl.GetTmplId();
    if (!id.isEmpty())
        return id;
    QJsonObject reply;
    if (WxApiCall(QStringLiteral("cgi-bin/template/get_all_private_template?access_token=%1").arg(PercentEncode(token)),
                  QByteArray(), reply)) {
        for (const QJsonValue& entry : reply.value(QLatin1String("template_list")).toArray()) {
            const QJsonObject candidate = entry.toObject();
            if (candidate.value(QLatin1String("title")).toString() != tmpl.m_strName)
                continue;
            const QString content = candidate.value(QLatin1String("content")).toString();
            bool all = true;
            for (const CWxTmpl::CItem* line : tmpl.Lines())
                all = all && content.contains(QStringLiteral("{{") + line->m_strKey + QStringLiteral(".DATA}}")) &&
                      (line->m_strName.isEmpty() || content.contains(line->m_strName));
            if (all) {
                id = candidate.value(QLatin1String("template_id")).toString();
                break;
            }
        }
    }
    if (id.isEmpty()) {
        const QByteArray body = QJsonDocument(QJsonObject{{QStringLiteral("template_id_short"), tmpl.m_strShortId}})
                                    .toJson(QJsonDocument::Compact);
        if (WxApiCall(QStringLiteral("cgi-bin/template/api_add_template?access_token=%1").arg(PercentEncode(token)),
                      body, reply))
            id = reply.value(QLatin1String("template_id")).toString();
    }
    if (!id.isEmpty())
        tmpl.SetTmplId(id);
    return id;
}

} // namespace

void CollectWxRcvers(const CXItem& record, CXArray& rcvers, const CXItem* user)
{
    if (!record.IsModuleItem())
        return;
    const CHeads* heads = record.GetHeads();
    const int first = rcvers.GetSize();
    for (int i = 0; heads && i < heads->GetSize(); ++i) {
        const CHead* head = heads->GetAt(i);
        if (!head->m_nOffset)
            continue;
        if (head->m_nType == XLK) {
            const CXBase& link = record.Member<CXBase>(head->m_nOffset);
            if (link.m_nMduID != MDU_STUDENT || !link.m_nID)
                continue;
            if (HasStudent(rcvers, link.m_nID))
                continue;
            CWxRcver* rcver = NewRcver(rcvers, link.m_nID, 0, link.m_strName);
            record.FillPrintKeywords(rcver->m_keywords, 2, user);
            break;
        }
        if (head->m_nType == XAR) {
            const CXArray& lines = record.Member<CXArray>(head->m_nOffset);
            if (!IsStudentList(lines))
                continue;
            for (const CXItem* line : lines) {
                if (line->m_nMduID != MDU_STUDENT || !line->m_nID)
                    continue;
                int repeat = 0;
                for (const CXItem* r : rcvers)
                    repeat += r->m_nID == line->m_nID ? 1 : 0;
                CWxRcver* rcver = NewRcver(rcvers, line->m_nID, line->m_nSubID, line->m_strName);
                line->FillPrintKeywords(rcver->m_keywords, 2, user);
                record.FillPrintKeywords(rcver->m_keywords, 2, user);
                rcver->m_nRepeat = repeat;
            }
            break;
        }
    }
    AddOpenIds(rcvers, first);
    for (int i = first; i < rcvers.GetSize(); ++i) {
        auto* rcver = static_cast<CWxRcver*>(rcvers.GetAt(i));
        if (!rcver->m_openids.isEmpty())
            rcver->m_bSelected = rcver->m_bOrgSelected = 1;
        if (rcver->m_nRepeat > 0)
            rcver->m_strName += QStringLiteral(" (%1)").arg(rcver->m_nRepeat + 1);
    }
}

bool SendWxTmplMsg(QString& result, CXItem& record, const QString& shortId, const QString& userText,
                   const QString& rcverIds, const CXItem& user)
{
    const QString token = GetWxAccessToken();
    if (token.isEmpty()) {
        result = QStringLiteral("未配置微信公众号或未连接微信服务器！");
        return false;
    }
    QSet<int> chosen;
    for (const QString& part : rcverIds.split(u',', Qt::SkipEmptyParts))
        if (const int id = part.trimmed().toInt())
            chosen.insert(id);
    CXArray rcvers(nullptr, true);
    CollectWxRcvers(record, rcvers, &user);
    std::vector<const CWxRcver*> targets;
    for (const CXItem* item : rcvers) {
        const auto* rcver = static_cast<const CWxRcver*>(item);
        // a chosen student without a WeChat identity receives nothing; when that leaves no
        // one, nothing is sent and the sender is told so
        if (chosen.contains(rcver->m_nID) && !rcver->m_openids.isEmpty())
            targets.push_back(rcver);
    }
    if (targets.empty()) {
        result = QStringLiteral("未找到可以接收微信通知的学员！");
        return false;
    }
    CWxTmpl* tmpl = FindWxTmpl(record.m_nMduID, shortId);
    if (!tmpl) {
        result = QStringLiteral("未找到对应的模板！");
        return false;
    }
    if (!record.m_nID) {
        record.m_notified.m_dtDate = XDateTime::Now();
        if (!SaveItem(nullptr, &record, nullptr, user)) {
            result = QStringLiteral("保存项目失败！");
            return false;
        }
    }
    const QString tmplId = AccountTemplateId(*tmpl, token);
    if (tmplId.isEmpty()) {
        result = QStringLiteral("从微信服务器获取模板 ID 失败！");
        return false;
    }
    const QString sendPath = QStringLiteral("cgi-bin/message/template/send?access_token=%1").arg(PercentEncode(token));
    for (const CWxRcver* rcver : targets) {
        QJsonObject data;
        for (const CWxTmpl::CItem* line : tmpl->Lines())
            data.insert(line->m_strKey,
                        QJsonObject{{QStringLiteral("value"), CWxTmpl::LineText(*line, userText, rcver->m_keywords)},
                                    {QStringLiteral("color"), QStringLiteral("#173177")}});
        const QString link = MessageLink(record, *rcver);
        for (const QString& openid : rcver->m_openids) {
            const QJsonObject message{{QStringLiteral("touser"), openid},
                                      {QStringLiteral("template_id"), tmplId},
                                      {QStringLiteral("url"), link},
                                      {QStringLiteral("data"), data}};
            QJsonObject reply;
            if (!WxApiCall(sendPath, QJsonDocument(message).toJson(QJsonDocument::Compact), reply)) {
                result = QStringLiteral("微信服务器无响应！");
                return false;
            }
            const QString errmsg = reply.value(QLatin1String("errmsg")).toString();
            if (errmsg.compare(QLatin1String("OK"), Qt::CaseInsensitive) != 0) {
                result = QStringLiteral("发送失败！微信服务器返回：") + errmsg;
                return false;
            }
            WriteOperLog(OPER_MSG, user, record.m_nMduID, record.m_nID,
                         tmpl->FormatText(userText, rcver->m_keywords, false), userText);
        }
    }
    result = QStringLiteral("OK");
    return true;
}

CHeads* CWxRcver::StaticHeads()
{
    return BuildHeadsOnce<CWxRcver>([](CHeads& heads) {
        heads.m_strItemType = QStringLiteral("学员");
        heads.m_strItemUnit = QStringLiteral("个");
        // shown in the brief column set (the dialogs' lists), unsorted: the record's order
        heads.AddMemberHead({}, QStringLiteral("学员"), XSW, XOFFSET(CWxRcver, m_strName), QString(), QString(), 0, 512,
                            20, QString());
    });
}
