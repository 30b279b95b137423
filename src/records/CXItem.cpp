#include "CXItem.h"

#include "CHead.h"
#include "CModule.h"
#include "CXArray.h"
#include "CMD5.h"
#include "CXMap.h"
#include "CXXmlDoc.h"
#include "RecordLookups.h"
#include "SqlPrepare.h"
#include "FormatString.h"
#include "Resources.h"
#include "TextUtils.h"
#include "XString.h"
#include "XService.h"
#include "XRecordBulk.h"
#include "XThread.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QPalette>

namespace {

constexpr int kMduOffset = XOFFSET(CXBase, m_nMduID);

XHook<int(int, const QString&, const QString&, const QString&)>& Finder();
bool HasDuplicate(const CXItem& item, const CHeads& heads, const CHead& head);

QString EscapeText(const QString& text)
{
    QString s = text;
    s.replace(u'&', QLatin1String("&amp;"));
    s.replace(u'<', QLatin1String("&lt;"));
    s.replace(u'>', QLatin1String("&gt;"));
    return s;
}

// Calls fn(type, offset) for each field that Reset and CopyTo handle field-wise: not the
// record's own base part, not its module id.
template <class F> void ForOwnMembers(const CHeads& heads, F fn)
{
    for (int i = 0; i < heads.GetSize(); ++i) {
        const CHead* h = heads.GetAt(i);
        if (h->m_nOffset != 0 && h->m_nOffset != kMduOffset)
            fn(h, h->m_nType, h->m_nOffset);
    }
}

// Strips leading "+" signs, then trailing zeros of a decimal fraction and its point.
QString StripNumber(QString text)
{
    while (text.startsWith(u'+'))
        text.remove(0, 1);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    return text;
}

bool IsSubLine(const CXItem& item)
{
    return item.m_pArray && item.m_pArray->m_pParent && item.m_pArray->m_pParent->IsSubArray(item.m_pArray);
}

} // namespace

// ---------------------------------------------------------------------------------------
// CXBase

void CXBase::Reset()
{
    m_nID = 0;
    m_nParentID = 0;
    m_nSubID = 0;
    m_dtDate = XDateTime(0.0);
    m_strName.clear();
    m_bEnabled = 1;
}

QString CXBase::GetLink() const
{
    if (m_nMduID == 0 || m_nID == 0)
        return QString();
    const QString title = m_strName.isEmpty() ? QString::number(m_nID) : EscapeText(m_strName);
    return FormatString(u"<a href=\"xl:%d:%d\">%s</a>", m_nMduID, m_nID, title);
}

void CXBase::SetLink(const QString& text)
{
    const qsizetype end = text.lastIndexOf(u'>');
    if (end < 0)
        return;
    CXXmlDoc doc;
    doc.SetDocText(text.left(end + 1));
    if (!doc.FindElement())
        return;
    const QString href = doc.GetAttribute(doc.m_nMainPos, QStringLiteral("href"));
    if (!href.startsWith(QLatin1String("xl:"), Qt::CaseInsensitive))
        return;
    QList<int> parts;
    if (SplitInts(href, parts, QStringLiteral(":")) != 3)
        return;
    m_nMduID = parts[1];
    m_nID = parts[2];
    m_strName = doc.GetText(doc.m_nMainPos);
}

void CXBase::CopyBase(const CXBase& source)
{
    if (&source == this)
        return;
    m_nMduID = source.m_nMduID;
    m_nID = source.m_nID;
    m_nParentID = source.m_nParentID;
    m_nSubID = source.m_nSubID;
    m_dtDate = source.m_dtDate;
    m_strName = source.m_strName;
    m_bEnabled = source.m_bEnabled;
    m_pArray = source.m_pArray;
}

// ---------------------------------------------------------------------------------------
// CXItem: construction, reset, copy

CXItem::CXItem() { CXItem::Reset(); }

void* CXItem::operator new(std::size_t size) { return XRecordBulk::Allocate(size); }

void CXItem::operator delete(void* record) noexcept { XRecordBulk::Release(record); }

CXItem::~CXItem() = default;

