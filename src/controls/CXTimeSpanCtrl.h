#pragma once

#include "XBoundControls.h"
#include "XDateLogic.h"
#include "XReadOnly.h"

#include <QtWidgets/QWidget>

class QCheckBox;
class QTimeEdit;

// A lesson's time span: begin, end and duration pickers in 5-minute steps that keep one
// another consistent, behind a check box when the field has a caption for "not set".
class CXTimeSpanCtrl : public QWidget, public IXTimeSpanControl, public IXReadOnly
{
    Q_OBJECT
public:
    explicit CXTimeSpanCtrl(QWidget* parent = nullptr);

    void SetCaption(const QString& caption) override;
    void SetSpan(const CXTimeSpan& span, int defaultValue) override;
    CXTimeSpan GetSpan(int defaultValue) const override;
    void OnReadOnlyChanged(bool readOnly) override;
    void RecalcLayout();
    // Wide enough for each picker to show its whole time in its share of the width.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    XSpanTimes Times() const;
    QTimeEdit* Picker(int id) const;
    QCheckBox* Check() const { return m_check; }
    // Sets one picker as if the user had changed it (the rules run).
    void EditPicker(int id, int minutes);

    QString m_strCaption;

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void OnPickerChanged(QTimeEdit* which);
    void Show(const XSpanTimes& t);
    bool PickersShown() const;

    QCheckBox* m_check = nullptr;
    QTimeEdit* m_pickers[3] = {};
    bool m_bSetting = false;
};
