#include "CXDateCtrl.h"

#include "CXDialogEx.h"
#include "XCtrlProps.h"
#include "XDateLogic.h"
#include "XDrawing.h"
#include "XWinStyles.h"

#include <QtGui/QKeyEvent>
#include <QtGui/QPainter>
#include <QtGui/QTextCharFormat>
#include <QtWidgets/QCalendarWidget>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QDateEdit>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QToolButton>
#include <QtWidgets/QVBoxLayout>

#include <cmath>

XMonthPicker::XMonthPicker(QWidget* parent) : QWidget(parent)
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(2, 2, 2, 2);
    auto* prev = new QToolButton(this);
    prev->setArrowType(Qt::LeftArrow);
    auto* next = new QToolButton(this);
    next->setArrowType(Qt::RightArrow);
    m_year = new QToolButton(this);
    m_year->setAutoRaise(true);
    grid->addWidget(prev, 0, 0);
    grid->addWidget(m_year, 0, 1, 1, 2, Qt::AlignCenter);
    grid->addWidget(next, 0, 3);
    connect(prev, &QToolButton::clicked, this, [this] { SetYear(m_nYear - 1); });
    connect(next, &QToolButton::clicked, this, [this] { SetYear(m_nYear + 1); });
    for (int m = 1; m <= 12; ++m) {
        auto* b = new QToolButton(this);
        b->setText(QStringLiteral("%1月").arg(m));
        b->setAutoRaise(true);
        b->setMinimumWidth(44);
        grid->addWidget(b, 1 + (m - 1) / 4, (m - 1) % 4);
        connect(b, &QToolButton::clicked, this, [this, m] { ClickMonth(m); });
    }
    SetYear(m_nYear);
}

void XMonthPicker::SetYear(int year)
{
    m_nYear = std::clamp(year, 100, 9999);
    m_year->setText(QStringLiteral("%1年").arg(m_nYear));
}

void XMonthPicker::ClickMonth(int month) { emit monthChosen(m_nYear, month); }

CXDateCtrl::CXDateCtrl(QWidget* parent) : QWidget(parent), m_strFormat(QStringLiteral("yyyy年M月d日"))
{
    setFocusPolicy(Qt::StrongFocus);
    m_check = new QCheckBox(this);
    m_check->setFocusPolicy(Qt::NoFocus);
    m_check->hide();
    m_edit = new QDateEdit(this);
    m_edit->setCalendarPopup(false);
    m_edit->setButtonSymbols(QAbstractSpinBox::NoButtons);
    m_edit->setFrame(false);
    m_edit->setLocale(QLocale(QLocale::Chinese, QLocale::China));
    m_edit->setDisplayFormat(m_strFormat);
    m_edit->setMinimumDate(QDate(100, 1, 1));
    m_edit->setMaximumDate(QDate(9999, 12, 31));
    m_edit->installEventFilter(this);
    setFocusProxy(m_edit);
    m_drop = new QToolButton(this);
    m_drop->setArrowType(Qt::DownArrow);
    m_drop->setAutoRaise(true);
    m_drop->setFocusPolicy(Qt::NoFocus);
    connect(m_drop, &QToolButton::clicked, this, &CXDateCtrl::OpenCalendar);
    connect(m_check, &QCheckBox::clicked, this, [this](bool on) {
        SetChecked(on);
        AfterChange();
    });
    connect(m_edit, &QDateEdit::dateChanged, this, [this] {
        if (!m_bSetting)
            AfterChange();
    });
    m_dtLast = GetDate();
}

void CXDateCtrl::SetEmptyText(const QString& text)
{
    m_strEmptyText = text;
    update();
}

void CXDateCtrl::SetWeekday(const XDateTime& reference, bool backward)
{
    m_dtWeekday = reference;
    m_bBackward = backward ? 1 : 0;
}

void CXDateCtrl::SetDateRange(const XDateTime& lower, const XDateTime& upper)
{
    m_lower = lower;
    m_upper = upper;
    m_bSetting = true;
    const QDate lo = DayToQDate(lower);
    const QDate hi = DayToQDate(upper);
    m_edit->setMinimumDate(lo.isValid() ? lo : QDate(100, 1, 1));
    m_edit->setMaximumDate(hi.isValid() ? hi : QDate(9999, 12, 31));
    m_bSetting = false;
}

bool CXDateCtrl::HasShowNone() const { return m_bShowNone || HasStyle(this, DTS_SHOWNONE); }

