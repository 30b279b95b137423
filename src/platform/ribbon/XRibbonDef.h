#pragma once

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <vector>

// What a ribbon offers, as data: read from one definition file, so the whole command surface
// can be reviewed (and checked by tests) in one place.
struct XRibbonElement
{
    enum class Kind { Button, Check, Menu, Combo, Row, Separator };
    Kind kind = Kind::Button;
    int id = 0;
    QString label; // empty: the command's own name
    QString keyTip;
    bool large = false;
    int width = 0;                     // a combo box's width at 96 dpi
    std::vector<XRibbonElement> items; // a menu's sub-items, a row's elements
};

struct XRibbonPanel
{
    QString label;
    std::vector<XRibbonElement> elements;
};

struct XRibbonCategory
{
    int id = 0;
    QString label;
    QString keyTip;
    bool context = false; // shown only when activated; never a tab of its own
    std::vector<XRibbonPanel> panels;
};

struct XRibbonDef
{
    QString mainLabel; // the application button and its menu
    QString mainKeyTip;
    std::vector<XRibbonElement> mainItems;
    std::vector<int> qat; // the quick access toolbar's default commands, 0 a separator
    XRibbonElement switchButton;
    std::vector<XRibbonCategory> categories;

    // The first element with the id anywhere in the definition (menus and rows included).
    const XRibbonElement* Find(int id) const;
    // Every command id the definition names, each once, in definition order.
    std::vector<int> CommandIds() const;
};

// Reads a definition; false with the reason in *error (line and column) for a malformed one.
bool ParseRibbonDef(const QString& xml, XRibbonDef& def, QString* error = nullptr);

// The quick access toolbar as stored: ids joined by ",", 0 for a separator. Parsing skips
// anything that is not a number.
QString FormatQatCommands(const std::vector<int>& ids);
std::vector<int> ParseQatCommands(const QString& text);

// A find history from texts newest first: trimmed, non-empty, each once, at most max.
QStringList DistinctHistory(const QStringList& newestFirst, int max);
