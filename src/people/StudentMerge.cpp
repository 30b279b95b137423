#include "StudentMerge.h"

#include "CDBStudent.h"
#include "CModule.h"
#include "CXAccessor.h"
#include "CXDBSession.h"
#include "OperLog.h"
#include "RecordWriter.h"
#include "SqlPrepare.h"

#include <vector>

namespace {

// One prepared statement with its parameters, bound in order.
struct XMergeStep
{
    QString sql;
    std::vector<std::variant<int, double, QString>> params;
};

bool RunStep(CXDBSession& session, const XMergeStep& step)
{
    CXAccessor cmd;
    bool ok = cmd.Prepare(session, PrepareSql(step.sql));
    for (size_t i = 0; ok && i < step.params.size(); ++i) {
        const int ordinal = static_cast<int>(i) + 1;
        const auto& p = step.params[i];
        if (const int* n = std::get_if<int>(&p))
            ok = cmd.SetParamInt(ordinal, *n);
        else if (const double* d = std::get_if<double>(&p))
            ok = cmd.SetParamDouble(ordinal, *d);
        else
            ok = cmd.SetParamText(ordinal, std::get<QString>(p));
    }
    ok = ok && cmd.Execute();
    if (!ok)
        ReportDbError(QStringLiteral("合并重名学员"), &cmd, QString());
    return ok;
}

} // namespace

bool MergeDuplicateStudents(int keptId, int otherId, const XMergeConfirm& confirm, const CXItem& user)
{
    if (keptId <= 0 || otherId <= 0 || keptId == otherId)
        return false;
    CModule* module = FindModule(MDU_STUDENT);
    if (!module)
        return false;
    CXArray read(nullptr, true);
    CXMap query;
    query.SetText(QKEY_IDS, QStringLiteral("%1,%2").arg(keptId).arg(otherId));
    if (!module->QueryItems(read, query, false, false))
        return false;
    CDBStudent* kept = nullptr;
    CDBStudent* other = nullptr;
    for (CXItem* item : read) {
        if (item->m_nID == keptId)
            kept = static_cast<CDBStudent*>(item);
        else if (item->m_nID == otherId)
            other = static_cast<CDBStudent*>(item);
    }
    if (!kept || !other || kept->m_strRealName.compare(other->m_strRealName, Qt::CaseSensitive) != 0)
        return false;
    CXArray shown(nullptr, false);
    shown.Add(kept);
    shown.Add(other);
    if (!confirm || !confirm(shown))
        return false;

    std::vector<XMergeStep> steps;
    if (kept->m_bBirthApprox && !other->m_bBirthApprox)
        steps.push_back({QStringLiteral("UPDATE TB_STUDENT SET BirthApprox=0,Birthday=? WHERE ID=?"),
                         {other->m_dtBirthday.Day(), keptId}});
    const std::pair<const char*, QString CDBStudent::*> texts[] = {
        {"Petname", &CDBStudent::m_strPetname},   {"Nation", &CDBStudent::m_strNation},
        {"AreaAddr", &CDBStudent::m_strAreaAddr}, {"ExactAddr", &CDBStudent::m_strExactAddr},
        {"IDCard", &CDBStudent::m_strIDCard},     {"Refereer", &CDBStudent::m_strRefereer},
        {"RecordMemo", &CDBStudent::m_strMemo},
    };
    for (const auto& [column, member] : texts)
        if ((kept->*member).isEmpty() && !(other->*member).isEmpty())
            steps.push_back({QStringLiteral("UPDATE TB_STUDENT SET %1=? WHERE ID=?").arg(QLatin1String(column)),
                             {other->*member, keptId}});
    for (const char* sql : {"UPDATE TB_RECEIPT SET StudentID=? WHERE StudentID=?",
                            "UPDATE TB_EDURCD_STUDENT SET StudentID=? WHERE StudentID=?",
                            "UPDATE TB_EDUSCH_STUDENT SET StudentID=? WHERE StudentID=?",
                            "UPDATE TB_STUDENT_RESUME SET StudentID=? WHERE StudentID=?",
                            "UPDATE TB_OPERLOG SET ItemID=? WHERE ItemID=? AND MduID='MDU_STUDENT'",
                            "UPDATE TB_OPERLOG SET UserID=? WHERE UserID=? AND UserMduID='MDU_STUDENT'",
                            "UPDATE TB_PHOTO SET PersonID=? WHERE PersonID=? AND MduID='MDU_STUDENT'",
                            "UPDATE TB_ACCOUNT SET PersonID=? WHERE PersonID=? AND MduID='MDU_STUDENT'"})
        steps.push_back({QString::fromUtf8(sql), {keptId, otherId}});

    CXDBSession session;
    session.Connect();
    if (!session.BeginTransaction()) {
        ReportDbError(QStringLiteral("合并重名学员"), nullptr, QString());
        return false;
    }
    for (const XMergeStep& step : steps) {
        if (!RunStep(session, step)) {
            session.Abort();
            return false;
        }
    }
    // the other's lines now belong to the kept student: the delete must not touch them
    other->m_accounts.RemoveAll(other);
    other->m_photos.RemoveAll(other);
    other->m_resumes.RemoveAll(other);
    if (!DeleteItem(&session, other, user) || !session.Commit()) {
        session.Abort();
        return false;
    }
    WriteOperLog(OPER_MDF, user, MDU_STUDENT, keptId, QStringLiteral("合并重名"), QString());
    return true;
}
