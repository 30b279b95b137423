#pragma once

#include "CXDateCtrl.h"

class CXEditNumber;

// A birth date given exactly, or estimated from an age: the picker on the left two thirds
// and an age box ("≈" before an estimated age) on the rest.
class CXBirthCtrl : public CXDateCtrl, public IXBirthControl
{
    Q_OBJECT
public:
    explicit CXBirthCtrl(QWidget* parent = nullptr);

    void SetBirthDate(const XDateTime& date, int estimated) override;
    void GetBirthDate(XDateTime& date, int& estimated) const override;
    // Age box and picker agree again: the age of the date, or the estimate as empty text.
    void SyncAge();
    CXEditNumber* AgeBox() const { return m_age; }
    void OnReadOnlyChanged(bool readOnly) override;

protected:
    void resizeEvent(QResizeEvent* e) override;
    void AfterChange() override;
    int PickerWidth() const override { return width() * 2 / 3 - 2; }

private:
    CXEditNumber* m_age = nullptr;
    bool m_bSyncing = false;
};
