#pragma once

#include <QtCore/QObject>

// The wheel over a date picker, a rich edit, a combo box, a spin box or an edit that has
// nothing to scroll never changes that control: it scrolls the nearest scrollable dialog
// around it instead, or does nothing.
class XWheelForwarder : public QObject
{
    Q_OBJECT
public:
    static void Install();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
