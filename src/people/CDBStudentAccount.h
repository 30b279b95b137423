#pragma once

#include "CHead.h"
#include "CXItem.h"

// A phone number a student logs in with; its title is the number, its line ID its own row.
class CDBStudentAccount : public CXItemT<MDU_STUDENT>
{
public:
    CDBStudentAccount() { CDBStudentAccount::Reset(); }

    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CDBStudentAccount; }
    int Validate(const CXItem* user, bool bCheckDuplicates) override;

    QString m_strRelation;
};

// Whether the text is a mobile number as a whole: 1, a digit 3-9, nine more digits.
bool IsMobileNumber(const QString& text);
