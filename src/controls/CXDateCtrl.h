#pragma once

#include "XBoundControls.h"
#include "XReadOnly.h"

#include <QtWidgets/QWidget>

class QCalendarWidget;
class QCheckBox;
class QDateEdit;
class QFrame;
class QToolButton;

// The month grid of the month-mode popup: twelve months of one year, year arrows. One
// click on a month chooses it.
class XMonthPicker : public QWidget
{
    Q_OBJECT
public:
    explicit XMonthPicker(QWidget* parent = nullptr);
    void SetYear(int year);
    int Year() const { return m_nYear; }
    void ClickMonth(int month); // 1..12
signals:
    void monthChosen(int year, int month);

private:
    QToolButton* m_year = nullptr;
    int m_nYear = 2000;
};

// The date picker of date fields: an optional "no date" state behind a check square, with
// a grey empty text; a month mode for formats without a day; snapping to a reference
// weekday when the calendar closes (keyboard changes never snap); read-only as plain text.
class CXDateCtrl : public QWidget, public IXDateControl, public IXReadOnly
{
    Q_OBJECT
public:
    explicit CXDateCtrl(QWidget* parent = nullptr);

    void SetEmptyText(const QString& text) override;
    void SetDisplayFormat(const QString& format) override { SetFormat(format); }
    void SetWeekday(const XDateTime& reference, bool backward) override;
    void SetDateRange(const XDateTime& lower, const XDateTime& upper) override;
    bool HasShowNone() const override;
    void SetDate(const XDateTime& date) override;
    void SetNoDate() override;
    XDateTime GetDate() const override;
    void UpdateCalendarStyle() override;
    void OnReadOnlyChanged(bool readOnly) override;

    // False when the format is the one held (the picker is not touched).
    bool SetFormat(const QString& format);
    int FormatsApplied() const { return m_nFormats; }
    bool IsMonthMode() const;
    bool HasDate() const { return m_bHasDate; }
    void SetShowNone(bool on);
    unsigned CalendarStyle() const { return m_nCalStyle; }
    // Ticks or clears the check square of a show-none picker.
    void SetChecked(bool checked);
    // The picker's own text, or the empty text without a date.
    QString DisplayText() const;
    QDateEdit* Edit() const { return m_edit; }
    // Room for the whole date in the display format, the drop button and the check box.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The popup: a calendar, or the month grid in month mode.
    void OpenCalendar();
    QWidget* Popup() const;
    QCalendarWidget* Calendar() const { return m_cal; }
    XMonthPicker* MonthPicker() const { return m_months; }
    void OnCalendarClicked(const QDate& date);
    void OnMonthChosen(int year, int month);
    // The calendar closed: snap to the weekday and tell.
    void CloseUp();

    XDateTime m_dtWeekday;
    int m_bBackward = 0;
    QString m_strEmptyText;
    XDateTime m_dtLast;
    QString m_strFormat;

signals:
    void dateChanged();

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

    void Relayout();
    // After any change of the date: the dialog's update pass, the last value.
    virtual void AfterChange();
    bool ShowsPicker() const;
    // The width the picker itself takes (the birthday control puts its age box beside it).
    virtual int PickerWidth() const { return width(); }

private:
    void ApplyDayStates(int year, int month);
    void ClosePopup();

    QCheckBox* m_check = nullptr;
    QDateEdit* m_edit = nullptr;
    QToolButton* m_drop = nullptr;
    QFrame* m_popup = nullptr;
    QCalendarWidget* m_cal = nullptr;
    XMonthPicker* m_months = nullptr;
    XDateTime m_lower{0.0};
    XDateTime m_upper{0.0};
    bool m_bHasDate = true;
    bool m_bShowNone = false;
    bool m_bSetting = false;
    unsigned m_nCalStyle = 0;
    int m_nFormats = 0;
};