void CXItem::Reset()
{
    CXBase::Reset();
    m_nDispOrder = -1;
    m_status.clear();
    m_bSelected = 0;
    m_bOrgSelected = 0;
    m_strPassword.clear();
    m_strSession.clear();
    m_strIP.clear();
    m_nRightRole = 0;
    m_strRightData.clear();
    m_image.Destroy();
    m_rcCell = QRect();
    ResetFields();
}

void CXItem::ResetFields()
{
    const CHeads* heads = GetHeads();
    if (!heads)
        return;
    ForOwnMembers(*heads, [this](const CHead* h, int type, int off) {
        switch (type) {
        case XIN:
        case XTS:
            Member<int>(off) = GetDefault(h);
            break;
        case XNU:
            Member<double>(off) = GetDefault(h);
            break;
        case XDT:
            Member<XDateTime>(off) = XDateTime(static_cast<double>(GetDefault(h)));
            break;
        case XLK:
            Member<CXBase>(off).Reset();
            break;
        case XAR:
            Member<CXArray>(off).RemoveAll(this);
            break;
        case XSW:
            Member<QString>(off) = GetDefaultText(h);
            break;
        case XSA:
            Member<QByteArray>(off).clear();
            break;
        default:
            break; // stamps, images, date ranges and per-row keywords stay
        }
    });
}

CXItem* CXItem::CopyTo(CXItem* target) const
{
    if (!target)
        target = CreateNew();
    if (target == this)
        return target;
    target->m_nID = m_nID;
    target->m_nSubID = m_nSubID;
    target->m_nParentID = m_nParentID;
    target->m_strName = m_strName;
    target->m_strMemo = m_strMemo;
    target->m_nMduID = m_nMduID;
    target->m_dtDate = m_dtDate;
    target->m_created.CopyBase(m_created);
    target->m_modified.CopyBase(m_modified);
    target->m_printed.CopyBase(m_printed);
    target->m_notified.CopyBase(m_notified);
    target->m_bEnabled = m_bEnabled;
    target->m_bSelected = m_bSelected;
    target->m_bOrgSelected = m_bOrgSelected;
    target->m_strPassword = m_strPassword;
    target->m_strSession = m_strSession;
    target->m_strIP = m_strIP;
    target->m_nRightRole = m_nRightRole;
    target->m_strRightData = m_strRightData;
    target->m_image.CopyFrom(m_image);
    target->m_rcCell = m_rcCell;
    target->m_oper.m_strText = m_oper.m_strText;
    target->m_oper.m_begin = m_oper.m_begin;
    target->m_oper.m_end = m_oper.m_end;
    CopyFields(target);
    return target;
}

void CXItem::CopyFields(CXItem* target) const
{
    const CHeads* heads = GetHeads();
    if (!heads || target->GetHeads() != heads)
        return;
    target->m_status = m_status;
    ForOwnMembers(*heads, [this, target](const CHead*, int type, int off) {
        switch (type) {
        case XIN:
        case XTS:
            target->Member<int>(off) = Member<int>(off);
            break;
        case XNU:
            target->Member<double>(off) = Member<double>(off);
            break;
        case XDT:
            target->Member<XDateTime>(off) = Member<XDateTime>(off);
            break;
        case XSW:
            target->Member<QString>(off) = Member<QString>(off);
            break;
        case XSA:
            target->Member<QByteArray>(off) = Member<QByteArray>(off);
            break;
        case XIM:
            target->Member<CXImage>(off).CopyFrom(Member<CXImage>(off));
            break;
        case XDR: {
            const CXDateRange& src = Member<CXDateRange>(off);
            CXDateRange& dst = target->Member<CXDateRange>(off);
            dst.m_strText = src.m_strText;
            dst.m_begin = src.m_begin;
            dst.m_end = src.m_end;
            break;
        }
        case XLK: {
            const CXBase& src = Member<CXBase>(off);
            CXBase& dst = target->Member<CXBase>(off);
            const auto* srcItem = dynamic_cast<const CXItem*>(&src);
            auto* dstItem = dynamic_cast<CXItem*>(&dst);
            if (srcItem && dstItem) {
                srcItem->CopyTo(dstItem);
            } else {
                CXArray* container = dst.m_pArray;
                dst.CopyBase(src);
                dst.m_pArray = container;
            }
            break;
        }
        case XAR: {
            const CXArray& src = Member<CXArray>(off);
            CXArray& dst = target->Member<CXArray>(off);
            dst.RemoveAll();
            const bool newParent = dst.m_pParent && dst.m_pParent->m_nID == 0;
            for (const CXItem* line : src) {
                CXItem* clone = line->CopyTo(nullptr);
                // lines copied into a new record are saved as new rows
                if (newParent)
                    clone->m_nSubID = 0;
                dst.AddAdopted(clone);
            }
            break;
        }
        default:
            break; // stamps given as fields and per-row keywords are not copied field-wise
        }
    });
}

