#pragma once

#include "CHead.h"
#include "CXItem.h"

// A phone number a teacher logs in with; its title is the number, its line ID its own row.
class CDBTeacherAccount : public CXItemT<MDU_TEACHER>
{
public:
    CDBTeacherAccount() { CDBTeacherAccount::Reset(); }

    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CDBTeacherAccount; }
    int Validate(const CXItem* user, bool bCheckDuplicates) override;

    QString m_strRelation;
};
