#include "CDBTeacherRight.h"

#include "CModule.h"
#include "CXArray.h"
#include "Resources.h"
#include "XAppServices.h"
#include "XCellDraw.h"

#include <QtGui/QPainter>

#include <algorithm>

int NormaliseRights(int role, int bits, int caps, int teacherRights)
{
    switch (role) {
    case 1: {
        if (!(bits & caps & RIGHT_QRY))
            return 0;
        return bits & caps;
    }
    case 2:
        return caps;
    default:
        return teacherRights;
    }
}

int RightFlagAccess(int role, int bits, int caps, int bit)
{
    if (!(caps & bit))
        return -1;
    if (role != 1 || (bit != RIGHT_QRY && !(bits & RIGHT_QRY)))
        return 0;
    return 1;
}

int ClickRightCell(int role, bool readOnly, int column, int bits, int caps)
{
    if (readOnly || role != 1 || column < 1 || column > 6)
        return bits;
    return NormaliseRights(role, bits ^ kRightColumnBits[column - 1], caps, 0);
}

CHeads* CDBTeacherRight::StaticHeads()
{
    return BuildHeadsOnce<CDBTeacherRight>([](CHeads& heads) {
        heads.m_strItemType = QStringLiteral("权限");
        const QString none, onOff = QStringLiteral("禁止|允许");
        heads.AddComputedHead({}, QStringLiteral("名称"), XSW, CHeads::Getter(&CDBTeacherRight::GetModuleName), none,
                              none, 512, 512 | 1, 10, QStringLiteral("名称"));
        static const char16_t* const captions[6] = {u"查询", u"新建", u"删除", u"修改", u"打印", u"通知"};
        for (int i = 0; i < 6; ++i) {
            const QString caption = QString::fromUtf16(captions[i]);
            heads.AddHead({}, caption, 8 | 1, QString(), XIN, XOFFSET(CDBTeacherRight, m_bFlags) + i * int(sizeof(int)),
                          0, 0, 1, onOff, none, 0, 512 | 1, 6, caption + QStringLiteral("项目的权限"));
        }
        heads.AddComputedHead({}, QStringLiteral("分组"), XSW, CHeads::Getter(&CDBTeacherRight::GetGroupName), none,
                              none, 3 << 3, 0, 0, none);
    });
}

int CDBTeacherRight::FlagColumn(const CHead* head)
{
    if (!head || head->m_pfnGet)
        return 0;
    const int first = XOFFSET(CDBTeacherRight, m_bFlags);
    const int index = (head->m_nOffset - first) / int(sizeof(int));
    return head->m_nOffset >= first && index < 6 ? index + 1 : 0;
}

int CDBTeacherRight::GetBits() const
{
    int bits = 0;
    for (int i = 0; i < 6; ++i)
        if (m_bFlags[i])
            bits |= kRightColumnBits[i];
    return bits;
}

void CDBTeacherRight::SetBits(int bits)
{
    for (int i = 0; i < 6; ++i)
        m_bFlags[i] = (bits & kRightColumnBits[i]) ? 1 : 0;
}

int CDBTeacherRight::GetRole() const
{
    const CXItem* teacher = m_pArray ? m_pArray->m_pParent : nullptr;
    return teacher ? teacher->m_nRightRole : 1;
}

int CDBTeacherRight::GetCaps() const
{
    const CModule* module = FindModule(m_nMduID);
    return module ? module->m_nCaps : 0;
}

int CDBTeacherRight::GetTeacherRights() const
{
    const CModule* module = FindModule(m_nMduID);
    return module ? module->m_nTeacherRights : 0;
}

QString CDBTeacherRight::GetModuleName() const { return LoadCommandText(m_nMduID); }

QString CDBTeacherRight::GetGroupName() const
{
    const CModule* module = FindModule(m_nMduID);
    return module ? module->GetGroupName() : QString();
}

void CDBTeacherRight::AutoSet()
{
    const CModule* module = FindModule(m_nMduID);
    SetBits(module ? module->m_nOperRights : 0);
}

int CDBTeacherRight::Validate(const CXItem* user, bool bCheckDuplicates)
{
    m_nID = m_nMduID;
    SetBits(NormaliseRights(GetRole(), GetBits(), GetCaps(), GetTeacherRights()));
    return CXItem::Validate(user, bCheckDuplicates);
}

int CDBTeacherRight::GetAccess(const CHead* head, const CXItem* user) const
{
    if (const int column = FlagColumn(head)) {
        const int access = RightFlagAccess(GetRole(), GetBits(), GetCaps(), kRightColumnBits[column - 1]);
        if (access < 1)
            return access;
    }
    return CXItem::GetAccess(head, user);
}

bool CDBTeacherRight::DrawCell(const CHead* head, XCellDraw* draw)
{
    const int column = FlagColumn(head);
    if (!column)
        return CXItem::DrawCell(head, draw);
    if (!draw || !draw->pDC || draw->rc.isEmpty())
        return true;
    const bool checked = m_bFlags[column - 1] != 0;
    const bool disabled = GetAccess(head, AppServices().User()) == 0;
    const bool hot = draw->bHot && !disabled;
    // a check box in the list's colours, centred in the cell: the record layer has no
    // widget style, so it paints the box itself
    const QPalette::ColorGroup group = disabled ? QPalette::Disabled : QPalette::Active;
    const QPalette& pal = draw->palette;
    const int size = std::min({13, draw->rc.width(), draw->rc.height()});
    const QRect box(draw->rc.center().x() - size / 2, draw->rc.center().y() - size / 2, size, size);
    QPainter* p = draw->pDC;
    p->save();
    p->setRenderHint(QPainter::Antialiasing, true);
    p->setPen(QPen(hot ? pal.color(QPalette::Highlight) : pal.color(group, QPalette::Mid), 1));
    p->setBrush(disabled ? pal.color(QPalette::Disabled, QPalette::Window) : pal.color(QPalette::Base));
    p->drawRoundedRect(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
    if (checked) {
        p->setPen(QPen(pal.color(group, QPalette::Text), 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const QPointF mark[3] = {{box.left() + size * 0.22, box.top() + size * 0.52},
                                 {box.left() + size * 0.42, box.top() + size * 0.72},
                                 {box.left() + size * 0.78, box.top() + size * 0.28}};
        p->drawPolyline(mark, 3);
    }
    p->restore();
    return true;
}