// ---------------------------------------------------------------------------------------
// Module lookups

bool CXItem::IsModuleItem() const
{
    const CHeads* heads = GetHeads();
    if (!heads || m_nMduID == 0)
        return false;
    const CModule* module = FindModule(m_nMduID);
    return module && module->GetHeads() == heads;
}

QString CXItem::GetModuleName() const
{
    return (m_nMduID && FindModule(m_nMduID)) ? LoadCommandText(m_nMduID) : QString();
}

QString CXItem::GetModuleGroup() const
{
    const CModule* module = m_nMduID ? FindModule(m_nMduID) : nullptr;
    return module ? module->GetGroupName() : QString();
}

QString CXItem::GetModuleDescription() const
{
    const CModule* module = m_nMduID ? FindModule(m_nMduID) : nullptr;
    return module ? module->GetDescription() : QString();
}

// ---------------------------------------------------------------------------------------
// Default operations

XFieldValue FieldValue(const CXItem& item, const CHead* head, int row)
{
    if (head->m_pfnGet)
        return head->m_pfnGet(item, row);
    const int off = head->m_nOffset;
    if (off == 0)
        return XFieldValue();
    switch (head->m_nType) {
    case XIN:
    case XTS:
        return item.Member<int>(off);
    case XNU:
        return item.Member<double>(off);
    case XDT:
        return item.Member<XDateTime>(off);
    case XDR: {
        const CXDateRange& r = item.Member<CXDateRange>(off);
        CXDateRange copy(r.m_begin, r.m_end);
        copy.m_strText = r.m_strText;
        return copy;
    }
    case XSW:
        return item.Member<QString>(off);
    default:
        return XFieldValue();
    }
}

double FieldNumber(const XFieldValue& v)
{
    if (const double* d = std::get_if<double>(&v))
        return *d;
    if (const int* i = std::get_if<int>(&v))
        return *i;
    if (const XDateTime* t = std::get_if<XDateTime>(&v))
        return t->Day();
    return 0;
}

namespace {

int AsInt(const XFieldValue& v)
{
    if (const int* i = std::get_if<int>(&v))
        return *i;
    if (const double* d = std::get_if<double>(&v))
        return static_cast<int>(*d);
    if (const XDateTime* t = std::get_if<XDateTime>(&v))
        return static_cast<int>(t->Day());
    return 0;
}

XDateTime AsDate(const XFieldValue& v)
{
    if (const XDateTime* t = std::get_if<XDateTime>(&v))
        return *t;
    return XDateTime(FieldNumber(v));
}

} // namespace

