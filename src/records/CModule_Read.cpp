// Reading records: query conditions, the main rows, long texts and images, child lines,
// stamps and link titles.
#include "CModule.h"

#include "CHead.h"
#include "CXAccessor.h"
#include "CXBlobAccessor.h"
#include "CXDBSession.h"
#include "CXItem.h"
#include "CommandIds.h"
#include "FormatString.h"
#include "OperLog.h"
#include "RecordSql.h"
#include "TextUtils.h"
#include "XRecordBulk.h"

#include <QtCore/QBuffer>
#include <QtCore/QHash>
#include <QtCore/QRegularExpression>

#include <sqlite3.h>

#include <map>
#include <memory>
#include <vector>

namespace {

// "%text%" for the bound find parameter: the text's own pattern characters match literally.
QString ContainsPattern(const QString& text)
{
    // the escaper doubles quotes for literals; a bound value keeps them single
    QString escaped = EscapeLikePattern(text);
    escaped.replace(QStringLiteral("''"), QStringLiteral("'"));
    return u'%' + escaped + u'%';
}

// Long texts are RTF or other narrow bytes; a zero byte ends the text of a piece.
void AppendPieces(QByteArray& target, const QByteArray& stream)
{
    constexpr qsizetype kPiece = 4096;
    for (qsizetype at = 0; at < stream.size(); at += kPiece) {
        const QByteArray piece = stream.mid(at, kPiece);
        const qsizetype zero = piece.indexOf('\0');
        target.append(zero < 0 ? piece : piece.left(zero));
    }
}

// The find text travels inside the conditions as the name of the parameter their terms
// compare with: ":find_" and the text's UTF-8 bytes in hex. Whoever builds the conditions
// thus hands the text to ReadItems with them, and no module's own read can lose it. Hex
// digits carry no quote, so nothing on the way rewrites them.
const QString kFindPrefix = QStringLiteral(":find_");

QString FindParameter(const QString& text) { return kFindPrefix + QString::fromLatin1(text.toUtf8().toHex()); }

// Turns every carried find parameter back into ":find" (":find2", ... for further texts)
// and gives the texts in that order.
QStringList TakeFindTexts(QStringList& conditions)
{
    static const QRegularExpression carried(QStringLiteral(":find_([0-9a-f]+)\\b"));
    QStringList texts;
    for (QString& condition : conditions) {
        if (!condition.contains(kFindPrefix))
            continue;
        QString plain;
        qsizetype from = 0;
        for (const QRegularExpressionMatch& m : carried.globalMatch(condition)) {
            const QString text = QString::fromUtf8(QByteArray::fromHex(m.captured(1).toLatin1()));
            qsizetype n = texts.indexOf(text);
            if (n < 0) {
                n = texts.size();
                texts.append(text);
            }
            plain += QStringView(condition).mid(from, m.capturedStart() - from);
            plain += n ? QStringLiteral(":find%1").arg(n + 1) : QStringLiteral(":find");
            from = m.capturedEnd();
        }
        plain += QStringView(condition).mid(from);
        condition = plain;
    }
    return texts;
}

using RecordIndex = QHash<int, CXItem*>;

// Indexes the records read (from first on) by their row IDs, the first record of an ID
// winning, and gives the filter the follow-up reads select their rows by.
XIdFilter IndexRows(const CXArray& items, int first, int (*rowId)(CXItem&), RecordIndex& index)
{
    QList<int> ids;
    ids.reserve(items.GetSize() - first);
    index.reserve(items.GetSize() - first);
    for (int i = first; i < items.GetSize(); ++i) {
        const int id = rowId(*items[i]);
        if (id && !index.contains(id)) {
            index.insert(id, items[i]);
            ids.append(id);
        }
    }
    return XIdFilter(ids);
}

// Opens a read whose SQL holds the filter's condition (when there is a filter).
bool OpenFiltered(CXAccessor& cmd, CXDBSession& session, const QString& sql, const XIdFilter* filter)
{
    if (!cmd.Prepare(session, sql))
        return false;
    if (filter && !filter->BoundIds().isEmpty() &&
        !cmd.SetParamText(cmd.GetParamOrdinal(QStringLiteral(":ids")), filter->BoundIds()))
        return false;
    return cmd.Execute();
}

// Whether the field table has long texts, or images that are read.
bool HasStreams(const CHeads& heads, bool bNoImages)
{
    if (heads.m_strTable.isEmpty())
        return false;
    for (int i = 0; i < heads.GetSize(); ++i) {
        const CHead* h = heads.GetAt(i);
        if (!h->m_strColumn.isEmpty() && h->m_nOffset && (h->m_nType == XSA || (h->m_nType == XIM && !bNoImages)))
            return true;
    }
    return false;
}

// Reads the long texts (and images unless bNoImages) of the records by their row IDs.
bool ReadStreams(CXDBSession& session, const CHeads& heads, const XIdFilter& ids, const RecordIndex& index,
                 bool bNoImages, const QString& task)
{
    if (ids.IsEmpty() || heads.m_strTable.isEmpty())
        return true;
    for (int i = 0; i < heads.GetSize(); ++i) {
        const CHead* h = heads.GetAt(i);
        if (h->m_strColumn.isEmpty() || !h->m_nOffset)
            continue;
        if (h->m_nType != XSA && !(h->m_nType == XIM && !bNoImages))
            continue;
        CXBlobAccessor cmd;
        const QString sql = FormatString(u"SELECT ID,%s FROM %s WHERE %s", h->m_strColumn, heads.m_strTable,
                                         ids.Condition(QStringLiteral("ID")));
        if (!OpenFiltered(cmd, session, sql, &ids)) {
            ReportDbError(task, &cmd, QString());
            return false;
        }
        while (cmd.MoveNext()) {
            const int id = cmd.GetID();
            if (id == 0 || cmd.IsNull(2))
                continue;
            CXItem* item = index.value(id);
            if (!item)
                continue;
            if (h->m_nType == XIM) {
                QByteArray bytes = cmd.GetStream();
                QBuffer buffer(&bytes);
                buffer.open(QIODevice::ReadOnly);
                CXImage& image = item->Member<CXImage>(h->m_nOffset);
                image.LoadStream(&buffer);
                image.m_nPhotoID = id;
            } else {
                QByteArray& text = item->Member<QByteArray>(h->m_nOffset);
                text.clear();
                AppendPieces(text, cmd.GetStream());
            }
        }
        if (cmd.Failed()) {
            ReportDbError(task, &cmd, QString());
            return false;
        }
    }
    return true;
}

// The column ordinal of every field LoadFromRow fills (0: not read).
QList<int> ColumnOrdinals(const CHeads& heads, const CXAccessor& cmd)
{
    QList<int> ordinals;
    ordinals.reserve(heads.GetSize());
    for (int i = 0; i < heads.GetSize(); ++i) {
        const CHead* h = heads.GetAt(i);
        ordinals.append(h->m_strColumn.isEmpty() || h->m_strColumn.contains(u'&') ? 0 : cmd.GetOrdinal(h->m_strColumn));
    }
    return ordinals;
}

// One field a row fills: its type, offset and 0-based column. Worked out once per
// statement, so a row costs the column reads alone.
struct ColumnRead
{
    int type;
    int offset;
    int column;
};

std::vector<ColumnRead> ColumnReads(const CHeads& heads, const QList<int>& ordinals, int columnCount)
{
    std::vector<ColumnRead> reads;
    for (int i = 0; i < heads.GetSize() && i < ordinals.size(); ++i) {
        const int ordinal = ordinals[i];
        const CHead* h = heads.GetAt(i);
        if (ordinal <= 0 || ordinal > columnCount || h->m_pfnGet)
            continue;
        switch (h->m_nType) {
        case XIN:
        case XTS:
        case XNU:
        case XDT:
            if (h->m_nOffset)
                reads.push_back({h->m_nType, h->m_nOffset, ordinal - 1});
            break;
        case XLK:
        case XSW:
            reads.push_back({h->m_nType, h->m_nOffset, ordinal - 1});
            break;
        default:
            break;
        }
    }
    return reads;
}

// A NULL or a text reads as 0.
double ColumnNumber(sqlite3_stmt* st, int column)
{
    switch (sqlite3_column_type(st, column)) {
    case SQLITE_INTEGER:
        return static_cast<double>(sqlite3_column_int64(st, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(st, column);
    default:
        return 0;
    }
}

void LoadRow(CXItem& item, sqlite3_stmt* st, const std::vector<ColumnRead>& reads)
{
    for (const ColumnRead& r : reads) {
        switch (r.type) {
        case XIN:
        case XTS:
            item.Member<int>(r.offset) = static_cast<int>(ColumnNumber(st, r.column));
            break;
        case XNU:
            item.Member<double>(r.offset) = ColumnNumber(st, r.column);
            break;
        case XDT:
            item.Member<XDateTime>(r.offset) = XDateTime(ColumnNumber(st, r.column));
            break;
        case XLK: {
            CXBase& link = r.offset ? item.Member<CXBase>(r.offset) : item;
            link.m_nID = static_cast<int>(ColumnNumber(st, r.column));
            break;
        }
        case XSW: {
            QString& target = r.offset ? item.Member<QString>(r.offset) : item.m_strName;
            // the file keeps its texts in UTF-8: decoded here at once, with no copy on the way
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, r.column));
            const int bytes = sqlite3_column_bytes(st, r.column);
            if (text && bytes > 0)
                target = QString::fromUtf8(text, bytes);
            else
                target = QStringLiteral(""); // NULL and empty alike: never a null text
            break;
        }
        default:
            break;
        }
    }
}

} // namespace

