#pragma once

#include "XReadOnly.h"

#include <QtWidgets/QCheckBox>

// The auto radio buttons and auto check boxes of dialogs. Qt's own radio exclusivity
// (every radio of one parent) is not used: checking a radio unchecks the other radios of
// its group in the dialog's control order, back to the control with WS_GROUP and up to the
// next one. While marked read-only the button takes no input; a checked radio then looks
// normal and the others disabled.
class CXButton : public QCheckBox, public IXReadOnly
{
    Q_OBJECT
public:
    CXButton(bool radio, const QString& text, QWidget* parent = nullptr);
    bool IsRadio() const { return m_bRadio; }

    void OnReadOnlyChanged(bool readOnly) override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* e) override;
    void nextCheckState() override;
    bool hitButton(const QPoint& pos) const override;

private:
    void UncheckGroup();
    bool m_bRadio;
};
