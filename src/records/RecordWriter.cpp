#include "RecordWriter.h"

#include "BinaryColumns.h"
#include "CHead.h"
#include "CModule.h"
#include "CXAccessor.h"
#include "CXDBSession.h"
#include "CXItem.h"
#include "FormatString.h"
#include "OperLog.h"
#include "RecordSql.h"
#include "SqlPrepare.h"
#include "XAppServices.h"
#include "XDateTime.h"
#include "XWriteScope.h"

#include <map>

namespace {

// The field types written to a column of their own, and how a statement binds each; 0 for
// the types saved otherwise (lines, images, streams) or not at all.
int ParamTypeOf(int type)
{
    switch (type) {
    case XIN:
    case XTS:
    case XLK:
        return DBTYPE_I4;
    case XNU:
        return DBTYPE_R8;
    case XDT:
        return DBTYPE_DATE;
    case XSW:
        return DBTYPE_WSTR;
    default:
        return 0;
    }
}

CXBase& LinkOf(CXItem& item, const CHead* h)
{
    return h->m_nOffset ? item.Member<CXBase>(h->m_nOffset) : static_cast<CXBase&>(item);
}

void SetStamp(CXBase& stamp, const CXItem& user)
{
    stamp.m_nMduID = user.m_nMduID;
    stamp.m_nID = user.m_nID;
    stamp.m_strName = user.m_strName;
    stamp.m_dtDate = XDateTime::Now();
}

bool IsChildTable(const CHeads* child);

bool IsVisible(const CHead* h) { return h->m_nColBrief || h->m_nColSub || h->m_nColDetail; }

QString ChangeLine(const QString& caption, const QString& oldText, const QString& newText)
{
    return FormatString(u"%s：<del>%s</del>%s", caption, oldText.left(64), newText.left(64));
}

// One line per visible column whose display text changed: "caption：<del>old</del>new".
QStringList DescribeColumns(const CXItem& before, const CXItem& after, const CHeads& heads)
{
    QStringList lines;
    for (int i = 0; i < heads.GetSize(); ++i) {
        const CHead* h = heads.GetAt(i);
        if (!h->m_bWritable || !IsVisible(h))
            continue;
        const QString oldText = before.FormatText(h, true, true, true);
        const QString newText = after.FormatText(h, true, true, true);
        if (oldText != newText)
            lines.append(ChangeLine(after.GetCaption(h), oldText, newText));
    }
    return lines;
}

// The stored lines of a child array by row ID; untouched automatic lines are never stored.
std::map<int, const CXItem*> StoredLines(const CXArray& lines)
{
    std::map<int, const CXItem*> stored;
    for (const CXItem* line : lines)
        if (!line->IsAutoEmpty())
            stored.emplace(RowIdOf(const_cast<CXItem&>(*line)), line);
    return stored;
}

// The changes of a visible child array's stored lines, matched by row ID: a line added
// ("caption：<del></del>title"), removed ("caption：<del>title</del>") or changed in a
// visible column ("caption·column：<del>old</del>new").
QStringList DescribeLines(const CXArray& before, const CXArray& after, const QString& caption)
{
    const CHeads* child = after.GetHeads();
    const std::map<int, const CXItem*> was = StoredLines(before), is = StoredLines(after);
    QStringList lines;
    for (const auto& [id, line] : was)
        if (!is.count(id))
            lines.append(ChangeLine(caption, line->GetTitleText(), QString()));
    for (const auto& [id, line] : is) {
        const auto old = was.find(id);
        if (id <= 0 || old == was.end()) {
            lines.append(ChangeLine(caption, QString(), line->GetTitleText()));
            continue;
        }
        for (const QString& change : DescribeColumns(*old->second, *line, *child))
            lines.append(caption + u'·' + change);
    }
    return lines;
}

// The change description of a save: the visible columns, then the lines of every visible
// child array the save writes, which hold no column of the record but are part of it (a
// receipt's later alterations, a timetable's teachers and students).
QString DescribeChanges(const CXItem& before, const CXItem& after, const CHeads& heads)
{
    QStringList lines = DescribeColumns(before, after, heads);
    for (int i = 0; i < heads.GetSize(); ++i) {
        const CHead* h = heads.GetAt(i);
        if (h->m_nType != XAR || !h->m_nOffset || !IsVisible(h))
            continue;
        const CXArray& now = after.Member<CXArray>(h->m_nOffset);
        if (IsChildTable(now.GetHeads()))
            lines += DescribeLines(before.Member<CXArray>(h->m_nOffset), now, after.GetCaption(h));
    }
    return lines.join(QStringLiteral("\r\n"));
}

// " AND ID NOT IN(...)" for the kept lines, in lists SQLite takes, and the child table's
// fixed condition (rows of several owners share the parent column).
QString StaleLineFilter(const QList<int>& keptIds, const CHeads& child)
{
    QString filter;
    for (const QString& ids : ChunkIds(keptIds))
        filter += FormatString(u" AND ID NOT IN(%s)", ids);
    if (!child.m_strCondition.isEmpty())
        filter += QStringLiteral(" AND (") + child.m_strCondition + u')';
    return filter;
}

bool IsChildTable(const CHeads* child)
{
    return child && !child->m_strTable.isEmpty() && !child->m_strTable.contains(u' ');
}

bool WriteRow(CXDBSession& session, CXItem& item, const CHeads& heads, int& rowId)
{
    const QString task = QStringLiteral("保存") + heads.m_strItemType;
    QStringList columns;
    std::vector<const CHead*> bound;
    for (int i = 0; i < heads.GetSize(); ++i) {
        const CHead* h = heads.GetAt(i);
        if (!h->m_bWritable || h->m_pfnGet || !ParamTypeOf(h->m_nType) || (!h->m_nOffset && h->m_nType != XLK))
            continue;
        columns.append(h->m_strColumn);
        bound.push_back(h);
    }
    const bool update = rowId > 0;
    QString sql;
    if (update)
        sql = FormatString(u"UPDATE %s SET %s WHERE ID=%d", heads.m_strTable,
                           columns.join(QStringLiteral("=?,")) + QStringLiteral("=?"), rowId);
    else
        sql = FormatString(u"INSERT INTO %s (%s) VALUES (%s)", heads.m_strTable, columns.join(u','),
                           QStringList(columns.size(), QStringLiteral("?")).join(u','));
    CXAccessor cmd;
    for (std::size_t i = 0; i < bound.size(); ++i)
        cmd.SetParamType(static_cast<int>(i), ParamTypeOf(bound[i]->m_nType));
    if (columns.isEmpty() || !cmd.Prepare(session, sql)) {
        ReportDbError(task, &cmd, columns.isEmpty() ? QStringLiteral("没有可写入的列") : QString());
        return false;
    }
    int ordinal = 1;
    for (const CHead* h : bound) {
        const int off = h->m_nOffset;
        switch (h->m_nType) {
        case XIN:
        case XTS:
            cmd.SetParamInt(ordinal, item.Member<int>(off));
            break;
        case XLK:
            cmd.SetParamInt(ordinal, LinkOf(item, h).m_nID);
            break;
        case XNU:
            cmd.SetParamDouble(ordinal, item.Member<double>(off));
            break;
        case XDT:
            cmd.SetParamDouble(ordinal, item.Member<XDateTime>(off).Day());
            break;
        case XSW:
            cmd.SetParamText(ordinal, item.Member<QString>(off));
            break;
        default:
            break;
        }
        ++ordinal;
    }
    if (!cmd.Execute()) {
        // a log row that cannot be written is not reported: the report would be a log row
        if (item.m_nMduID != MDU_OPERLOG)
            ReportDbError(task, &cmd, QString());
        return false;
    }
    if (update) {
        if (cmd.GetChanges() == 1)
            return true;
        // the row is gone (deleted meanwhile, or its insert was rolled back)
        if (item.m_nMduID != MDU_OPERLOG)
            ReportDbError(task, &cmd, FormatString(u"要保存的%s已不存在，可能已被删除。", heads.m_strItemType));
        return false;
    }
    CXAccessor identity;
    if (!identity.Open(session, QStringLiteral("SELECT @@Identity")) || !identity.MoveNext()) {
        ReportDbError(task, &identity, QString());
        return false;
    }
    rowId = static_cast<int>(identity.GetNumber(1));
    return true;
}

bool WriteStreams(CXDBSession& session, CXItem& item, const CHeads& heads, int rowId)
{
    for (int i = 0; i < heads.GetSize(); ++i) {
        const CHead* h = heads.GetAt(i);
        if (!h->m_bWritable || !h->m_nOffset || (h->m_nType != XIM && h->m_nType != XSA))
            continue;
        QByteArray bytes;
        if (h->m_nType == XIM)
            item.Member<CXImage>(h->m_nOffset).GetBytes(&bytes);
        else
            bytes = item.Member<QByteArray>(h->m_nOffset);
        if (!WriteBinaryColumn(&session, heads.m_strTable, h->m_strColumn, rowId, bytes))
            return false;
    }
    return true;
}

bool SaveLines(CXDBSession& session, CXItem& item, const CHeads& heads, int rowId, bool updated, const CXItem& user)
{
    for (int i = 0; i < heads.GetSize(); ++i) {
        const CHead* h = heads.GetAt(i);
        if (h->m_nType != XAR || !h->m_nOffset)
            continue;
        CXArray& lines = item.Member<CXArray>(h->m_nOffset);
        const CHeads* child = lines.GetHeads();
        if (!IsChildTable(child))
            continue;
        QList<int> kept;
        for (CXItem* line : lines) {
            line->m_nParentID = rowId;
            if (line->IsAutoEmpty()) {
                line->m_nSubID = 0;
                continue;
            }
            if (!SaveItem(&session, line, nullptr, user))
                return false;
            kept.append(RowIdOf(*line));
        }
        if (!updated)
            continue;
        const CHead* parent = child->FindByCaption(QStringLiteral("ParentID"));
        if (!parent)
            return false;
        CXAccessor cmd;
        const QString sql =
            PrepareSql(FormatString(u"DELETE FROM %s WHERE %s=%d", child->m_strTable, parent->m_strColumn, rowId) +
                       StaleLineFilter(kept, *child));
        if (!cmd.Open(session, sql)) {
            ReportDbError(FormatString(u"删除%s的%s", heads.m_strItemType, child->m_strItemType), &cmd, QString());
            return false;
        }
    }
    return true;
}

// Writes the operation's log row inside the writer's transaction. The log's own insert
// reports nothing (its report would be a log row), so a failure is reported here.
bool LogChange(CXDBSession& session, int type, const CXItem& user, const CXItem& item, const QString& memo,
               const QString& task, int itemId = -1)
{
    if (WriteOperLog(type, user, item.m_nMduID, itemId < 0 ? item.m_nID : itemId, memo, QString(), &session))
        return true;
    ReportDbError(task, nullptr, QStringLiteral("操作日志未能写入：") + GetOleDbErrorText());
    return false;
}

} // namespace