// ---------------------------------------------------------------------------------------
// CXItem::LoadFromRow

void CXItem::LoadFromRow(const CXAccessor& cmd, const QList<int>* ordinals)
{
    const CHeads* heads = GetHeads();
    if (!heads || !cmd.HasRow())
        return;
    const std::vector<ColumnRead> reads =
        ColumnReads(*heads, ordinals ? *ordinals : ColumnOrdinals(*heads, cmd), cmd.GetColumnCount());
    LoadRow(*this, cmd.Statement(), reads);
}

// ---------------------------------------------------------------------------------------
// Conditions

void CModule::BuildQueryConditions(QStringList& conditions, const CXMap& query) const
{
    conditions.clear();
    const CHeads* heads = GetHeads();
    if (!heads || heads->m_strTable.isEmpty())
        return;
    if (query.Has(QKEY_IDS))
        conditions.append(FormatString(u"ID IN (%s)", NormaliseIdList(query.GetIdList(QKEY_IDS))));
    if (query.Has(QKEY_NOT_IDS))
        conditions.append(FormatString(u"ID NOT IN (%s)", NormaliseIdList(query.GetIdList(QKEY_NOT_IDS))));
    const QString find = query.GetText(ID_FIND_WHAT);
    if (find.isEmpty())
        return;

    // A blank record tells each link's target module and each child list's table.
    std::unique_ptr<CXItem> blank(CreateItem());
    if (!blank)
        return;
    auto titleIn = [](const CXBase& link) -> QString {
        const CModule* target = FindModule(link.m_nMduID);
        const QString sql = target ? target->GetItemTitleSql() : QString();
        if (sql.isEmpty())
            return QString();
        return FormatString(u"SELECT DISTINCT ID FROM (SELECT ID FROM (%s) WHERE ItemTitle LIKE :find)",
                            PrepareSql(sql));
    };
    auto linkOf = [](CXItem& item, const CHead* h) -> CXBase& {
        return h->m_nOffset ? item.Member<CXBase>(h->m_nOffset) : static_cast<CXBase&>(item);
    };

    // Only columns the table has: a column of the field table may be computed by its SQL.
    QStringList terms;
    for (int i = 0; i < heads->GetSize(); ++i) {
        const CHead* h = heads->GetAt(i);
        if (h->m_nType == XSW && h->m_bWritable) {
            terms.append(h->m_strColumn + QStringLiteral(" LIKE :find"));
        } else if (h->m_nType == XLK && h->m_bWritable) {
            const QString in = titleIn(linkOf(*blank, h));
            if (!in.isEmpty())
                terms.append(h->m_strColumn + QStringLiteral(" IN (") + in + u')');
        } else if (h->m_nType == XAR && h->m_nOffset) {
            CXArray& lines = blank->Member<CXArray>(h->m_nOffset);
            const CHeads* child = lines.GetHeads();
            const CHead* parent = child ? child->FindByCaption(QStringLiteral("ParentID")) : nullptr;
            if (!parent)
                continue;
            std::unique_ptr<CXItem> line(lines.CreateItem());
            for (int j = 0; j < child->GetSize(); ++j) {
                const CHead* c = child->GetAt(j);
                if (!c->m_bWritable)
                    continue;
                if (c->m_nType == XSW) {
                    terms.append(FormatString(u"ID IN (SELECT DISTINCT %s FROM %s WHERE %s LIKE :find)",
                                              parent->m_strColumn, child->m_strTable, c->m_strColumn));
                } else if (c->m_nType == XLK && line) {
                    const QString in = titleIn(linkOf(*line, c));
                    if (!in.isEmpty())
                        terms.append(FormatString(u"ID IN (SELECT DISTINCT %s FROM %s WHERE %s IN (%s))",
                                                  parent->m_strColumn, child->m_strTable, c->m_strColumn, in));
                }
            }
        }
    }
    if (terms.isEmpty())
        return;
    // The text is bound by ReadItems: written into the statement it would go through the
    // symbol replacement and name map that work on the program's own SQL text.
    conditions.append(terms.join(QStringLiteral(" OR ")).replace(QStringLiteral(":find"), FindParameter(find)));
}

