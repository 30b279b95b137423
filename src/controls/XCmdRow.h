#pragma once

// A row of command buttons along an edge of a control (the photo strip's bottom, an
// edit's right side): hover and press feedback, a click only when released over the button
// that was pressed, the command's prompt as tooltip. The owner lays the buttons out and
// keeps their state; the row reports clicks.
#include "CXCmd.h"

#include <QtWidgets/QWidget>

#include <functional>
#include <vector>

class XCmdTarget;

class XCmdRow : public QWidget
{
    Q_OBJECT
public:
    explicit XCmdRow(QWidget* parent);

    // The commands, owned by the caller; rectangles in the row's coordinates.
    void SetCommands(std::vector<CXCmd*> cmds) { m_cmds = std::move(cmds); }
    CXCmd* HitTest(const QPoint& pt) const;
    // Refreshes the commands' state before painting.
    std::function<void()> onUpdate;
    // A button was clicked.
    std::function<void(int id)> onClick;
    // The background: the window colour (edits) or the parent's (the photo strip).
    bool m_bWindowBackground = true;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    bool event(QEvent* e) override;

private:
    void ClearStates();
    std::vector<CXCmd*> m_cmds;
};