QString CXItem::FormatText(const CHead* head, bool bUnit, bool bPrefix, bool bDisplay) const
{
    if (!head)
        return QString();
    QString text;
    switch (head->m_nType) {
    case XIN: {
        const int value = AsInt(FieldValue(*this, head));
        if (head->IsOptionList()) {
            QStringList texts;
            QList<int> values;
            GetOptions(head, texts, values);
            const qsizetype at = values.indexOf(value);
            if (at >= 0 && at < texts.size())
                text = texts[at];
        } else if (!(bDisplay && value == 0)) {
            text = FormatString(GetFormat(head), value);
            if (bDisplay)
                text = AddThousandsSeparators(text);
            else
                while (text.startsWith(u'+'))
                    text.remove(0, 1);
        }
        break;
    }
    case XNU: {
        const double value = FieldNumber(FieldValue(*this, head));
        if (!(bDisplay && value == 0.0)) {
            text = FormatString(GetFormat(head), value);
            if (bUnit || bPrefix || bDisplay)
                text = AddThousandsSeparators(text);
            else
                text = StripNumber(text); // only a fraction loses its zeros: "100" stays "100"
        }
        break;
    }
    case XDT: {
        const XDateTime value = AsDate(FieldValue(*this, head));
        if (value.Day() != 0)
            text = value.Format(GetFormat(head));
        break;
    }
    case XBS: {
        if (head->m_nOffset) {
            const CXBase& stamp = Member<CXBase>(head->m_nOffset);
            text = stamp.m_dtDate.Day() != 0
                       ? stamp.m_dtDate.Format(QStringLiteral("%Y-%#m-%#d %#H:%M")) + u' ' + stamp.m_strName
                       : stamp.m_strName;
        }
        break;
    }
    case XLK:
        text = Member<CXBase>(head->m_nOffset).m_strName;
        break;
    case XAR:
        if (head->m_nOffset)
            text = Member<CXArray>(head->m_nOffset)
                       .JoinGetter(CXArray::TextGetter([](const CXItem& line) { return line.GetTitleText(); }),
                                   QStringLiteral("\r\n"));
        break;
    case XIM:
        if (head->m_nOffset)
            text = QString::number(Member<CXImage>(head->m_nOffset).m_nPhotoID);
        break;
    case XTS:
        text = CXTimeSpan(AsInt(FieldValue(*this, head))).Format();
        break;
    case XDR: {
        const XFieldValue v = FieldValue(*this, head);
        if (const CXDateRange* r = std::get_if<CXDateRange>(&v))
            text = r->Format(GetFormat(head));
        break;
    }
    case XSW: {
        const XFieldValue v = FieldValue(*this, head);
        if (const QString* s = std::get_if<QString>(&v))
            text = *s;
        break;
    }
    case XSA:
        if (head->m_nOffset)
            text = FormatString(GetFormat(head), Member<QByteArray>(head->m_nOffset).size() / 1000.0);
        break;
    case XRW:
        if (head->m_pfnGet) {
            const int row = head->m_strName.mid(head->m_strName.lastIndexOf(u'.') + 1).toInt();
            const XFieldValue v = head->m_pfnGet(*this, row);
            if (const QString* s = std::get_if<QString>(&v))
                text = *s;
        }
        break;
    default:
        break;
    }
    if (!text.isEmpty()) {
        if (bPrefix)
            text.prepend(GetPrefix(head));
        if (bUnit)
            text.append(head->m_strUnit);
    }
    if (bDisplay && text.isEmpty())
        text = GetEmptyText(head);
    return text;
}

QString CXItem::GetDeleteError(const CXItem* user) const
{
    if (!IsModuleItem())
        return QString();
    const CModule* module = FindModule(m_nMduID);
    if ((module->m_nCaps & RIGHT_PRT) && (!user || user->m_nRightRole != 2))
        return FormatString(u"仅管理员可删除已保存的%s！", GetModuleName());
    if (m_nID < 0)
        return FormatString(u"内置%s不可删除！", GetModuleName());
    if (m_notified.m_dtDate.Day() != 0)
        return FormatString(u"已发送微信通知的%s不可删除或重置！", GetModuleName());
    return QString();
}

QString CXItem::GetDeleteWarning() const
{
    if (m_printed.m_dtDate.Day() != 0)
        return FormatString(u"该%s已于%s由%s打印，请谨慎删除！", GetModuleName(),
                            m_printed.m_dtDate.Format(QStringLiteral("%Y年%#m月%#d日")), m_printed.m_strName);
    if (IsAuto())
        return FormatString(u"%s是自动生成项目，不能直接删除，删除时将清空其数据恢复到自动生成状态！", m_strName);
    return QString();
}

int CXItem::GetDefault(const CHead* head) const { return head ? ResolveTodayValue(head->m_nDefault) : 0; }

int CXItem::GetAccess(const CHead* head, const CXItem* user) const
{
    int access = head->m_nAccess;
    if (access != 1)
        return access;
    const bool moduleItem = IsModuleItem();
    if (user && user->m_nRightRole == 0 && moduleItem && head->m_nType == XLK && head->m_nOffset &&
        Member<CXBase>(head->m_nOffset).m_nMduID == user->m_nMduID)
        access = 0;
    if (IsUiThread())
        return access;
    // web threads: saved records of printing modules are issued documents
    if (moduleItem && (FindModule(m_nMduID)->m_nCaps & RIGHT_PRT) && m_nID != 0)
        access = 0;
    return access;
}

