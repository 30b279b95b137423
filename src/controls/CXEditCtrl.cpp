#include "CXEditCtrl.h"

#include "CommandIds.h"
#include "ReferenceTables.h"
#include "XCtrlProps.h"
#include "XDrawing.h"
#include "XWinStyles.h"

#include <QtGui/QKeyEvent>
#include <QtGui/QPainter>
#include <QtGui/QTextCursor>

namespace {
bool IsEnter(const QKeyEvent* e) { return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter; }
} // namespace

template <class Base> XButtonEdit<Base>::XButtonEdit(QWidget* parent) : Base(parent)
{
    QObject::connect(this, &Base::textChanged, this, [this] { m_buttons.OnChange(); });
}

template <class Base> QString XButtonEdit<Base>::EditText() const
{
    if constexpr (kMultiLine)
        return this->toPlainText();
    else
        return this->text();
}

template <class Base> void XButtonEdit<Base>::SetEditText(const QString& t)
{
    if constexpr (kMultiLine)
        this->setPlainText(t);
    else
        this->setText(t);
}

template <class Base> void XButtonEdit<Base>::ReplaceAll(const QString& t)
{
    // one undo step, as typing it would be
    if constexpr (kMultiLine) {
        QTextCursor c = this->textCursor();
        c.select(QTextCursor::Document);
        c.insertText(t);
        this->setTextCursor(c);
    } else {
        this->selectAll();
        this->insert(t);
    }
}

template <class Base> void XButtonEdit<Base>::SetButtonMargin(int right)
{
    if constexpr (kMultiLine)
        this->setViewportMargins(0, 0, right, 0);
    else
        this->setTextMargins(0, 0, right, 0);
}

template <class Base> void XButtonEdit<Base>::OnReadOnlyChanged(bool readOnly)
{
    this->setReadOnly(readOnly);
    m_buttons.RecalcLayout();
    if constexpr (kMultiLine)
        this->viewport()->update();
    else
        this->update();
}

template <class Base> void XButtonEdit<Base>::resizeEvent(QResizeEvent* e)
{
    Base::resizeEvent(e);
    m_buttons.RecalcLayout();
}

template <class Base> void XButtonEdit<Base>::changeEvent(QEvent* e)
{
    Base::changeEvent(e);
    m_buttons.StateChanged(e);
}

template <class Base> void XButtonEdit<Base>::keyPressEvent(QKeyEvent* e)
{
    if (IsEnter(e)) {
        if (m_buttons.HandleEnter())
            return;
        if (kMultiLine && !HasStyle(this, ES_WANTRETURN) && !(e->modifiers() & Qt::ControlModifier)) {
            e->ignore(); // the dialog's default button
            return;
        }
    }
    Base::keyPressEvent(e);
}

template <class Base> void XButtonEdit<Base>::focusInEvent(QFocusEvent* e)
{
    m_buttons.FocusChanged(true);
    Base::focusInEvent(e);
}

template <class Base> void XButtonEdit<Base>::focusOutEvent(QFocusEvent* e)
{
    Base::focusOutEvent(e);
    m_buttons.FocusChanged(false);
}

template class XButtonEdit<QLineEdit>;
template class XButtonEdit<QPlainTextEdit>;

void CXEditCtrl::paintEvent(QPaintEvent* e)
{
    if (!isEnabled()) {
        // a disabled edit shows only its parent's background
        QPainter p(this);
        DrawComboFrame(&p, rect(), false, this);
        return;
    }
    QLineEdit::paintEvent(e);
    if (isReadOnly()) {
        QPainter p(this);
        p.setPen(palette().color(QPalette::Mid));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    // the identity number: its area drawn after it
    if (CtrlId(this) == IDC_IDCARD && !hasFocus()) {
        const QString area = GetAreaName(text());
        if (area.isEmpty())
            return;
        QPainter p(this);
        p.setPen(palette().color(QPalette::Disabled, QPalette::Text));
        const QRect r = rect().adjusted(0, 0, -4 - textMargins().right(), 0);
        p.drawText(r, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                   fontMetrics().elidedText(area, Qt::ElideRight, r.width() / 2));
    }
}

CXMultiEditCtrl::CXMultiEditCtrl(QWidget* parent) : XButtonEdit(parent) { setTabChangesFocus(true); }

void CXMultiEditCtrl::paintEvent(QPaintEvent* e)
{
    if (!isEnabled()) {
        QPainter p(viewport());
        p.fillRect(viewport()->rect(), parentWidget() ? parentWidget()->palette().color(QPalette::Window)
                                                      : palette().color(QPalette::Window));
        return;
    }
    QPlainTextEdit::paintEvent(e);
}