void CXDateCtrl::SetShowNone(bool on)
{
    m_bShowNone = on;
    Relayout();
}

void CXDateCtrl::SetDate(const XDateTime& date)
{
    const QDate d = DayToQDate(date);
    if (!d.isValid())
        return;
    m_bSetting = true;
    m_edit->setDate(d);
    m_bSetting = false;
    m_bHasDate = true;
    m_check->setChecked(true);
    m_dtLast = GetDate();
    Relayout();
}

void CXDateCtrl::SetNoDate()
{
    if (!HasShowNone())
        return;
    m_bHasDate = false;
    m_check->setChecked(false);
    m_dtLast = GetDate();
    Relayout();
}

void CXDateCtrl::SetChecked(bool checked)
{
    m_bHasDate = checked || !HasShowNone();
    m_check->setChecked(m_bHasDate);
    Relayout();
}

XDateTime CXDateCtrl::GetDate() const
{
    if (!isEnabled() || !m_bHasDate)
        return XDateTime(0.0);
    return PickedDate(XDateTime::FromDate(m_edit->date()), IsMonthMode());
}

bool CXDateCtrl::IsMonthMode() const { return IsMonthFormat(m_strFormat); }

bool CXDateCtrl::SetFormat(const QString& format)
{
    if (format == m_strFormat && m_nFormats > 0)
        return false;
    m_strFormat = format;
    ++m_nFormats;
    m_edit->setDisplayFormat(format);
    return true;
}

void CXDateCtrl::UpdateCalendarStyle()
{
    const bool hasRef = m_dtWeekday.IsValid() && static_cast<long long>(m_dtWeekday.Day()) != 0;
    m_nCalStyle = DecideCalendarStyle(m_lower, m_upper, XDateTime::Today(), IsMonthMode(), hasRef && !IsMonthMode());
}

void CXDateCtrl::OnReadOnlyChanged(bool) { Relayout(); }

QString CXDateCtrl::DisplayText() const { return m_bHasDate ? m_edit->text() : m_strEmptyText; }

bool CXDateCtrl::ShowsPicker() const { return isEnabled() && !IsWndReadOnly(this); }

void CXDateCtrl::Relayout()
{
    const int h = height();
    const bool picker = ShowsPicker();
    const bool none = HasShowNone();
    int x = 0;
    m_check->setVisible(picker && none);
    if (picker && none) {
        m_check->setGeometry(2, 0, h - 2, h);
        x = h - 1;
    }
    m_edit->setVisible(picker && m_bHasDate);
    const int w = PickerWidth();
    m_edit->setGeometry(x + 2, 2, std::max(0, w - x - h - 3), h - 4);
    m_drop->setVisible(picker);
    m_drop->setEnabled(m_bHasDate);
    m_drop->setGeometry(w - h, 1, h - 1, h - 2);
    update();
}

QSize CXDateCtrl::minimumSizeHint() const
{
    // the geometry Relayout gives: the check box, the edit 2 in, the drop button h wide
    const QSize edit = m_edit->sizeHint();
    const int h = edit.height() + 4;
    const int check = HasShowNone() ? h - 1 : 0;
    return {check + 2 + edit.width() + 3 + h, h};
}

QSize CXDateCtrl::sizeHint() const { return minimumSizeHint(); }

void CXDateCtrl::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    Relayout();
}

void CXDateCtrl::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::EnabledChange)
        Relayout();
}