// ---------------------------------------------------------------------------------------
// Records

namespace {

// The lines of the child field at the offset, of every parent the select names, appended to
// target as detached lines (their own long texts and images read).
bool ReadLines(CModule& module, CXDBSession& session, int offset, const QString* parentIds, const XIdFilter* parents,
               CXArray& target, bool bNoImages, const XSqlNameMap* names)
{
    std::unique_ptr<CXItem> blank(module.CreateItem());
    if (!blank)
        return false;
    CXArray& lines = blank->Member<CXArray>(offset);
    const CHeads* heads = lines.GetHeads();
    const CHead* parent = heads ? heads->FindByCaption(QStringLiteral("ParentID")) : nullptr;
    if (!heads || (parents && !parent))
        return false;
    const QString task = QStringLiteral("读取") + heads->m_strItemType;
    const QStringList byParents{parents ? parents->Condition(parent->m_strColumn) : QString()};
    CXAccessor cmd;
    const QString sql = PrepareSql(heads->BuildSelect(parentIds, parents ? &byParents : nullptr), names);
    if (!OpenFiltered(cmd, session, sql, parents)) {
        ReportDbError(task, &cmd, QString());
        return false;
    }
    const int first = target.GetSize();
    std::vector<ColumnRead> reads;
    bool columnsKnown = false;
    XRecordBulk bulk;
    while (cmd.MoveNext()) {
        CXItem* line = lines.CreateItem();
        if (!line) {
            cmd.Close();
            ReportDbError(task, &cmd, QStringLiteral("无法创建子项目"));
            return false;
        }
        if (!columnsKnown) {
            reads = ColumnReads(*heads, ColumnOrdinals(*heads, cmd), cmd.GetColumnCount());
            columnsKnown = true;
        }
        LoadRow(*line, cmd.Statement(), reads);
        line->m_pArray = nullptr;
        target.AddAdopted(line);
    }
    if (cmd.Failed()) {
        ReportDbError(task, &cmd, QString());
        return false;
    }
    if (target.GetSize() == first || !HasStreams(*heads, bNoImages))
        return true;
    RecordIndex index;
    const XIdFilter ids = IndexRows(
        target, first, [](CXItem& line) { return RowIdOf(line); }, index);
    return ReadStreams(session, *heads, ids, index, bNoImages, task);
}

} // namespace

