#include "CXEditNumber.h"

#include "CXDialogEx.h"
#include "FormatString.h"
#include "XSpinButton.h"
#include "XUi.h"
#include "XWinStyles.h"

#include <QtGui/QKeyEvent>
#include <QtGui/QPainter>

#include <charconv>
#include <cmath>

CXEditNumber::CXEditNumber(QWidget* parent) : QLineEdit(parent)
{
    m_spin = new XSpinButton(this);
    m_spin->hide();
    connect(m_spin, &XSpinButton::delta, this, [this](int d) { StepBy(d); });
    connect(this, &QLineEdit::textChanged, this, [this] { UpdateColours(); });
}

double CXEditNumber::ParseNumber(const QString& text)
{
    qsizetype start = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'-' || c == u'.' || (c >= u'0' && c <= u'9')) {
            start = i;
            break;
        }
    }
    if (start < 0)
        return 0;
    QByteArray bytes;
    for (qsizetype i = start; i < text.size() && text[i].unicode() < 128; ++i)
        bytes.append(static_cast<char>(text[i].unicode()));
    double v = 0;
    const char* begin = bytes.constData();
    const char* end = begin + bytes.size();
    // from_chars takes no leading "+" and reads no ".5" without a digit before: both as atof
    if (begin != end && *begin == '.') {
        bytes.prepend('0');
        begin = bytes.constData();
        end = begin + bytes.size();
    } else if (bytes.startsWith("-.")) {
        bytes.insert(1, '0');
        begin = bytes.constData();
        end = begin + bytes.size();
    }
    const auto r = std::from_chars(begin, end, v, std::chars_format::general);
    return r.ec == std::errc() ? v : 0;
}

QString CXEditNumber::FormatNumber(double v, const QString& format, const QString& prefix, const QString& unit,
                                   bool focused, bool readOnly)
{
    QString text;
    if (format.contains(u'f')) {
        text = FormatString(QStringView(format), v);
        if (format.contains(u'.') && text.contains(u'.')) {
            while (text.endsWith(u'0'))
                text.chop(1);
            while (text.endsWith(u'.'))
                text.chop(1);
        }
    } else {
        text = FormatString(QStringView(format), static_cast<int>(v));
    }
    if (focused)
        while (text.startsWith(u'+'))
            text.remove(0, 1);
    if (!focused || readOnly)
        text = prefix + text + unit;
    return text;
}

bool CXEditNumber::IsGreyValue(double v, const QString& unit)
{
    return v == 0 || (unit == QLatin1String("%") && v == 100);
}

void CXEditNumber::SetRange(int min, int max) { m_spin->SetRange(min, max); }
int CXEditNumber::RangeMin() const { return m_spin->Min(); }
int CXEditNumber::RangeMax() const { return m_spin->Max(); }

double CXEditNumber::GetValue() const
{
    const double v = ParseNumber(text());
    return std::max(std::min(v, static_cast<double>(RangeMax())), static_cast<double>(RangeMin()));
}

void CXEditNumber::SetValue(double v)
{
    v = std::max(std::min(v, static_cast<double>(RangeMax())), static_cast<double>(RangeMin()));
    const int whole = static_cast<int>(v);
    if (whole != m_spin->Pos())
        m_spin->SetPos(whole);
    const QString t = FormatNumber(v, m_strFormat, m_strPrefix, m_strUnit, hasFocus(), isReadOnly());
    if (t != text())
        setText(t);
    UpdateColours();
}

bool CXEditNumber::IsGrey() const { return !hasFocus() && IsGreyValue(GetValue(), m_strUnit); }

void CXEditNumber::UpdateColours()
{
    QPalette pal = palette();
    const QColor want =
        IsGrey() ? pal.color(QPalette::Disabled, QPalette::Text) : QPalette().color(QPalette::Active, QPalette::Text);
    if (pal.color(QPalette::Active, QPalette::Text) != want) {
        pal.setColor(QPalette::Active, QPalette::Text, want);
        pal.setColor(QPalette::Inactive, QPalette::Text, want);
        setPalette(pal);
    }
}

void CXEditNumber::StepBy(int delta)
{
    if (isReadOnly() || !isEnabled())
        return;
    SetValue(GetValue() + delta);
}

void CXEditNumber::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    if (!isReadOnly())
        SetValue(GetValue());
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

void CXEditNumber::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    const double raw = ParseNumber(text());
    if (raw < RangeMin() || raw > RangeMax()) {
        XUi::ShowBalloon(this, rect(), QStringLiteral("数值无效"),
                         FormatString(u"有效数值范围：%d - %d！", RangeMin(), RangeMax()), TTI_WARNING);
        UpdateColours();
        return;
    }
    SetValue(GetValue());
    setAttribute(Qt::WA_InputMethodEnabled, true);
}

void CXEditNumber::keyPressEvent(QKeyEvent* event)
{
    if (m_bAttached && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
        StepBy(event->key() == Qt::Key_Up ? 1 : -1);
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void CXEditNumber::OnReadOnlyChanged(bool readOnly)
{
    setReadOnly(readOnly);
    // read-only: the parent's background inside the frame, as the other read-only controls
    QPalette pal = palette();
    const QWidget* parent = parentWidget();
    pal.setBrush(QPalette::Base, readOnly && parent ? parent->palette().brush(parent->backgroundRole())
                                                    : QPalette().brush(QPalette::Base));
    setPalette(pal);
    UpdateSpin();
    if (!hasFocus())
        SetValue(GetValue());
}

void CXEditNumber::changeEvent(QEvent* event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        UpdateSpin();
}

bool CXEditNumber::event(QEvent* e)
{
    if (isReadOnly() && e->type() == QEvent::MouseMove)
        return true;
    const bool r = QLineEdit::event(e);
    if (e->type() == QEvent::Show)
        UpdateSpin();
    return r;
}

void CXEditNumber::UpdateSpin()
{
    const bool want = isEnabled() && !isReadOnly();
    if (want == m_bAttached)
        return;
    m_bAttached = want;
    // the spin takes the right end of the edit; detached, the edit gets the whole width back
    setTextMargins(0, 0, want ? m_spin->sizeHint().width() : 0, 0);
    m_spin->setVisible(want);
    PlaceSpin();
    if (want)
        if (auto* dlg = CXDialogEx::FromControl(this))
            dlg->RequestUpdate();
}

void CXEditNumber::PlaceSpin()
{
    const int w = m_spin->sizeHint().width();
    m_spin->setGeometry(width() - w - 1, 1, w, height() - 2);
}

void CXEditNumber::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    PlaceSpin();
}

void CXEditNumber::paintEvent(QPaintEvent* event)
{
    if (!isEnabled())
        return; // a disabled number edit shows only its parent's background
    QLineEdit::paintEvent(event);
}