void CXDateCtrl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const bool picker = ShowsPicker();
    const QRect all(0, 0, PickerWidth(), height());
    DrawComboFrame(&p, all, picker, this);
    if (picker) {
        if (!m_bHasDate) {
            const int left = HasShowNone() ? height() - 1 : 0;
            const QRect r = all.adjusted(left + 1, 1, -height(), -1);
            p.fillRect(r, palette().color(QPalette::Base));
            p.setPen(palette().color(QPalette::Disabled, QPalette::Text));
            p.drawText(r.adjusted(3, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_strEmptyText);
        }
        return;
    }
    if (!isEnabled())
        return;
    const QRect r = all.adjusted(4, 0, -2, 0);
    p.setPen(palette().color(m_bHasDate ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
               fontMetrics().elidedText(DisplayText(), Qt::ElideRight, r.width()));
}

void CXDateCtrl::keyPressEvent(QKeyEvent* e)
{
    if (IsWndReadOnly(this))
        return;
    // Without a date only ticking the box gives one: Space ticks it, other keys do nothing.
    if (!m_bHasDate && HasShowNone()) {
        if (e->key() == Qt::Key_Space) {
            SetChecked(true);
            AfterChange();
        }
        return;
    }
    if (e->key() == Qt::Key_F4 || (e->key() == Qt::Key_Down && (e->modifiers() & Qt::AltModifier))) {
        OpenCalendar();
        return;
    }
    QWidget::keyPressEvent(e);
}

bool CXDateCtrl::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == m_edit && IsReadOnlyInput(this, e))
        return true;
    if (watched == m_edit && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_F4 || (k->key() == Qt::Key_Down && (k->modifiers() & Qt::AltModifier))) {
            OpenCalendar();
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

void CXDateCtrl::OpenCalendar()
{
    if (!ShowsPicker() || !m_bHasDate)
        return;
    if (!m_popup) {
        m_popup = new QFrame(this, Qt::Popup);
        m_popup->setFrameShape(QFrame::Box);
        auto* l = new QVBoxLayout(m_popup);
        l->setContentsMargins(1, 1, 1, 1);
        m_cal = new QCalendarWidget(m_popup);
        m_cal->setLocale(QLocale(QLocale::Chinese, QLocale::China));
        m_cal->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
        m_months = new XMonthPicker(m_popup);
        l->addWidget(m_cal);
        l->addWidget(m_months);
        connect(m_cal, &QCalendarWidget::clicked, this, &CXDateCtrl::OnCalendarClicked);
        connect(m_cal, &QCalendarWidget::activated, this, &CXDateCtrl::OnCalendarClicked);
        connect(m_cal, &QCalendarWidget::currentPageChanged, this, &CXDateCtrl::ApplyDayStates);
        connect(m_months, &XMonthPicker::monthChosen, this, &CXDateCtrl::OnMonthChosen);
    }
    const QDate d = m_edit->date();
    m_cal->setVisible(!IsMonthMode());
    m_months->setVisible(IsMonthMode());
    m_cal->setDateRange(m_edit->minimumDate(), m_edit->maximumDate());
    m_cal->setSelectedDate(d);
    m_months->SetYear(d.year());
    ApplyDayStates(d.year(), d.month());
    m_popup->adjustSize();
    m_popup->move(mapToGlobal(QPoint(0, height())));
    m_popup->show();
}

QWidget* CXDateCtrl::Popup() const { return m_popup; }

void CXDateCtrl::ApplyDayStates(int year, int month)
{
    if (!m_cal)
        return;
    m_cal->setDateTextFormat(QDate(), QTextCharFormat());
    if (!(m_nCalStyle & MCS_DAYSTATE) || IsMonthMode())
        return;
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    // the page shows parts of the months before and after it
    for (int k = -1; k <= 1; ++k) {
        const QDate first = QDate(year, month, 1).addMonths(k);
        for (int day : BoldDaysOfMonth(first.year(), first.month(), m_dtWeekday))
            m_cal->setDateTextFormat(QDate(first.year(), first.month(), day), bold);
    }
}

void CXDateCtrl::ClosePopup()
{
    if (m_popup)
        m_popup->hide();
}

void CXDateCtrl::OnCalendarClicked(const QDate& date)
{
    m_bSetting = true;
    m_edit->setDate(date);
    m_bSetting = false;
    ClosePopup();
    CloseUp();
}

void CXDateCtrl::OnMonthChosen(int year, int month)
{
    m_bSetting = true;
    m_edit->setDate(QDate(year, month, 1));
    m_bSetting = false;
    ClosePopup();
    CloseUp();
}

void CXDateCtrl::CloseUp()
{
    const XDateTime chosen = GetDate();
    if (!IsMonthMode()) {
        const XDateTime snapped = SnapToWeekday(chosen, m_dtWeekday, m_bBackward != 0, m_lower, m_upper);
        if (snapped.Day() != chosen.Day()) {
            m_bSetting = true;
            m_edit->setDate(DayToQDate(snapped));
            m_bSetting = false;
            if (CXDialogEx* dlg = CXDialogEx::FromControl(this))
                dlg->ShowItemTipText(TTI_WARNING, CtrlId(this), SnapTipText(m_bBackward != 0, m_dtWeekday));
        }
    }
    AfterChange();
}

void CXDateCtrl::AfterChange()
{
    if (!IsWndReadOnly(this) && isVisibleTo(window()))
        if (CXDialogEx* dlg = CXDialogEx::FromControl(this))
            dlg->RequestUpdate();
    m_dtLast = GetDate();
    emit dateChanged();
}