bool CModule::ReadItems(CXDBSession& session, CXArray& items, const QStringList& conditions, bool bNoImages,
                        bool bExpectOne, const XSqlNameMap* names, const QString& findText)
{
    const CHeads* heads = GetHeads();
    if (!heads)
        return false;
    const QString task = QStringLiteral("读取") + heads->m_strItemType;
    if (RequiresQuery() && conditions.isEmpty()) {
        ReportDbError(task, nullptr, QStringLiteral("需设置至少一个有效查询选项！"));
        return false;
    }
    QStringList plainConditions = conditions;
    QStringList finds = TakeFindTexts(plainConditions);
    // a text the caller names itself goes to the plain ":find" (conditions written by hand)
    if (!findText.isEmpty()) {
        if (finds.isEmpty())
            finds.append(findText);
        else
            finds[0] = findText;
    }
    CXAccessor cmd;
    bool opened = cmd.Prepare(session, PrepareSql(heads->BuildSelect(nullptr, &plainConditions), names));
    for (qsizetype n = 0; opened && n < finds.size(); ++n) {
        const int find = cmd.GetParamOrdinal(n ? QStringLiteral(":find%1").arg(n + 1) : QStringLiteral(":find"));
        if (find > 0 && !finds[n].isEmpty())
            opened = cmd.SetParamText(find, ContainsPattern(finds[n]));
    }
    if (!opened || !cmd.Execute()) {
        ReportDbError(task, &cmd, QString());
        return false;
    }
    const int first = items.GetSize();
    std::vector<ColumnRead> reads;
    bool columnsKnown = false;
    {
        XRecordBulk bulk;
        while (cmd.MoveNext()) {
            if (bExpectOne && items.GetSize() > first) {
                cmd.Close();
                ReportDbError(task, &cmd,
                              FormatString(u"只需读取一%s%s，却返回了多%s！", heads->m_strItemUnit,
                                           heads->m_strItemType, heads->m_strItemUnit));
                return false;
            }
            if (items.GetSize() >= kMaxReadItems) {
                cmd.Close();
                items.RemoveAll();
                ReportDbError(task, &cmd, FormatString(u"查询到的%s数量过多（> 100000）！", heads->m_strItemType));
                return false;
            }
            if (!columnsKnown) {
                reads = ColumnReads(*heads, ColumnOrdinals(*heads, cmd), cmd.GetColumnCount());
                columnsKnown = true;
            }
            CXItem* item = CreateItem();
            LoadRow(*item, cmd.Statement(), reads);
            items.AddAdopted(item);
        }
    }
    if (cmd.Failed()) {
        ReportDbError(task, &cmd, QString());
        return false;
    }
    if (bExpectOne && items.GetSize() == first) {
        ReportDbError(task, &cmd, FormatString(u"未能读取一%s%s！", heads->m_strItemUnit, heads->m_strItemType));
        return false;
    }
    if (items.GetSize() == first || heads->m_strTable.isEmpty())
        return true;

    // What follows reads by the records' IDs: long texts and images, child lines, stamps.
    std::vector<int> lineOffsets;
    for (int i = 0; i < heads->GetSize(); ++i) {
        const CHead* h = heads->GetAt(i);
        if (h->m_nType != XAR || !h->m_nOffset)
            continue;
        const CHeads* child = items[first]->Member<CXArray>(h->m_nOffset).GetHeads();
        if (!child || (child->m_strTable.isEmpty() && child->m_strSql.isEmpty()) ||
            (bNoImages && child->m_strTable.isEmpty()) || !child->FindByCaption(QStringLiteral("ParentID")))
            continue;
        lineOffsets.push_back(h->m_nOffset);
    }
    const bool stamps = !bNoImages && m_nMduID != MDU_OPERLOG && (m_nCaps & RIGHT_ADD);
    if (!HasStreams(*heads, bNoImages) && lineOffsets.empty() && !stamps)
        return true;
    RecordIndex index;
    const XIdFilter ids = IndexRows(
        items, first, [](CXItem& item) { return item.m_nID; }, index);
    if (ids.IsEmpty())
        return true;

    if (!ReadStreams(session, *heads, ids, index, bNoImages, task))
        return false;

    for (int offset : lineOffsets) {
        CXArray lines(nullptr, true);
        if (!ReadLines(*this, session, offset, nullptr, &ids, lines, bNoImages, names))
            return false;
        // Each line goes to the record it belongs to; lines of no record read are dropped.
        for (int n = 0; n < lines.GetSize(); ++n) {
            CXItem* line = lines[n];
            CXItem* owner = line->m_nParentID ? index.value(line->m_nParentID) : nullptr;
            if (!owner)
                continue;
            lines.SetAt(n, nullptr);
            CXArray& target = owner->Member<CXArray>(offset);
            if (target.m_bOwns) {
                line->m_pArray = &target;
                line->m_nParentID = owner->m_nID;
            } else {
                line->m_pArray = nullptr; // the temporary array is gone when the loop ends
            }
            target.Add(line);
        }
    }

    if (!stamps)
        return true;
    // The user of a stamp is the one of the latest operation of its type: SQLite takes the
    // bare columns from the row that gave the MAX.
    CXAccessor log;
    const QString sql = PrepareSql(
        FormatString(u"SELECT TypeID,ItemID,MAX(OperTime),UserMduID,UserID FROM TB_OPERLOG WHERE TypeID IN "
                     u"('OPER_ADD','OPER_MDF','OPER_PRT','OPER_MSG') AND %s AND MduID=%d GROUP BY TypeID,ItemID",
                     ids.Condition(QStringLiteral("ItemID")), m_nMduID));
    if (!OpenFiltered(log, session, sql, &ids)) {
        ReportDbError(QStringLiteral("读取操作记录"), &log, QString());
        return false;
    }
    while (log.MoveNext()) {
        CXItem* item = index.value(static_cast<int>(log.GetNumber(2)));
        if (!item)
            continue;
        CXBase* stamp = nullptr;
        switch (static_cast<int>(log.GetNumber(1))) {
        case OPER_ADD:
            stamp = &item->m_created;
            break;
        case OPER_MDF:
            stamp = &item->m_modified;
            break;
        case OPER_PRT:
            stamp = &item->m_printed;
            break;
        case OPER_MSG:
            stamp = &item->m_notified;
            break;
        default:
            continue;
        }
        stamp->m_dtDate = XDateTime(log.GetNumber(3));
        stamp->m_nMduID = static_cast<int>(log.GetNumber(4));
        stamp->m_nID = static_cast<int>(log.GetNumber(5));
    }
    if (log.Failed()) {
        ReportDbError(QStringLiteral("读取操作记录"), &log, QString());
        return false;
    }
    return true;
}

