#pragma once

// Stand-ins for the program's date, time-span and list controls that record what the
// binders ask of them.
#include "CXArray.h"
#include "XBoundControls.h"

#include <QtCore/QStringList>
#include <QtWidgets/QWidget>

#include <vector>

class CFakeDate : public QWidget, public IXDateControl
{
    Q_OBJECT
public:
    using QWidget::QWidget;
    void SetEmptyText(const QString& text) override { log << "empty:" + text; }
    void SetDisplayFormat(const QString& format) override { log << "format:" + format; }
    void SetWeekday(const XDateTime& reference, bool backward) override
    {
        log << QStringLiteral("weekday:%1:%2").arg(reference.Day()).arg(backward);
    }
    void SetDateRange(const XDateTime& lower, const XDateTime& upper) override
    {
        log << QStringLiteral("range:%1:%2").arg(lower.Day()).arg(upper.Day());
    }
    bool HasShowNone() const override { return showNone; }
    void SetDate(const XDateTime& d) override
    {
        date = d;
        log << QStringLiteral("date:%1").arg(d.Day());
    }
    void SetNoDate() override
    {
        date = XDateTime::Null();
        log << QStringLiteral("none");
    }
    XDateTime GetDate() const override { return date; }
    void UpdateCalendarStyle() override { log << QStringLiteral("style"); }

    QStringList log;
    bool showNone = false;
    XDateTime date;
};

class CFakeSpan : public QWidget, public IXTimeSpanControl
{
    Q_OBJECT
public:
    using QWidget::QWidget;
    void SetCaption(const QString& c) override { caption = c; }
    void SetSpan(const CXTimeSpan& s, int def) override { span = s.Value() ? s.Value() : def; }
    CXTimeSpan GetSpan(int def) const override { return CXTimeSpan(span ? span : def); }
    QString caption;
    int span = 0;
};

class CFakeList : public QWidget, public IXListControl
{
    Q_OBJECT
public:
    using QWidget::QWidget;
    const CXArray* ShownArray() const override { return shown; }
    void SetItems(CXArray* array, CHeads*, int m, int s) override
    {
        shown = array;
        mode = m;
        style = s;
        ++fills;
        checks.assign(static_cast<std::size_t>(array->GetSize()), false);
    }
    int ItemCount() const override { return static_cast<int>(checks.size()); }
    bool IsItemChecked(int i) const override { return checks[static_cast<std::size_t>(i)]; }
    void SetItemChecked(int i, bool c) override { checks[static_cast<std::size_t>(i)] = c; }
    const CXArray* shown = nullptr;
    int mode = 0;
    int style = 0;
    int fills = 0;
    std::vector<bool> checks;
};
