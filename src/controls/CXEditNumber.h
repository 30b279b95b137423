#pragma once

#include "XReadOnly.h"
#include "XSpinButton.h"

#include <QtCore/QPointer>
#include <QtWidgets/QLineEdit>

// The edit of int and money fields: the number with its prefix, format and unit while not
// being edited, the bare number while focused, clamped to the spin's range, grey for
// values that mean "nothing entered", and a warning when a typed number leaves the range.
class CXEditNumber : public QLineEdit, public IXReadOnly
{
    Q_OBJECT
public:
    explicit CXEditNumber(QWidget* parent = nullptr);

    double GetValue() const;
    void SetValue(double v);
    void SetRange(int min, int max);
    int RangeMin() const;
    int RangeMax() const;
    XSpinButton* Spin() const { return m_spin; }
    bool IsSpinAttached() const { return m_bAttached; }
    // Whether the text is drawn in the grey text colour.
    bool IsGrey() const;

    void OnReadOnlyChanged(bool readOnly) override;

    QString m_strPrefix;
    QString m_strFormat;
    QString m_strUnit;

    // The number of a text, unclamped: from the first "-", "." or digit on, read in the C
    // locale up to the first character that cannot continue it; 0 when there is none.
    static double ParseNumber(const QString& text);
    // The text of a value: formatted, trailing zeros and point removed for "%...f" formats
    // with ".", "+" removed while focused, prefix and unit unless focused and editable.
    static QString FormatNumber(double v, const QString& format, const QString& prefix, const QString& unit,
                                bool focused, bool readOnly);
    static bool IsGreyValue(double v, const QString& unit);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* e) override;

private:
    void UpdateSpin();
    void UpdateColours();
    void PlaceSpin();
    void StepBy(int delta);
    QPointer<XSpinButton> m_spin;
    bool m_bAttached = false;
};
