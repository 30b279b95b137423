#include "CXItem.h"

#include "CHead.h"
#include "CModule.h"
#include "CXArray.h"
#include "CXMap.h"
#include "CXXmlDoc.h"
#include "FormatString.h"
#include "XString.h"

#include <algorithm>

// The element and attribute names, their order and value formats are what the XSL sheets
// of the panes and web pages read; keep them exactly.

namespace {

QString Flag(bool value) { return value ? QStringLiteral("1") : QStringLiteral("0"); }

QString TimeText(const XDateTime& time)
{
    return time.Day() != 0 ? time.Format(QStringLiteral("%Y-%#m-%#d %#H:%M")) : QString();
}

QString ColourText(const QColor& colour)
{
    return FormatString(u"#%02X%02X%02X", colour.red(), colour.green(), colour.blue());
}

// Fields whose column keeps a unique value per person or a long text offer no input history.
bool OffersHistory(const CHead& head)
{
    if (head.m_nType != XSW || head.m_strColumn.isEmpty())
        return false;
    if (head.m_nUnique == 0)
        return true;
    for (const char16_t* column : {u"Content", u"RealName", u"IDCard"})
        if (EqualsNoCase(head.m_strColumn, column))
            return false;
    return true;
}

class XAttrWriter
{
public:
    XAttrWriter(CXXmlDoc& doc, int pos) : m_doc(doc), m_pos(pos) {}
    void operator()(const char* name, const QString& value)
    {
        m_doc.SetAttribute(m_pos, QString::fromLatin1(name), value);
    }
    void operator()(const char* name, int value) { (*this)(name, QString::number(value)); }
    void operator()(const char* name, bool value) { (*this)(name, Flag(value)); }

private:
    CXXmlDoc& m_doc;
    int m_pos;
};

} // namespace

