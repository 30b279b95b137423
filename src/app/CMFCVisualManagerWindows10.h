#pragma once

#include <QtWidgets/QProxyStyle>

class QTabBar;
class QWidget;

// The program's flat look on Fusion: light flat fills for hot, pressed and checked tool
// buttons, one thin border colour, menu items framed when hot, and tab close buttons drawn
// as a "✕" that turns red under the mouse, flat tabs. The ribbon and the navigation pane get
// their flat backgrounds and lines as palettes.
class CMFCVisualManagerWindows10 : public QProxyStyle
{
    Q_OBJECT
public:
    CMFCVisualManagerWindows10();

    static inline const QColor kBarBackground{245, 246, 247};
    static inline const QColor kHighlighted{232, 239, 247};
    static inline const QColor kPressed{205, 228, 252};
    static inline const QColor kChecked{201, 224, 247};
    static inline const QColor kPressedBorder{164, 206, 249};
    static inline const QColor kBorder{218, 219, 220};
    static inline const QColor kMenuBorder{164, 206, 249};
    static inline const QColor kCloseHot{192, 0, 0};

    // Makes this the application's style (once) and gives the ribbon, the navigation pane
    // and the module tabs their colours; any of them may be null.
    static void Apply(QWidget* ribbon, QWidget* navbar, QTabBar* moduleTabs);
    static bool IsInstalled();

    void drawPrimitive(PrimitiveElement pe, const QStyleOption* opt, QPainter* p, const QWidget* w) const override;
    void drawControl(ControlElement ce, const QStyleOption* opt, QPainter* p, const QWidget* w) const override;
};
