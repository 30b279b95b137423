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
bool IsEnter(const QKeyEvent* e)
{
    return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
}
} // namespace

CXEditCtrl::CXEditCtrl(QWidget* parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::textChanged, this, [this] { m_buttons.OnChange(); });
}

void CXEditCtrl::ReplaceAll(const QString& t)
{
    selectAll();
    insert(t); // undoable, as typing it would be
}

void CXEditCtrl::OnReadOnlyChanged(bool readOnly)
{
    setReadOnly(readOnly);
    m_buttons.RecalcLayout();
    update();
}

void CXEditCtrl::resizeEvent(QResizeEvent* e)
{
    QLineEdit::resizeEvent(e);
    m_buttons.RecalcLayout();
}

void CXEditCtrl::changeEvent(QEvent* e)
{
    QLineEdit::changeEvent(e);
    m_buttons.StateChanged(e);
}

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

void CXEditCtrl::keyPressEvent(QKeyEvent* e)
{
    if (IsEnter(e) && m_buttons.HandleEnter())
        return;
    QLineEdit::keyPressEvent(e);
}

void CXEditCtrl::focusInEvent(QFocusEvent* e)
{
    m_buttons.FocusChanged(true);
    QLineEdit::focusInEvent(e);
}

void CXEditCtrl::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    m_buttons.FocusChanged(false);
}

CXMultiEditCtrl::CXMultiEditCtrl(QWidget* parent) : QPlainTextEdit(parent)
{
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, [this] { m_buttons.OnChange(); });
}

void CXMultiEditCtrl::ReplaceAll(const QString& t)
{
    QTextCursor c = textCursor();
    c.select(QTextCursor::Document);
    c.insertText(t); // one undo step
    setTextCursor(c);
}

void CXMultiEditCtrl::OnReadOnlyChanged(bool readOnly)
{
    setReadOnly(readOnly);
    m_buttons.RecalcLayout();
    viewport()->update();
}

void CXMultiEditCtrl::resizeEvent(QResizeEvent* e)
{
    QPlainTextEdit::resizeEvent(e);
    m_buttons.RecalcLayout();
}

void CXMultiEditCtrl::changeEvent(QEvent* e)
{
    QPlainTextEdit::changeEvent(e);
    m_buttons.StateChanged(e);
}

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

void CXMultiEditCtrl::keyPressEvent(QKeyEvent* e)
{
    if (IsEnter(e)) {
        if (m_buttons.HandleEnter())
            return;
        if (!HasStyle(this, ES_WANTRETURN) && !(e->modifiers() & Qt::ControlModifier)) {
            e->ignore(); // the dialog's default button
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(e);
}

void CXMultiEditCtrl::focusInEvent(QFocusEvent* e)
{
    m_buttons.FocusChanged(true);
    QPlainTextEdit::focusInEvent(e);
}

void CXMultiEditCtrl::focusOutEvent(QFocusEvent* e)
{
    QPlainTextEdit::focusOutEvent(e);
    m_buttons.FocusChanged(false);
}
