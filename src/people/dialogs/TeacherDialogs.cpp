#include "TeacherDialogs.h"

#include "CDlgEditTeacher.h"
#include "CDlgEditTeacherRight.h"
#include "CXArray.h"

std::unique_ptr<CXDialogEx> CreateTeacherEditPage(bool bNew, const CXItem* item)
{
    return std::make_unique<CDlgEditTeacher>(bNew, item);
}

std::unique_ptr<CXDialogEx> CreateTeacherRightPage(bool, const CXItem*)
{
    return std::make_unique<CDlgEditTeacherRight>();
}

std::vector<XEditPageMaker> TeacherMorePages() { return {CreateTeacherRightPage}; }

void RegisterTeacherEditPages() { SetEditPageMakers(MDU_TEACHER, {CreateTeacherEditPage, CreateTeacherRightPage}); }

void PrepareLineCopy(const CXItem* from, CXArray* owner, bool bNew, CXItem& line)
{
    if (from)
        from->CopyTo(&line);
    if (bNew && from) {
        if (owner)
            line.m_nSubID = 0;
        else
            line.m_nID = 0;
    }
    if (owner) {
        line.m_pArray = owner;
        if (owner->m_pParent)
            line.m_nParentID = owner->m_pParent->m_nID;
    }
}
