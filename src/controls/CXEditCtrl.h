#pragma once

#include "XEditButtons.h"
#include "XReadOnly.h"

#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>

#include <type_traits>

class QKeyEvent;

// What the single-line and the multi-line edit share over their Qt base: the button row at
// the right, which follows the read-only mark, the enabling, the size and the focus, and
// takes Enter for its default command. Buttons show only while the edit is enabled and
// editable.
template <class Base> class XButtonEdit : public Base, public IXReadOnly, public IXEdit
{
public:
    explicit XButtonEdit(QWidget* parent);

    XEditButtons& Buttons() { return m_buttons; }
    const XEditButtons& Buttons() const { return m_buttons; }
    void OnReadOnlyChanged(bool readOnly) override;

    QWidget* EditWidget() override { return this; }
    QString EditText() const override;
    void SetEditText(const QString& t) override;
    void ReplaceAll(const QString& t) override;
    bool IsEditReadOnly() const override { return this->isReadOnly(); }
    bool IsMultiLine() const override { return kMultiLine; }
    void SetButtonMargin(int right) override;

protected:
    static constexpr bool kMultiLine = std::is_base_of_v<QAbstractScrollArea, Base>;

    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

    XEditButtons m_buttons{this};
};

extern template class XButtonEdit<QLineEdit>;
extern template class XButtonEdit<QPlainTextEdit>;

// The text edit of bound dialogs with a row of command buttons at its right: the input
// history, duplicate indicators, merge, clear, choose folder, find next or a dialog's own
// command.
class CXEditCtrl : public XButtonEdit<QLineEdit>
{
    Q_OBJECT
public:
    explicit CXEditCtrl(QWidget* parent = nullptr) : XButtonEdit(parent) {}

protected:
    void paintEvent(QPaintEvent* e) override;
};

// The multi-line edit with the same buttons, in one column at its right. Enter is a line
// break only with ES_WANTRETURN; otherwise it goes to the dialog.
class CXMultiEditCtrl : public XButtonEdit<QPlainTextEdit>
{
    Q_OBJECT
public:
    explicit CXMultiEditCtrl(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* e) override;
};
