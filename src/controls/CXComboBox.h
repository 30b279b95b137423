#pragma once

#include "XReadOnly.h"

#include <QtWidgets/QComboBox>

// The combo box of bound text fields: its drop-down adds the field's most used earlier
// values to the template's items, "更多 ..." opens the whole history.
class CXComboBox : public QComboBox, public IXReadOnly
{
    Q_OBJECT
public:
    explicit CXComboBox(QWidget* parent = nullptr);
    // The template's items, kept for refilling the list.
    void SaveItems();
    // Fills an empty list (template items, history, pseudo-items).
    void FillHistory();
    // A confirmed choice by item index.
    void OnSelEndOk(int index);
    // Puts m_strText back as the combo's text.
    void RestoreText();
    void OnHistory();
    void OnReadOnlyChanged(bool readOnly) override;

    QString m_strTable;
    QString m_strColumn;
    QStringList m_arrItems;
    QString m_strText;

    void showPopup() override;

protected:
    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    bool ShowsItself() const;
    void WatchEdit();
    QString m_strBeforeDrop; // the text a pseudo-item puts back
};