void CXItem::WriteXml(CXXmlDoc& doc, int mode, int spec, const CXItem* user)
{
    doc.AddElement(QStringLiteral("item"));
    XAttrWriter item(doc, doc.m_nMainPos);
    item("id", m_nID);
    item("subid", m_nSubID);
    item("mduid", m_nMduID);
    item("name", m_strName);
    item("spec", spec);

    const CHeads* heads = GetHeads();
    if (!heads)
        return;
    const CModule* module = m_nMduID ? FindModule(m_nMduID) : nullptr;
    const bool moduleItem = IsModuleItem();

    if (mode != 2) {
        item("itemtype", heads->m_strItemType);
        item("itemunit", heads->m_strItemUnit);
        item("tab", heads->m_strTable);
        item("query", GetRelateQuery(nullptr, nullptr).ToXml());
        item("delalt", GetDeleteWarning());
        item("delerr", GetDeleteError(user));
        item("alert", GetAlertText());
        item("isauto", IsAuto());
        item("isautoempty", IsAutoEmpty());
        item("canautoset", CanAutoSet());
        item("isdefaultpwd", GetPassword(true).isEmpty());
        item("opermin", TimeText(m_oper.m_begin));
        item("opermax", TimeText(m_oper.m_end));
    }

    for (int order = 0; order < heads->GetSize(); ++order) {
        const CHead* head = heads->GetAt(order);
        const bool written = mode == 1   ? true
                             : mode == 2 ? head->m_nHttpNew != 0
                                         : (spec ? head->m_nColSub : head->m_nColBrief) != 0;
        if (!written)
            continue;
        const int rw = GetAccess(head, user);
        doc.AddElement(QStringLiteral("col"), QString(), CXXmlDoc::ADD_AS_CHILD);
        XAttrWriter col(doc, doc.m_nChildPos);
        col("order", order);
        col("type", head->m_nType);
        col("rw", rw);
        col("wildval", GetRawText(head));
        col("deftval", GetDefaultText(head));
        col("dispval", FormatText(head, true, true, true));
        col("color", ColourText(GetTextColor(head)));
        if (mode != 2) {
            int min = 0;
            int max = 0;
            GetRange(head, min, max);
            col("min", min);
            col("max", max);
            col("name", head->m_strName);
            col("group", head->m_strGroup);
            const int command = head->m_nSubID;
            if (moduleItem && module && command && user) {
                CXArray alone(nullptr, false);
                alone.Add(this);
                CXMap query;
                if (module->MakeRelateQuery(alone, command, query, *user) == 1) {
                    col("relcmdid", command);
                    col("relmduid", CModule::GetRelModuleId(command));
                    col("relquery", query.ToXml());
                }
            }
            QString unit = GetUnit(head);
            while (!unit.isEmpty() && IsWhiteChar(unit.front()))
                unit.remove(0, 1);
            col("unit", unit);
            col("prefix", GetPrefix(head));
            col("gray", GetEmptyText(head));
            col("memo", head->m_strMemo);
            col("col", head->m_strColumn);
            col("long", head->m_nOffset == XOFFSET(CXItem, m_strMemo) && !head->m_pfnGet);
            col("hist", OffersHistory(*head));
            col("httpnew", head->m_nHttpNew);
            const bool shown = rw != -1;
            col("coltitle", shown && head->m_nColTitle);
            col("colmark", shown && head->m_nColMark);
            col("colview", shown && head->m_nColView);
            col("colbrief", shown && (spec ? head->m_nColSub : head->m_nColBrief));
            col("coldetail", shown && (spec ? head->m_nColSub : head->m_nColDetail));
            static const char16_t* const aligns[] = {u"left", u"right", u"center"};
            col("align", QString::fromUtf16(aligns[std::clamp(head->GetAlign(), 0, 2)]));
        }

        switch (head->m_nType) {
        case XIN:
        case XSW: {
            if (mode == 2 || !GetFormat(head).contains(u'|'))
                break;
            QStringList texts;
            QList<int> values;
            GetOptions(head, texts, values);
            doc.IntoElement();
            for (qsizetype i = 0; i < texts.size() && i < values.size(); ++i) {
                doc.AddElement(QStringLiteral("option"), texts[i], CXXmlDoc::ADD_AS_CHILD);
                doc.SetAttribute(doc.m_nChildPos, QStringLiteral("val"), QString::number(values[i]));
            }
            doc.OutOfElement();
            break;
        }
        case XBS:
        case XLK: {
            const CXBase& ref = Member<CXBase>(head->m_nOffset);
            col("mduid", ref.m_nMduID);
            if (!ref.m_strName.isEmpty())
                col("dispval", ref.m_strName);
            if (mode == 2)
                break;
            const CModule* target = ref.m_nMduID ? FindModule(ref.m_nMduID) : nullptr;
            const CHeads* targetHeads = target ? target->GetHeads() : nullptr;
            col("itemunit", targetHeads ? targetHeads->m_strItemUnit : QString());
            col("subquery", target ? GetRelateQuery(head, nullptr).ToXml() : QString());
            col("xbsdate", TimeText(ref.m_dtDate));
            break;
        }
        case XAR: {
            if (!head->m_nOffset)
                break;
            CXArray& lines = Member<CXArray>(head->m_nOffset);
            const CHeads* lineHeads = lines.GetHeads();
            CXItem* blank = lineHeads ? lines.CreateItem() : nullptr;
            if (!blank)
                break;
            if (mode != 2) {
                col("mduid", blank->m_nMduID);
                col("canadd", rw == 1);
                col("canprt", 0);
                col("candel", rw == 1);
                col("canmdf", rw > 0);
                col("itemunit", lineHeads->m_strItemUnit);
                col("subquery", GetRelateQuery(head, nullptr).ToXml());
            }
            const int lineSpec = IsSubArray(&lines) ? 1 : 0;
            doc.IntoElement();
            doc.IntoElement();
            if (mode == 1 && rw == 1) {
                blank->Reset();
                blank->WriteXml(doc, mode, lineSpec, user);
                doc.SetAttribute(doc.m_nMainPos, QStringLiteral("pos"), QStringLiteral("0"));
            }
            for (int i = 0; i < lines.GetSize(); ++i) {
                lines.GetAt(i)->WriteXml(doc, mode, lineSpec, user);
                doc.SetAttribute(doc.m_nMainPos, QStringLiteral("pos"), QString::number(i + 1));
            }
            doc.OutOfElement();
            doc.OutOfElement();
            delete blank;
            break;
        }
        default:
            break;
        }
    }
}
