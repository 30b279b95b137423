#include "CXCmd.h"

CXCmd::CXCmd(int id, bool bShown, bool bInMenu, bool bDefault)
    : m_bDefault(bDefault), m_bShown(bShown), m_bInMenu(bInMenu)
{
    m_nID = id;
}

void CXCmd::Enable(bool on)
{
    m_bEnabled = on;
    m_bEnableChanged = true;
}

void CXCmd::DoUpdate(XCmdTarget* target)
{
    if (!target || m_nID == 0)
        return;
    m_bEnableChanged = false;
    target->OnCmdMsg(m_nID, XCN_UPDATE, this);
}
