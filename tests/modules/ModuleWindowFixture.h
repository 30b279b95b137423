#pragma once

#include "CFakeAppServices.h"
#include "CXListCtrl.h"
#include "FakeModuleHost.h"
#include "RecordDbFixture.h"

// A database with the test modules, the scheme module, the logged-in user and a fake shell
// whose course window is a record list.
class ModuleWindowDb : public RecordDb
{
protected:
    void SetUp() override
    {
        RecordDb::SetUp();
        CFakeAppServices::Installed().user = &m_user;
        RegisterModule(&m_schemes);
        InvalidateQuerySchemes();
        m_previous = SetModuleHost(&m_host);
        m_list.SetItems(&m_items, CTestCourse::StaticHeads(), 2, 0);
        m_host.list = &m_list;
    }
    void TearDown() override
    {
        SetModuleHost(m_previous);
        UnregisterModule(&m_schemes);
        InvalidateQuerySchemes();
        CFakeAppServices::Installed().user = nullptr;
        RecordDb::TearDown();
    }

    CFakeSchemeModule m_schemes;
    CFakeModuleHost m_host;
    XModuleHost* m_previous = nullptr;
    CXArray m_items{nullptr, true};
    CXListCtrl m_list;
};