void CXItem::GetOptions(const CHead* head, QStringList& texts, QList<int>& values) const
{
    texts.clear();
    values.clear();
    const QString format = GetFormat(head);
    if (!format.contains(u'|'))
        return;
    SplitStrings(format, texts, QStringLiteral("|"));
    for (int i = 0; i < texts.size(); ++i)
        values.append(i);
}

QString CXItem::GetFormat(const CHead* head) const
{
    if (!head->m_strFormat.isEmpty())
        return head->m_strFormat;
    return DefaultFieldFormat(head->m_nType);
}

void CXItem::GetRange(const CHead* head, int& min, int& max) const
{
    min = ResolveTodayValue(head->m_nMin);
    max = ResolveTodayValue(head->m_nMax);
}

QString CXItem::GetEmptyText(const CHead* head) const { return head->m_strEmpty; }

QColor CXItem::GetTextColor(const CHead* head) const
{
    const QString text = FormatText(head, false, false, true);
    // a process without a GUI application (a tool, a headless service) has no palette to ask
    const QPalette palette =
        qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::palette() : QPalette();
    if (text.isEmpty() || text == GetEmptyText(head))
        return palette.color(QPalette::Disabled, QPalette::WindowText);
    return palette.color(QPalette::Active, QPalette::WindowText);
}

QString CXItem::GetPrefix(const CHead* head) const { return head->m_strPrefix; }
QString CXItem::GetUnit(const CHead* head) const { return head->m_strUnit; }
QString CXItem::GetCaption(const CHead* head) const { return head->m_strName; }

CXMap CXItem::GetRelateQuery(const CHead* head, const CXMap* base) const
{
    CXMap result = base ? *base : CXMap();
    if (head) {
        if (head->m_nType == XAR && head->m_nOffset) {
            CXArray& array = const_cast<CXItem*>(this)->Member<CXArray>(head->m_nOffset);
            if (CXItem* probe = array.CreateItem()) {
                result = probe->GetRelateQuery(nullptr, &result);
                delete probe;
            }
        }
        return result;
    }
    if (m_nMduID && m_nID)
        result.SetText(1, QString::number(m_nID));
    const CXItem* parent = m_pArray ? m_pArray->m_pParent : nullptr;
    const CHeads* parentHeads = parent ? parent->GetHeads() : nullptr;
    if (parentHeads) {
        for (int i = 0; i < parentHeads->GetSize(); ++i) {
            const CHead* h = parentHeads->GetAt(i);
            if (h->m_nType != XAR || !h->m_nOffset)
                continue;
            const CXArray& siblings = parent->Member<CXArray>(h->m_nOffset);
            if (siblings.GetHeads() != GetHeads())
                continue;
            QList<int> ids;
            for (const CXItem* line : siblings)
                if (line != this && line->m_nID)
                    ids.append(line->m_nID);
            if (!ids.isEmpty())
                result.SetText(2, JoinInts(ids, QStringLiteral(",")));
            break; // only the first matching array
        }
    }
    return result;
}

bool CXItem::IsAutoEmpty() const { return IsAuto() && m_strMemo.isEmpty() && m_notified.m_dtDate.Day() == 0; }

// ---------------------------------------------------------------------------------------
// Texts built on the operations

QString CXItem::GetDefaultText(const CHead* head) const
{
    if (head->m_nType == XSW)
        return head->m_strDefault;
    const int d = GetDefault(head);
    switch (head->m_nType) {
    case XDT:
        return (d ? XDateTime(static_cast<double>(d)) : XDateTime::Today()).Format(QStringLiteral("%Y-%m-%d"));
    case XTS:
        return CXTimeSpan(d).Format();
    default:
        return QString::number(d);
    }
}

