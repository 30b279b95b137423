#include "CXTimeSpanCtrl.h"

#include "CXDialogEx.h"
#include "CommandIds.h"
#include "XDrawing.h"

#include <QtGui/QPainter>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QTimeEdit>

namespace {
int MinutesOf(const QTime& t) { return t.hour() * 60 + t.minute(); }

QTime TimeOf(int minutes)
{
    minutes = std::clamp(minutes, 0, 24 * 60 - 1);
    return QTime(minutes / 60, minutes % 60);
}
} // namespace

CXTimeSpanCtrl::CXTimeSpanCtrl(QWidget* parent) : QWidget(parent)
{
    m_check = new QCheckBox(this);
    m_check->hide();
    m_check->setProperty("xctrlid", int(IDC_SPAN_CHECK));
    connect(m_check, &QCheckBox::clicked, this, [this] {
        RecalcLayout();
        if (CXDialogEx* dlg = CXDialogEx::FromControl(this))
            dlg->RequestUpdate();
    });
    // a literal quote is written twice in Qt formats
    const QString formats[3] = {QStringLiteral("HH:mm"), QStringLiteral("~HH:mm"), QStringLiteral("H''mm")};
    for (int i = 0; i < 3; ++i) {
        auto* p = new QTimeEdit(this);
        p->setDisplayFormat(formats[i]);
        p->setFrame(false);
        p->setGeometry(QRect());
        p->setProperty("xctrlid", IDC_SPAN_BEGIN + i);
        p->installEventFilter(this);
        connect(p, &QTimeEdit::timeChanged, this, [this, p] { OnPickerChanged(p); });
        m_pickers[i] = p;
    }
    setFocusProxy(m_pickers[0]);
    Show(SpanTimesOf(8 * 60, 9 * 60));
}

QTimeEdit* CXTimeSpanCtrl::Picker(int id) const
{
    return id >= IDC_SPAN_BEGIN && id <= IDC_SPAN_DURATION ? m_pickers[id - IDC_SPAN_BEGIN] : nullptr;
}

XSpanTimes CXTimeSpanCtrl::Times() const
{
    XSpanTimes t;
    t.begin = MinutesOf(m_pickers[0]->time());
    t.end = MinutesOf(m_pickers[1]->time());
    t.duration = MinutesOf(m_pickers[2]->time());
    return t;
}

void CXTimeSpanCtrl::Show(const XSpanTimes& t)
{
    m_bSetting = true;
    const int values[3] = {t.begin, t.end, t.duration};
    for (int i = 0; i < 3; ++i)
        if (MinutesOf(m_pickers[i]->time()) != values[i])
            m_pickers[i]->setTime(TimeOf(values[i]));
    m_bSetting = false;
}

void CXTimeSpanCtrl::SetCaption(const QString& caption)
{
    m_strCaption = caption;
    RecalcLayout();
}

void CXTimeSpanCtrl::SetSpan(const CXTimeSpan& span, int defaultValue)
{
    const bool own = span.Value() != 0 && span.Value() != defaultValue;
    const CXTimeSpan used = own ? span : CXTimeSpan(defaultValue);
    if (m_check->isVisible() || !m_strCaption.isEmpty())
        m_check->setChecked(own);
    const int begin = used.Value() ? used.GetBegin().Hour() * 60 + used.GetBegin().Minute() : 8 * 60;
    const int end = used.Value() ? used.GetEnd().Hour() * 60 + used.GetEnd().Minute() : 9 * 60;
    Show(SpanTimesOf(begin, end));
    RecalcLayout();
}

CXTimeSpan CXTimeSpanCtrl::GetSpan(int defaultValue) const
{
    if (!m_strCaption.isEmpty() && !IsWndReadOnly(this) && !m_check->isChecked())
        return CXTimeSpan(defaultValue);
    const XSpanTimes t = Times();
    // a hair past the minute: the day fraction of 8:05 must not read back as 8:04:59
    return CXTimeSpan(XDateTime(t.begin / 1440.0 + 1e-7), XDateTime(t.end / 1440.0 + 1e-7));
}

