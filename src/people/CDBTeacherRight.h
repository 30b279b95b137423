#pragma once

#include "CHead.h"
#include "CXItem.h"

// The six rights a rights row shows, in column order (查询 新建 删除 修改 打印 通知), as the
// module rights bits.
inline constexpr int kRightColumnBits[6] = {RIGHT_QRY, RIGHT_ADD, RIGHT_DEL, RIGHT_MDF, RIGHT_PRT, RIGHT_MSG};

// The rights a teacher of the role keeps on a module with the capability word and the
// teacher-account word: an operator keeps what was granted and the module has, and nothing
// but the query right unless that is granted too; an administrator has every capability; an
// ordinary user the teacher-account rights.
int NormaliseRights(int role, int bits, int caps, int teacherRights);

// The access of the flag with the bit: hidden (-1) when the module lacks it, read-only (0)
// while the role is not operator or, for any flag but query, while query is off; else 1.
int RightFlagAccess(int role, int bits, int caps, int bit);

// A click on column 1..6 of a rights row: the flag toggled and the result normalised for
// an operator; the bits unchanged on column 0, a read-only list or any role but operator.
int ClickRightCell(int role, bool readOnly, int column, int bits, int caps);

// The rights of a teacher on one module: a row of the teacher's rights list, built from
// RightData and written back into it; never stored as a row. Module id and record ID are
// the module's id; the parent is the teacher.
class CDBTeacherRight : public CXItem
{
public:
    CDBTeacherRight() { CDBTeacherRight::Reset(); }

    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CDBTeacherRight; }
    int Validate(const CXItem* user, bool bCheckDuplicates) override;
    int GetAccess(const CHead* head, const CXItem* user) const override;
    bool DrawCell(const CHead* head, XCellDraw* draw) override;
    void AutoReset() override { SetBits(0); }
    bool CanAutoSet() const override { return true; }
    void AutoSet() override;

    int GetBits() const;
    void SetBits(int bits);
    // The owning teacher's role; an operator's when the row has no teacher.
    int GetRole() const;
    // The module's capability and teacher-account words (0 without the module).
    int GetCaps() const;
    int GetTeacherRights() const;
    QString GetModuleName() const;
    QString GetGroupName() const;
    // The flag column (1..6) of a head; 0 for other heads.
    static int FlagColumn(const CHead* head);

    int m_bFlags[6] = {0, 0, 0, 0, 0, 0};
};
