#include "CXBirthCtrl.h"

#include "CXEditNumber.h"

#include <QtWidgets/QDateEdit>
#include "XDateLogic.h"
#include "XWinStyles.h"

#include <cmath>

CXBirthCtrl::CXBirthCtrl(QWidget* parent) : CXDateCtrl(parent)
{
    SetShowNone(true);
    m_age = new CXEditNumber(this);
    m_age->m_strFormat = QStringLiteral("%1.1f");
    m_age->m_strUnit = QStringLiteral("岁");
    m_age->SetRange(0, 999);
    connect(m_age, &QLineEdit::textEdited, this, [this] { SyncAge(); });
    connect(m_age, &QLineEdit::editingFinished, this, [this] { SyncAge(); });
    setTabOrder(Edit(), m_age);
}

void CXBirthCtrl::resizeEvent(QResizeEvent* e)
{
    CXDateCtrl::resizeEvent(e);
    const int split = width() * 2 / 3;
    m_age->setGeometry(split, 0, width() - split, height());
}

void CXBirthCtrl::SetBirthDate(const XDateTime& date, int estimated)
{
    const bool set = date.IsValid() && static_cast<long long>(date.Day()) != 0;
    if (set)
        SetDate(date);
    if (estimated || !set) {
        m_age->SetValue(set ? std::round(AgeFromDate(XDateTime::Now(), date) * 10) / 10 : 0);
        SetNoDate();
    }
    SyncAge();
}

void CXBirthCtrl::GetBirthDate(XDateTime& date, int& estimated) const
{
    if (HasDate()) {
        date = GetDate();
        estimated = 0;
    } else {
        date = EstimateBirthDate(XDateTime::Now(), m_age->GetValue());
        estimated = 1;
    }
}

void CXBirthCtrl::SyncAge()
{
    if (m_bSyncing)
        return;
    m_bSyncing = true;
    SetWndReadOnly(m_age, HasDate() || IsWndReadOnly(this));
    const QString prefix = HasDate() ? QString() : QStringLiteral("≈");
    if (m_age->m_strPrefix != prefix) {
        m_age->m_strPrefix = prefix;
        m_age->SetValue(m_age->GetValue());
    }
    if (!HasDate()) {
        SetEmptyText(
            FormatDateTime(EstimateBirthDate(XDateTime::Now(), m_age->GetValue()), QStringLiteral("%Y年%#m月")));
    } else {
        m_age->SetValue(AgeFromDate(XDateTime::Now(), GetDate()));
    }
    m_bSyncing = false;
}

void CXBirthCtrl::OnReadOnlyChanged(bool readOnly)
{
    CXDateCtrl::OnReadOnlyChanged(readOnly);
    SyncAge();
}

void CXBirthCtrl::AfterChange()
{
    SyncAge();
    CXDateCtrl::AfterChange();
}