QString CXItem::GetRawText(const CHead* head) const
{
    if (head->m_pfnGet)
        return FormatText(head, false, false, false);
    const int off = head->m_nOffset;
    switch (head->m_nType) {
    case XIN:
        return QString::number(off ? Member<int>(off) : 0);
    case XDT: {
        const XDateTime& d = Member<XDateTime>(off);
        return d.Day() != 0 ? d.Format(QStringLiteral("%Y-%m-%d")) : QString();
    }
    case XBS:
    case XLK:
        return QString::number(Member<CXBase>(off).m_nID);
    case XIM: {
        if (!off)
            return QString();
        const CXImage& image = Member<CXImage>(off);
        if (IsUiThread())
            return image.GetDataUri();
        if (image.m_nPhotoID)
            return FormatString(u"img?dbid=%d", image.m_nPhotoID);
        return FormatString(u"img?resid=%d", GetDefault(head));
    }
    default:
        return FormatText(head, false, false, false);
    }
}

QString CXItem::GetGroupText(const CHead* head) const
{
    if (head->m_nType == XDT && !EqualsNoCase(GetFormat(head), u"%A")) {
        const XDateTime value = AsDate(FieldValue(*this, head));
        if (value.Day() > 0) {
            QString text = value.Format(QStringLiteral("%Y年%#m月"));
            const XDateTime today = XDateTime::Today();
            const int months = (value.Year() - today.Year()) * 12 + (value.Month() - today.Month());
            if (months == 0)
                text += QStringLiteral(" (本月)");
            else if (months == -1)
                text += QStringLiteral(" (上月)");
            else if (months == 1)
                text += QStringLiteral(" (下月)");
            return text;
        }
    }
    const QString text = FormatText(head, true, true, true);
    return text.isEmpty() ? QStringLiteral("无") : text;
}

QString CXItem::GetTitleText() const
{
    const CHeads* heads = GetHeads();
    if (!heads)
        return m_strName;
    const bool sub = IsSubLine(*this);
    QString title;
    for (int i = 0; i < heads->GetSize(); ++i) {
        const CHead* h = heads->GetAt(i);
        if (h->m_nColTitle && (sub ? h->m_nColSub : h->m_nColBrief) && GetAccess(h, nullptr) != -1)
            title += FormatText(h, true, true, true);
    }
    return title;
}

QString CXItem::GetMarkText() const
{
    const CHeads* heads = GetHeads();
    if (!heads)
        return QString();
    const bool sub = IsSubLine(*this);
    QStringList parts;
    for (int i = 0; i < heads->GetSize(); ++i) {
        const CHead* h = heads->GetAt(i);
        if (h->m_nColMark && (sub ? h->m_nColSub : h->m_nColBrief) && GetAccess(h, nullptr) != -1)
            parts.append(FormatText(h, true, true, true));
    }
    return JoinStrings(parts, QStringLiteral(" "), true);
}

// ---------------------------------------------------------------------------------------
// Passwords

QString CXItem::GetDefaultPassword() const
{
    const CModule* module = m_nMduID ? FindModule(m_nMduID) : nullptr;
    return module ? module->GetDefaultPassword() : QString();
}

bool IsPasswordDigest(const QString& text)
{
    if (text.size() != 32)
        return false;
    for (QChar c : text)
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F')))
            return false;
    return true;
}

bool CXItem::SetPassword(const QString& digest)
{
    if (!digest.isEmpty() && !IsPasswordDigest(digest))
        return false; // a digest is what the database and the login compare; nothing else goes in
    m_strPassword.clear();
    if (digest.isEmpty())
        return true;
    const QString lower = digest.toLower();
    if (lower != Md5HexW(GetDefaultPassword()))
        m_strPassword = lower;
    return true;
}

QString CXItem::GetPassword(bool bStoredOnly)
{
    const QString defaultDigest = Md5HexW(GetDefaultPassword());
    if (!m_strPassword.isEmpty() && m_strPassword.compare(defaultDigest, Qt::CaseInsensitive) == 0)
        m_strPassword.clear();
    if (!m_strPassword.isEmpty())
        return m_strPassword;
    return bStoredOnly ? QString() : defaultDigest;
}

// ---------------------------------------------------------------------------------------
// Validation messages

void CXItem::AddStatusText(int level, const void* member, const QString& text)
{
    m_status.append(CXStatus{level, MemberOffset(member), text});
}

int CXItem::GetStatusLevel() const
{
    int level = 0;
    for (const CXStatus& s : m_status)
        level = std::max(level, s.m_nLevel);
    return level;
}