void CXTimeSpanCtrl::EditPicker(int id, int minutes)
{
    if (QTimeEdit* p = Picker(id))
        p->setTime(TimeOf(minutes));
}

void CXTimeSpanCtrl::OnPickerChanged(QTimeEdit* which)
{
    if (m_bSetting || (!m_strCaption.isEmpty() && !m_check->isChecked()))
        return;
    XSpanTimes t = Times();
    const int index = which == m_pickers[0] ? 0 : which == m_pickers[1] ? 1 : 2;
    int* values[3] = {&t.begin, &t.end, &t.duration};
    *values[index] = RoundToFive(*values[index]);
    static constexpr XSpanPart parts[3] = {XSpanPart::Begin, XSpanPart::End, XSpanPart::Duration};
    Show(CorrectSpan(t, parts[index]));
    RecalcLayout();
    if (CXDialogEx* dlg = CXDialogEx::FromControl(this))
        dlg->RequestUpdate();
}

bool CXTimeSpanCtrl::PickersShown() const
{
    return !IsWndReadOnly(this) && (m_strCaption.isEmpty() || m_check->isChecked());
}

void CXTimeSpanCtrl::RecalcLayout()
{
    const bool hasCaption = !m_strCaption.isEmpty();
    m_check->setVisible(hasCaption && !IsWndReadOnly(this));
    const XSpanLayout l = LayoutSpan(width(), height(), hasCaption);
    m_check->setGeometry(l.check);
    const QRect rects[3] = {l.begin, l.end, l.duration};
    for (int i = 0; i < 3; ++i) {
        if (m_pickers[i]->geometry() != rects[i])
            m_pickers[i]->setGeometry(rects[i]);
        m_pickers[i]->setVisible(PickersShown());
    }
    update();
}

QSize CXTimeSpanCtrl::minimumSizeHint() const
{
    // LayoutSpan gives the pickers 7, 9 and 7 of 23 parts of the width after the check box
    const int shares[3] = {7, 9, 7};
    int part = 0, h = 0;
    for (int i = 0; i < 3; ++i) {
        const QSize s = m_pickers[i]->sizeHint();
        part = std::max(part, (s.width() + shares[i] - 1) / shares[i]);
        h = std::max(h, s.height());
    }
    const int check = m_strCaption.isEmpty() ? 1 : h + 1;
    return {check + 23 * part + 1, h};
}

QSize CXTimeSpanCtrl::sizeHint() const { return minimumSizeHint(); }

void CXTimeSpanCtrl::OnReadOnlyChanged(bool) { RecalcLayout(); }

void CXTimeSpanCtrl::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    RecalcLayout();
}

void CXTimeSpanCtrl::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::EnabledChange)
        RecalcLayout();
}

bool CXTimeSpanCtrl::eventFilter(QObject* watched, QEvent* e)
{
    // the outer pixel columns of each picker in the window colour: three look like one field
    if (e->type() == QEvent::Paint) {
        auto* w = static_cast<QWidget*>(watched);
        w->removeEventFilter(this);
        QCoreApplication::sendEvent(w, e);
        w->installEventFilter(this);
        QPainter p(w);
        const QColor c = palette().color(QPalette::Base);
        p.fillRect(QRect(0, 1, 1, w->height() - 2), c);
        p.fillRect(QRect(w->width() - 1, 1, 1, w->height() - 2), c);
        return true;
    }
    return QWidget::eventFilter(watched, e);
}

void CXTimeSpanCtrl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    DrawComboFrame(&p, rect(), isEnabled() && !IsWndReadOnly(this), this);
    if (!isEnabled() || PickersShown())
        return;
    const bool hasBox = m_check->isVisible();
    QRect r = rect().adjusted(hasBox ? height() : 4, 0, -6, 0);
    const QColor grey = palette().color(QPalette::Disabled, QPalette::Text);
    if (!m_strCaption.isEmpty() && !m_check->isChecked()) {
        p.setPen(grey);
        p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_strCaption);
        return;
    }
    const XSpanTimes t = Times();
    p.setPen(palette().color(QPalette::Text));
    p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, SpanRangeText(t));
    p.setPen(grey);
    p.drawText(r, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, SpanDurationText(t));
}
