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

#include <QtCore/QBuffer>
#include <QtCore/QHash>

#include <map>
#include <memory>

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

using RecordIndex = QHash<int, CXItem*>;

// Indexes the records read (from first on) by their row IDs, the first record of an ID
// winning, and gives the IDs as the lists the follow-up queries take.
QStringList IndexRows(const CXArray& items, int first, int (*rowId)(CXItem&), RecordIndex& index)
{
    QList<int> ids;
    index.reserve(items.GetSize() - first);
    for (int i = first; i < items.GetSize(); ++i) {
        const int id = rowId(*items[i]);
        ids.append(id);
        if (id && !index.contains(id))
            index.insert(id, items[i]);
    }
    return ChunkIds(ids);
}

// Reads the long texts (and images unless bNoImages) of the records by their row IDs.
bool ReadStreams(CXDBSession& session, const CHeads& heads, const QStringList& idChunks, const RecordIndex& index,
                 bool bNoImages, const QString& task)
{
    if (idChunks.isEmpty() || heads.m_strTable.isEmpty())
        return true;
    for (int i = 0; i < heads.GetSize(); ++i) {
        const CHead* h = heads.GetAt(i);
        if (h->m_strColumn.isEmpty() || !h->m_nOffset)
            continue;
        if (h->m_nType != XSA && !(h->m_nType == XIM && !bNoImages))
            continue;
        for (const QString& ids : idChunks) {
            CXBlobAccessor cmd;
            const QString sql =
                FormatString(u"SELECT ID,%s FROM %s WHERE ID IN (%s)", h->m_strColumn, heads.m_strTable, ids);
            if (!cmd.Open(session, sql)) {
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

struct StampRow
{
    int type;
    int offset;
};

} // namespace

// ---------------------------------------------------------------------------------------
// CXItem::LoadFromRow

void CXItem::LoadFromRow(const CXAccessor& cmd, const QList<int>* ordinals)
{
    const CHeads* heads = GetHeads();
    if (!heads)
        return;
    const QList<int> own = ordinals ? QList<int>() : ColumnOrdinals(*heads, cmd);
    const QList<int>& columns = ordinals ? *ordinals : own;
    for (int i = 0; i < heads->GetSize() && i < columns.size(); ++i) {
        const int ordinal = columns[i];
        if (ordinal <= 0)
            continue;
        const CHead* h = heads->GetAt(i);
        const int off = h->m_nOffset;
        if (h->m_pfnGet)
            continue;
        switch (h->m_nType) {
        case XIN:
        case XTS:
            if (off)
                Member<int>(off) = static_cast<int>(cmd.GetNumber(ordinal));
            break;
        case XNU:
            if (off)
                Member<double>(off) = cmd.GetNumber(ordinal);
            break;
        case XDT:
            if (off)
                Member<XDateTime>(off) = XDateTime(cmd.GetNumber(ordinal));
            break;
        case XLK: {
            CXBase& link = off ? Member<CXBase>(off) : *this;
            link.m_nID = static_cast<int>(cmd.GetNumber(ordinal));
            break;
        }
        case XSW: {
            const QString text = cmd.GetText(ordinal);
            QString& target = off ? Member<QString>(off) : m_strName;
            target = text.isNull() ? QStringLiteral("") : text;
            break;
        }
        default:
            break;
        }
    }
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
    conditions.append(terms.join(QStringLiteral(" OR ")));
}

// ---------------------------------------------------------------------------------------
// Records

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
    CXAccessor cmd;
    bool opened = cmd.Prepare(session, PrepareSql(heads->BuildSelect(nullptr, &conditions), names));
    if (opened) {
        const int find = cmd.GetParamOrdinal(QStringLiteral(":find"));
        if (find > 0 && !findText.isEmpty())
            opened = cmd.SetParamText(find, ContainsPattern(findText));
    }
    if (!opened || !cmd.Execute()) {
        ReportDbError(task, &cmd, QString());
        return false;
    }
    const int first = items.GetSize();
    QList<int> ordinals;
    bool columnsKnown = false;
    while (cmd.MoveNext()) {
        if (bExpectOne && items.GetSize() > first) {
            cmd.Close();
            ReportDbError(task, &cmd,
                          FormatString(u"只需读取一%s%s，却返回了多%s！", heads->m_strItemUnit, heads->m_strItemType,
                                       heads->m_strItemUnit));
            return false;
        }
        if (items.GetSize() >= kMaxReadItems) {
            cmd.Close();
            items.RemoveAll();
            ReportDbError(task, &cmd, FormatString(u"查询到的%s数量过多（> 100000）！", heads->m_strItemType));
            return false;
        }
        if (!columnsKnown) {
            ordinals = ColumnOrdinals(*heads, cmd);
            columnsKnown = true;
        }
        CXItem* item = CreateItem();
        item->LoadFromRow(cmd, &ordinals);
        items.AddAdopted(item);
    }
    if (cmd.Failed()) {
        ReportDbError(task, &cmd, QString());
        return false;
    }
    if (bExpectOne && items.GetSize() == first) {
        ReportDbError(task, &cmd, FormatString(u"未能读取一%s%s！", heads->m_strItemUnit, heads->m_strItemType));
        return false;
    }

    RecordIndex index;
    const QStringList chunks = IndexRows(
        items, first, [](CXItem& item) { return item.m_nID; }, index);
    if (chunks.isEmpty() || heads->m_strTable.isEmpty())
        return true;

    if (!ReadStreams(session, *heads, chunks, index, bNoImages, task))
        return false;

    for (int i = 0; i < heads->GetSize(); ++i) {
        const CHead* h = heads->GetAt(i);
        if (h->m_nType != XAR || !h->m_nOffset)
            continue;
        const CHeads* child = items[first]->Member<CXArray>(h->m_nOffset).GetHeads();
        if (!child || (child->m_strTable.isEmpty() && child->m_strSql.isEmpty()) ||
            (bNoImages && child->m_strTable.isEmpty()) || !child->FindByCaption(QStringLiteral("ParentID")))
            continue;
        CXArray lines(nullptr, true);
        for (const QString& parentIds : chunks)
            if (!ReadChildItems(session, h->m_nOffset, parentIds, lines, bNoImages, names))
                return false;
        // Each line goes to the record it belongs to; lines of no record read are dropped.
        for (int n = 0; n < lines.GetSize(); ++n) {
            CXItem* line = lines[n];
            CXItem* owner = line->m_nParentID ? index.value(line->m_nParentID) : nullptr;
            if (!owner)
                continue;
            lines.SetAt(n, nullptr);
            CXArray& target = owner->Member<CXArray>(h->m_nOffset);
            if (target.m_bOwns) {
                line->m_pArray = &target;
                line->m_nParentID = owner->m_nID;
            } else {
                line->m_pArray = nullptr; // the temporary array is gone when the loop ends
            }
            target.Add(line);
        }
    }

    if (bNoImages || m_nMduID == MDU_OPERLOG || !(m_nCaps & RIGHT_ADD))
        return true;
    // The user of a stamp is the one of the latest operation of its type: SQLite takes the
    // bare columns from the row that gave the MAX.
    for (const QString& ids : chunks) {
        CXAccessor stamps;
        const QString sql = PrepareSql(FormatString(
            u"SELECT TypeID,ItemID,MAX(OperTime),UserMduID,UserID FROM TB_OPERLOG WHERE TypeID IN "
            u"('OPER_ADD','OPER_MDF','OPER_PRT','OPER_MSG') AND ItemID IN(%s) AND MduID=%d GROUP BY TypeID,ItemID",
            ids, m_nMduID));
        if (!stamps.Open(session, sql)) {
            ReportDbError(QStringLiteral("读取操作记录"), &stamps, QString());
            return false;
        }
        while (stamps.MoveNext()) {
            CXItem* item = index.value(static_cast<int>(stamps.GetNumber(2)));
            if (!item)
                continue;
            CXBase* stamp = nullptr;
            switch (static_cast<int>(stamps.GetNumber(1))) {
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
            stamp->m_dtDate = XDateTime(stamps.GetNumber(3));
            stamp->m_nMduID = static_cast<int>(stamps.GetNumber(4));
            stamp->m_nID = static_cast<int>(stamps.GetNumber(5));
        }
        if (stamps.Failed()) {
            ReportDbError(QStringLiteral("读取操作记录"), &stamps, QString());
            return false;
        }
    }
    return true;
}

bool CModule::ReadChildItems(CXDBSession& session, int offset, const QString& parentIds, CXArray& target,
                             bool bNoImages, const XSqlNameMap* names)
{
    std::unique_ptr<CXItem> blank(CreateItem());
    if (!blank)
        return false;
    CXArray& lines = blank->Member<CXArray>(offset);
    const CHeads* heads = lines.GetHeads();
    if (!heads)
        return false;
    const QString task = QStringLiteral("读取") + heads->m_strItemType;
    CXAccessor cmd;
    if (!cmd.Open(session, PrepareSql(heads->BuildSelect(&parentIds, nullptr), names))) {
        ReportDbError(task, &cmd, QString());
        return false;
    }
    const int first = target.GetSize();
    QList<int> ordinals;
    bool columnsKnown = false;
    while (cmd.MoveNext()) {
        CXItem* line = lines.CreateItem();
        if (!line) {
            cmd.Close();
            ReportDbError(task, &cmd, QStringLiteral("无法创建子项目"));
            return false;
        }
        if (!columnsKnown) {
            ordinals = ColumnOrdinals(*heads, cmd);
            columnsKnown = true;
        }
        line->LoadFromRow(cmd, &ordinals);
        line->m_pArray = nullptr;
        target.AddAdopted(line);
    }
    if (cmd.Failed()) {
        ReportDbError(task, &cmd, QString());
        return false;
    }
    RecordIndex index;
    const QStringList chunks = IndexRows(
        target, first, [](CXItem& line) { return RowIdOf(line); }, index);
    return ReadStreams(session, *heads, chunks, index, bNoImages, task);
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