namespace {

QString JoinStatus(const QList<CXStatus>& list, int minLevel, int maxLevel)
{
    QStringList texts;
    for (const CXStatus& s : list)
        if (s.m_nLevel >= minLevel && s.m_nLevel <= maxLevel && !s.m_strText.isEmpty())
            texts.append(s.m_strText);
    return texts.join(QStringLiteral("\r\n"));
}

} // namespace

QString CXItem::GetStatusText() const { return JoinStatus(m_status, INT_MIN, INT_MAX); }
QString CXItem::GetAlertText() const { return JoinStatus(m_status, ST_WARN, ST_STOP); }
QString CXItem::GetErrorText() const { return JoinStatus(m_status, ST_STOP, ST_STOP); }

int CXItem::Validate(const CXItem* user, bool bCheckDuplicates)
{
    const CHeads* heads = GetHeads();
    if (heads) {
        for (int i = 0; i < heads->GetSize(); ++i) {
            const CHead* h = heads->GetAt(i);
            if (bCheckDuplicates && h->m_nUnique && h->m_nType == XSW && h->m_nOffset &&
                !Member<QString>(h->m_nOffset).isEmpty() && HasDuplicate(*this, *heads, *h)) {
                AddStatusText(h->m_nUnique == 1 ? ST_WARN : ST_STOP, nullptr,
                              h->m_strName + QStringLiteral("存在重复项。"));
            }
            if (h->m_nType == XAR && h->m_nOffset) {
                for (CXItem* line : Member<CXArray>(h->m_nOffset))
                    line->Validate(user, bCheckDuplicates);
            }
        }
        if (heads->m_bGoodStatus && GetStatusLevel() <= ST_NONE)
            AddStatusText(ST_GOOD, nullptr, QString());
    }
    if (user && user->m_nRightRole == 0 && IsModuleItem()) {
        // a record an ordinary user creates belongs to that user
        for (int i = 0; i < heads->GetSize(); ++i) {
            const CHead* h = heads->GetAt(i);
            if (h->m_nType != XLK || !h->m_nOffset || Member<CXBase>(h->m_nOffset).m_nMduID != user->m_nMduID)
                continue;
            CXBase& link = Member<CXBase>(h->m_nOffset);
            if (link.m_nID == 0) {
                if (auto* item = dynamic_cast<CXItem*>(&link)) {
                    user->CopyTo(item);
                } else {
                    CXArray* container = link.m_pArray;
                    link.CopyBase(*user);
                    link.m_pArray = container;
                }
            }
            break;
        }
    }
    // highest level first; a message repeating an earlier text goes
    for (qsizetype i = 0; i < m_status.size(); ++i) {
        for (qsizetype j = i + 1; j < m_status.size();) {
            if (m_status[i].m_nLevel < m_status[j].m_nLevel)
                std::swap(m_status[i], m_status[j]);
            if (m_status[j].m_strText == m_status[i].m_strText) {
                m_status.removeAt(j);
                continue;
            }
            ++j;
        }
    }
    return GetStatusLevel();
}

// ---------------------------------------------------------------------------------------
// Duplicate search, provided by the database layer

namespace {

XHook<int(int, const QString&, const QString&, const QString&)>& Finder()
{
    static XHook<int(int, const QString&, const QString&, const QString&)> finder{FindDuplicate};
    return finder;
}

bool HasDuplicate(const CXItem& item, const CHeads& heads, const CHead& head)
{
    const auto finder = Finder().Get();
    if (!finder)
        return false;
    // the record's own row: its ID as a main record of its module, its line ID otherwise
    const int ownId = item.IsModuleItem() ? item.m_nID : item.m_nSubID;
    // A column the table does not store (a name made of stored ones by the SELECT text) is
    // looked for where it exists: in the rows of the record's SELECT text.
    const QString source = head.m_bWritable || heads.m_strSql.isEmpty()
                               ? heads.m_strTable
                               : u'(' + PrepareSql(heads.m_strSql) + QStringLiteral(") AS D");
    return (*finder)(ownId, item.Member<QString>(head.m_nOffset), source, head.m_strColumn) != 0;
}

} // namespace

XDuplicateFinder SetDuplicateFinder(XDuplicateFinder finder) { return Finder().Install(std::move(finder)); }
