#include "ProgramModules.h"

#include "CModulePrjOrder.h"
#include "CModulePrjQuery.h"
#include "CModule.h"
#include "CModuleOperLog.h"
#include "CDlgEditCollect.h"
#include "CDlgEditEduRcd.h"
#include "CDlgEditEduSch.h"
#include "CDlgEditWages.h"
#include "CDlgEditSchemeT.h"
#include "CModuleCollect.h"
#include "CModuleTempl.h"
#include "CModuleEduRcd.h"
#include "CModuleEduSch.h"
#include "CModuleWages.h"
#include "PeopleDialogs.h"
#include "PeopleModules.h"
#include "StudentModule.h"
#include "TeacherDialogs.h"
#include "TeacherModule.h"
#include "TemplDialogs.h"

namespace {

template <class M> std::unique_ptr<CModule> Make() { return std::make_unique<M>(); }

template <class Page> std::unique_ptr<CXDialogEx> MakePage(bool bNew, const CXItem* item)
{
    return std::make_unique<Page>(bNew, item);
}

// To add a module: give its row the module class and its edit page.
const XModuleEntry kModuleTable[] = {
    {MDU_RECEIPT, CreateReceiptModule, CreateReceiptEditPage},
    {MDU_COLLECT, Make<CModuleCollect>, MakePage<CDlgEditCollect>},
    {MDU_EDURCD, Make<CModuleEduRcd>, MakePage<CDlgEditEduRcd>},
    {MDU_EDUSCH, Make<CModuleEduSch>, MakePage<CDlgEditEduSch>},
    {MDU_STUDENT, CreateStudentModule, CreateStudentEditPage},
    {MDU_TEACHER, CreateTeacherModule, CreateTeacherEditPage, TeacherMorePages},
    {MDU_WAGES, Make<CModuleWages>, CreateWagesEditPage},
    {MDU_COURSE, CreateCourseModule, CreateCourseEditPage},
    {MDU_CHARGE, CreateChargeModule, CreateChargeEditPage},
    {MDU_PRJQUERY, Make<CModulePrjQuery>, MakePage<CDlgEditPrjQuery>},
    {MDU_PRJORDER, Make<CModulePrjOrder>, MakePage<CDlgEditPrjOrder>},
    {MDU_TEMPL, Make<CModuleTempl>, CreateTemplEditPage, TemplMorePages},
    {MDU_OPERLOG, Make<CModuleOperLog>, nullptr},
};

} // namespace

std::span<const XModuleEntry> ModuleTable() { return kModuleTable; }

void RegisterEditPages()
{
    for (const XModuleEntry& entry : kModuleTable)
        if (entry.editPage) {
            std::vector<XEditPageMaker> makers{entry.editPage};
            if (entry.morePages)
                for (XEditPageMaker& more : entry.morePages())
                    makers.push_back(std::move(more));
            SetEditPageMakers(entry.mduId, std::move(makers));
        }
}

XProgramModules::~XProgramModules() { Destroy(); }

void XProgramModules::Create()
{
    for (const XModuleEntry& entry : kModuleTable) {
        if (!entry.create || FindModule(entry.mduId))
            continue;
        m_modules.push_back(entry.create());
        RegisterModule(m_modules.back().get());
    }
}

void XProgramModules::Destroy()
{
    while (!m_modules.empty())
        m_modules.pop_back();
}