bool CModule::ReadChildItems(CXDBSession& session, int offset, const QString& parentIds, CXArray& target,
                             bool bNoImages, const XSqlNameMap* names)
{
    return ReadLines(*this, session, offset, &parentIds, nullptr, target, bNoImages, names);
}

// ---------------------------------------------------------------------------------------
// Link titles, validation and order

namespace {

void CollectLinks(CXItem& item, std::map<int, std::vector<CXBase*>>& groups)
{
    auto add = [&groups](CXBase& link) {
        if (link.m_nMduID && link.m_nID)
            groups[link.m_nMduID].push_back(&link);
    };
    add(item);
    add(item.m_created);
    add(item.m_modified);
    add(item.m_printed);
    add(item.m_notified);
    const CHeads* heads = item.GetHeads();
    if (!heads)
        return;
    for (int i = 0; i < heads->GetSize(); ++i) {
        const CHead* h = heads->GetAt(i);
        if (!h->m_nOffset || h->m_pfnGet)
            continue;
        if (h->m_nType == XLK)
            add(item.Member<CXBase>(h->m_nOffset));
        else if (h->m_nType == XAR)
            for (CXItem* line : item.Member<CXArray>(h->m_nOffset))
                CollectLinks(*line, groups);
    }
}

void SortBy(CXArray& array, const CHeads& heads)
{
    for (int i = 0; i < heads.GetSize(); ++i) {
        const CHead* h = heads.GetAt(i);
        if (h->m_nSort && h->m_nOffset && !h->m_pfnGet)
            array.Sort(h->m_nType, h->m_nOffset, h->m_nSort == 2);
    }
}

} // namespace

