#pragma once

#include <QtCore/QPointer>
#include <QtCore/QRect>
#include <QtCore/QTimer>
#include <QtWidgets/QWidget>

// A balloon at a control: icon by type (1 information, 2 warning, 3 error), bold title,
// text, and a tail pointing at the anchor. It closes on a click, a key, a focus change or
// after ten seconds; a new one replaces the last.
class XBalloonTip : public QWidget
{
    Q_OBJECT
public:
    static void ShowAt(QWidget* control, const QRect& anchor, const QString& title, const QString& text, int type);
    static void CloseCurrent();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    XBalloonTip(const QString& title, const QString& text, int type);
    QString m_strTitle;
    QString m_strText;
    int m_nType;
    QTimer m_timer;
    static QPointer<XBalloonTip> s_current;
};