bool SaveItem(CXDBSession* given, CXItem* item, CXItem* earlier, const CXItem& user)
{
    CHeads* heads = item ? item->GetHeads() : nullptr;
    if (!heads || heads->m_strTable.isEmpty() || heads->IsEmpty())
        return false;
    XWriteScope scope(given);
    if (!scope.Begin(QStringLiteral("保存") + heads->m_strItemType))
        return scope.Finish(false);
    CXDBSession& session = scope.Session();

    const bool main = item->IsModuleItem();
    int& rowId = RowIdOf(*item);
    const bool updated = rowId > 0;

    if (item->IsAutoEmpty()) {
        // an untouched automatic record is not stored; a stored one goes
        item->m_created.Reset();
        item->m_modified.Reset();
        const bool ok = rowId <= 0 || DeleteItem(&session, item, user);
        return scope.Finish(ok);
    }

    // A failed save leaves what was new new: the row, its lines' rows and the number it was
    // given were rolled back with the transaction.
    const QString nameBefore = item->m_strName;
    std::vector<CXItem*> newLines;
    if (main) {
        for (int i = 0; i < heads->GetSize(); ++i) {
            const CHead* h = heads->GetAt(i);
            if (h->m_nType == XAR && h->m_nOffset)
                for (CXItem* line : item->Member<CXArray>(h->m_nOffset))
                    if (RowIdOf(*line) <= 0)
                        newLines.push_back(line);
        }
    }
    auto undoNew = [&] {
        if (!updated) {
            rowId = 0;
            item->m_strName = nameBefore;
        }
        for (CXItem* line : newLines)
            RowIdOf(*line) = 0;
    };
    auto fail = [&] {
        undoNew();
        return scope.Finish(false);
    };

    if (main && item->m_strName.isEmpty()) {
        CModule* module = FindModule(item->m_nMduID);
        if (module && !module->GetKeyFormat().isEmpty()) {
            item->m_strName = module->MakeRecordNumber(session, item->m_nID);
            if (item->m_strName.isEmpty())
                return fail();
        }
    }

    if (!WriteRow(session, *item, *heads, rowId) || !WriteStreams(session, *item, *heads, rowId))
        return fail();
    if (main && !SaveLines(session, *item, *heads, rowId, updated, user))
        return fail();

    // The log row belongs to the save: without it nothing is stored, and the earlier copy and
    // the stamps are only taken once it is written.
    if (main && item->m_nMduID != MDU_OPERLOG) {
        const QString task = QStringLiteral("保存") + heads->m_strItemType;
        if (updated) {
            const bool compared = earlier && earlier != item;
            const QString description = compared ? DescribeChanges(*earlier, *item, *heads) : QString();
            if (!description.isEmpty() && !LogChange(session, OPER_MDF, user, *item, description, task))
                return fail();
            if (compared)
                item->CopyTo(earlier);
            if (!earlier || !description.isEmpty())
                SetStamp(item->m_modified, user);
        } else {
            if (!LogChange(session, OPER_ADD, user, *item, QString(), task))
                return fail();
            SetStamp(item->m_created, user);
        }
    }
    if (!scope.Finish(true)) {
        undoNew();
        return false;
    }
    if (item->m_nMduID == MDU_PRJQUERY)
        InvalidateQuerySchemes();
    return true;
}

