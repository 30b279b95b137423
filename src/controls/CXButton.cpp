#include "CXButton.h"

#include "CXDialogEx.h"
#include "XCtrlProps.h"
#include "XDrawing.h"
#include "XWinStyles.h"

#include <QtGui/QPainter>
#include <QtWidgets/QStyleOption>
#include <QtWidgets/QStylePainter>

CXButton::CXButton(bool radio, const QString& text, QWidget* parent) : QCheckBox(text, parent), m_bRadio(radio)
{
    setAutoExclusive(false);
    connect(this, &QAbstractButton::toggled, this, [this](bool on) {
        if (on && m_bRadio)
            UncheckGroup();
    });
}

void CXButton::UncheckGroup()
{
    auto* dlg = CXDialogEx::FromControl(this);
    if (!dlg)
        return;
    const QList<QWidget*>& order = dlg->ZOrder();
    const int at = static_cast<int>(order.indexOf(this));
    if (at < 0)
        return;
    auto uncheck = [this](QWidget* w) {
        auto* b = qobject_cast<CXButton*>(w);
        if (b && b != this && IsAutoRadio(b) && b->isChecked())
            b->setChecked(false);
    };
    for (int i = at; i >= 0; --i) {
        uncheck(order[i]);
        if (HasStyle(order[i], WS_GROUP))
            break;
    }
    for (int i = at + 1; i < order.size() && !HasStyle(order[i], WS_GROUP); ++i)
        uncheck(order[i]);
}

void CXButton::nextCheckState()
{
    if (m_bRadio)
        setChecked(true); // a click never unchecks a radio
    else
        QCheckBox::nextCheckState();
}

bool CXButton::hitButton(const QPoint& pos) const { return rect().contains(pos); }

void CXButton::OnReadOnlyChanged(bool) { update(); }

bool CXButton::event(QEvent* e)
{
    if (IsReadOnlyInput(this, e))
        return true;
    return QCheckBox::event(e);
}

QSize CXButton::sizeHint() const
{
    if (!m_bRadio)
        return QCheckBox::sizeHint();
    QStyleOptionButton opt;
    initStyleOption(&opt);
    const QSize textSize = fontMetrics().size(Qt::TextShowMnemonic, text());
    return style()->sizeFromContents(QStyle::CT_RadioButton, &opt, textSize, this);
}

void CXButton::paintEvent(QPaintEvent* event)
{
    const bool readOnlyLook = IsWndReadOnly(this) && isEnabled() && !(m_bRadio && isChecked());
    if (!readOnlyLook) {
        if (!m_bRadio) {
            QCheckBox::paintEvent(event);
            return;
        }
        QStylePainter p(this);
        QStyleOptionButton opt;
        initStyleOption(&opt);
        p.drawControl(QStyle::CE_RadioButton, opt);
        return;
    }
    QPainter p(this);
    const int icon = 16;
    const QRect glyph(0, (height() - (icon - 2)) / 2, icon - 2, icon - 2);
    if (m_bRadio)
        DrawRadioButton(&p, glyph, isChecked(), false, false, this);
    else
        DrawCheckBox(&p, glyph, isChecked(), false, false, this);
    p.setPen(palette().color(isChecked() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    const QRect textRect = rect().adjusted(icon + 2, 0, 0, 0);
    p.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
               fontMetrics().elidedText(QString(text()).remove(u'&'), Qt::ElideRight, textRect.width()));
}
