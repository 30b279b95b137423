#pragma once

#include "XEditButtons.h"
#include "XReadOnly.h"

#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>

// The text edit of bound dialogs with a row of command buttons at its right: the input
// history, duplicate indicators, merge, clear, choose folder, find next or a dialog's own
// command. Buttons show only while the edit is enabled and editable.
class CXEditCtrl : public QLineEdit, public IXReadOnly, public IXEdit
{
    Q_OBJECT
public:
    explicit CXEditCtrl(QWidget* parent = nullptr);

    XEditButtons& Buttons() { return m_buttons; }
    const XEditButtons& Buttons() const { return m_buttons; }
    void OnReadOnlyChanged(bool readOnly) override;

    QWidget* EditWidget() override { return this; }
    QString EditText() const override { return text(); }
    void SetEditText(const QString& t) override { setText(t); }
    void ReplaceAll(const QString& t) override;
    bool IsEditReadOnly() const override { return isReadOnly(); }
    bool IsMultiLine() const override { return false; }
    void SetButtonMargin(int right) override { setTextMargins(0, 0, right, 0); }

protected:
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    XEditButtons m_buttons{this};
};

// The multi-line edit with the same buttons, in one column at its right. Enter is a line
// break only with ES_WANTRETURN; otherwise it goes to the dialog.
class CXMultiEditCtrl : public QPlainTextEdit, public IXReadOnly, public IXEdit
{
    Q_OBJECT
public:
    explicit CXMultiEditCtrl(QWidget* parent = nullptr);

    XEditButtons& Buttons() { return m_buttons; }
    void OnReadOnlyChanged(bool readOnly) override;

    QWidget* EditWidget() override { return this; }
    QString EditText() const override { return toPlainText(); }
    void SetEditText(const QString& t) override { setPlainText(t); }
    void ReplaceAll(const QString& t) override;
    bool IsEditReadOnly() const override { return isReadOnly(); }
    bool IsMultiLine() const override { return true; }
    void SetButtonMargin(int right) override { setViewportMargins(0, 0, right, 0); }

protected:
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    XEditButtons m_buttons{this};
};