bool CModule::ReadLinkTitles(CXDBSession& session, CXArray& items)
{
    std::map<int, std::vector<CXBase*>> groups;
    for (CXItem* item : items)
        CollectLinks(*item, groups);

    for (auto& [mduId, links] : groups) {
        const CModule* target = FindModule(mduId);
        if (!target)
            continue;
        QHash<int, QString> titles;
        for (const CXBase* link : links)
            if (!link->m_strName.isEmpty() && !titles.contains(link->m_nID))
                titles.insert(link->m_nID, link->m_strName);
        QList<int> missing;
        for (CXBase* link : links) {
            if (!link->m_strName.isEmpty())
                continue;
            if (titles.contains(link->m_nID))
                link->m_strName = titles.value(link->m_nID);
            else
                missing.append(link->m_nID);
        }
        const QString titleSql = target->GetItemTitleSql();
        if (missing.isEmpty() || titleSql.isEmpty())
            continue;
        const QString prepared = PrepareSql(titleSql);
        const QString caption = target->GetHeads() ? target->GetHeads()->m_strItemType : target->GetName();
        for (const QString& ids : ChunkIds(missing)) {
            CXAccessor cmd;
            if (!cmd.Open(session, FormatString(u"%s WHERE ID IN(%s)", prepared, ids))) {
                ReportDbError(FormatString(u"读取%s的名称", caption), &cmd, QString());
                return false;
            }
            while (cmd.MoveNext())
                titles.insert(static_cast<int>(cmd.GetNumber(1)), cmd.GetText(2));
            if (cmd.Failed()) {
                ReportDbError(FormatString(u"读取%s的名称", caption), &cmd, QString());
                return false;
            }
        }
        for (CXBase* link : links)
            if (link->m_strName.isEmpty())
                link->m_strName = titles.value(link->m_nID);
    }

    for (CXItem* item : items)
        item->Validate(nullptr, false);

    const CHeads* heads = GetHeads();
    if (!heads)
        return true;
    SortBy(items, *heads);
    for (int i = 0; i < heads->GetSize(); ++i) {
        const CHead* h = heads->GetAt(i);
        if (h->m_nType != XAR || !h->m_nOffset)
            continue;
        for (CXItem* item : items) {
            CXArray& lines = item->Member<CXArray>(h->m_nOffset);
            if (const CHeads* child = lines.GetHeads())
                SortBy(lines, *child);
        }
    }
    return true;
}
