#pragma once

#include <QtCore/QTimer>
#include <QtWidgets/QWidget>

#include <climits>

// The up-down arrows beside a number edit. It keeps a range and a position but never
// changes the position by itself: each arrow press (and its auto-repeat) asks the owner
// through delta(+1 or -1).
class XSpinButton : public QWidget
{
    Q_OBJECT
public:
    explicit XSpinButton(QWidget* parent = nullptr);

    void SetRange(int min, int max);
    int Min() const { return m_nMin; }
    int Max() const { return m_nMax; }
    void SetPos(int pos) { m_nPos = pos; }
    int Pos() const { return m_nPos; }
    QSize sizeHint() const override;

signals:
    void delta(int step);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    int PartAt(const QPoint& pos) const; // +1 upper half, -1 lower half
    int m_nMin = INT_MIN;
    int m_nMax = INT_MAX;
    int m_nPos = 0;
    int m_nPressed = 0;
    int m_nHot = 0;
    QTimer m_repeat;
};