bool DeleteItem(CXDBSession* given, CXItem* item, const CXItem& user)
{
    CHeads* heads = item ? item->GetHeads() : nullptr;
    if (!heads || heads->m_strTable.isEmpty() || heads->IsEmpty())
        return false;
    const bool main = item->IsModuleItem();
    const int rowId = RowIdOf(*item);
    if (rowId < 1)
        return true;
    const QString task = QStringLiteral("删除") + heads->m_strItemType;
    // Row and child rows go together: a delete that connects itself owns a transaction.
    XWriteScope scope(given);
    if (!scope.Begin(task))
        return scope.Finish(false);
    CXDBSession& session = scope.Session();

    CXAccessor cmd;
    if (!cmd.Open(session, FormatString(u"DELETE FROM %s WHERE ID=%d", heads->m_strTable, rowId))) {
        ReportDbError(task, &cmd, QString());
        return scope.Finish(false);
    }
    if (main) {
        for (int i = 0; i < heads->GetSize(); ++i) {
            const CHead* h = heads->GetAt(i);
            if (h->m_nType != XAR || !h->m_nOffset)
                continue;
            const CHeads* child = item->Member<CXArray>(h->m_nOffset).GetHeads();
            const CHead* parent = IsChildTable(child) ? child->FindByCaption(QStringLiteral("ParentID")) : nullptr;
            if (!parent)
                continue;
            CXAccessor lines;
            const QString sql = PrepareSql(
                FormatString(u"DELETE FROM %s WHERE %s=%d", child->m_strTable, parent->m_strColumn, item->m_nID) +
                StaleLineFilter({}, *child));
            if (!lines.Open(session, sql)) {
                ReportDbError(FormatString(u"删除%s的%s", heads->m_strItemType, child->m_strItemType), &lines,
                              QString());
                return scope.Finish(false);
            }
        }
        if (!LogChange(session, OPER_DEL, user, *item, item->m_strName, task, 0))
            return scope.Finish(false);
    }
    if (!scope.Finish(true))
        return false;
    if (item->m_nMduID == MDU_PRJQUERY)
        InvalidateQuerySchemes();
    return true;
}

bool CXArray::DeleteItems(const CXItem* user)
{
    // the logged-in user when none is given; the built-in administrator without one
    const CXItem* current = user ? user : AppServices().User();
    const CXItem& who = current ? *current : BuiltInAdmin();
    XWriteScope scope(nullptr);
    if (!scope.Begin(QStringLiteral("删除")))
        return scope.Finish(false);
    for (CXItem* item : m_items)
        if (!DeleteItem(&scope.Session(), item, who))
            return scope.Finish(false);
    return scope.Finish(true);
}

bool ReplaceColumnValue(const QString& table, const QString& column, const QString& oldText, const QString& newText)
{
    CXDBSession session;
    session.Connect();
    CXAccessor cmd;
    if (!cmd.Prepare(session, FormatString(u"UPDATE %s SET %s=? WHERE %s=?", table, column, column)) ||
        !cmd.SetParamText(1, newText) || !cmd.SetParamText(2, oldText) || !cmd.Execute()) {
        ReportDbError(QStringLiteral("更新历史记录"), &cmd, QString());
        return false;
    }
    return true;
}
