#pragma once

#include <QtWidgets/QListWidget>

// A plain list of texts with rows of the program's row height (the preferences dialog's
// page list). Clicks below the last item only focus the box, so they never clear the
// selection.
class CXListBox : public QListWidget
{
public:
    explicit CXListBox(QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
};
