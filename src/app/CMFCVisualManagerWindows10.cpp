#include "CMFCVisualManagerWindows10.h"

#include <QtGui/QPainter>
#include <QtWidgets/QApplication>
#include <QtWidgets/QStyleFactory>
#include <QtWidgets/QStyleOption>
#include <QtWidgets/QTabBar>

namespace {

QString Rgb(const QColor& c) { return QStringLiteral("rgb(%1,%2,%3)").arg(c.red()).arg(c.green()).arg(c.blue()); }

using VM = CMFCVisualManagerWindows10;

QString RibbonSheet()
{
    const QPalette pal = QApplication::palette();
    const QColor app = pal.color(QPalette::Highlight);
    return QStringLiteral(
               "#RibbonBar, #RibbonTabRow { background: %1; }"
               "#RibbonPanels { background: %2; border-top: 1px solid %3; border-bottom: 1px solid %3; }"
               "#RibbonCategory, #RibbonPanel { background: %2; }"
               "QFrame#ribbonLine { color: %3; }"
               "QLabel#RibbonPanelLabel { color: %7; }"
               "QTabBar#RibbonTabs::tab { background: transparent; border: 1px solid transparent; border-bottom: none;"
               " padding: 4px 14px; margin-top: 3px; margin-right: 2px; }"
               "QTabBar#RibbonTabs::tab:selected { background: %2; border-color: %3; }"
               "QTabBar#RibbonTabs::tab:hover:!selected { border-color: %3; }"
               "QToolButton#RibbonApplicationButton { background: %4; color: %5; border: none; margin-top: 3px;"
               " padding: 3px 14px; }"
               "QToolButton#RibbonApplicationButton:hover { background: %6; }"
               "QToolButton#RibbonApplicationButton::menu-indicator { image: none; width: 0; }"
               "QToolBar#QuickAccessToolbar { background: %1; border: none; spacing: 1px; }")
        .arg(Rgb(pal.color(QPalette::Base)), Rgb(VM::kBarBackground), Rgb(VM::kBorder), Rgb(app),
             Rgb(pal.color(QPalette::HighlightedText)), Rgb(app.lighter(110)), Rgb(pal.color(QPalette::Dark)));
}

QString NavbarSheet()
{
    return QStringLiteral("#NavbarCaption { background: %1; border-bottom: 1px solid %2; }"
                          "QTreeWidget#NavTree { background: %1; }")
        .arg(Rgb(VM::kBarBackground), Rgb(VM::kBorder));
}

QString TabSheet()
{
    return QStringLiteral("QTabBar { background: %1; border-bottom: 1px solid %2; }"
                          "QTabBar::tab { background: %1; border: 1px solid %2; border-top: none; border-left: none;"
                          " padding: 4px 10px; }"
                          "QTabBar::tab:selected { background: %3; font-weight: bold; border-bottom-color: %3; }"
                          "QTabBar::tab:hover:!selected { background: %4; }")
        .arg(Rgb(QApplication::palette().color(QPalette::Base)), Rgb(VM::kBorder), Rgb(VM::kBarBackground),
             Rgb(VM::kHighlighted));
}

} // namespace

CMFCVisualManagerWindows10::CMFCVisualManagerWindows10() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
{
    setObjectName(QStringLiteral("CMFCVisualManagerWindows10"));
}

bool CMFCVisualManagerWindows10::IsInstalled()
{
    return qobject_cast<CMFCVisualManagerWindows10*>(QApplication::style()) != nullptr;
}

void CMFCVisualManagerWindows10::Apply(QWidget* ribbon, QWidget* navbar, QTabBar* moduleTabs)
{
    if (!IsInstalled())
        QApplication::setStyle(new CMFCVisualManagerWindows10);
    if (ribbon)
        ribbon->setStyleSheet(RibbonSheet());
    if (navbar)
        navbar->setStyleSheet(NavbarSheet());
    if (moduleTabs)
        moduleTabs->setStyleSheet(TabSheet());
}

void CMFCVisualManagerWindows10::drawPrimitive(PrimitiveElement pe, const QStyleOption* opt, QPainter* p,
                                               const QWidget* w) const
{
    if (pe == PE_PanelButtonTool && (opt->state & State_AutoRaise || !(opt->state & State_Raised))) {
        // flat: a fill and a thin border only while hot, pressed or checked
        const bool enabled = opt->state & State_Enabled;
        QColor fill;
        QColor border = kPressedBorder;
        if (enabled && (opt->state & State_Sunken))
            fill = kPressed;
        else if (opt->state & State_On)
            fill = kChecked;
        else if (enabled && (opt->state & State_MouseOver))
            fill = kHighlighted;
        if (fill.isValid()) {
            p->save();
            p->setPen(border);
            p->setBrush(fill);
            p->drawRect(opt->rect.adjusted(0, 0, -1, -1));
            p->restore();
        }
        return;
    }
    if (pe == PE_IndicatorTabClose) {
        p->save();
        QFont bold = w ? w->font() : QApplication::font();
        bold.setBold(true);
        p->setFont(bold);
        const bool hot = (opt->state & State_MouseOver) && (opt->state & State_Enabled);
        p->setPen(hot ? kCloseHot : opt->palette.color(QPalette::Disabled, QPalette::WindowText));
        p->drawText(opt->rect.adjusted(0, 0, -2, 0), Qt::AlignCenter, QStringLiteral("✕"));
        p->restore();
        return;
    }
    QProxyStyle::drawPrimitive(pe, opt, p, w);
}

void CMFCVisualManagerWindows10::drawControl(ControlElement ce, const QStyleOption* opt, QPainter* p,
                                             const QWidget* w) const
{
    if (ce == CE_MenuItem && (opt->state & State_Selected) && (opt->state & State_Enabled)) {
        if (const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(opt)) {
            // the hot entry: the light fill framed in the menu border colour, normal text
            p->save();
            p->setPen(kMenuBorder);
            p->setBrush(kHighlighted);
            p->drawRect(opt->rect.adjusted(1, 0, -2, -1));
            p->restore();
            QStyleOptionMenuItem plain = *item;
            plain.state &= ~State_Selected;
            QProxyStyle::drawControl(ce, &plain, p, w);
            return;
        }
    }
    QProxyStyle::drawControl(ce, opt, p, w);
}
