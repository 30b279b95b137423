#pragma once

#include "CFakeAppServices.h"
#include "CMainFrame.h"
#include "CXDBSession.h"
#include "CXItem.h"
#include "CXMap.h"
#include "FixtureSchool.h"
#include "OpenDatabase.h"
#include "ProgramModules.h"
#include "ProgramSeams.h"
#include "RecordConsts.h"
#include "Resources.h"
#include "XDateTime.h"
#include "XDrawing.h"

#include <QtCore/QCoreApplication>

#include <gtest/gtest.h>

#include <memory>

// The real frame with its ribbon and navigation pane over the fixture school, every module
// the program registers, the seams installed, and a user the test shapes (the
// administrator until it says otherwise).
class FrameFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_modules.Create();
        CXDBSession session;
        session.Connect();
        ASSERT_TRUE(MarkWritableColumns(session));
        ASSERT_TRUE(BuildFixtureSchool(m_school));
        m_user.m_nMduID = MDU_TEACHER;
        m_user.m_strName = QStringLiteral("Admin");
        m_user.m_nRightRole = 2;
        CFakeAppServices::Installed().user = &m_user;
        InstallModuleLayerSeams();
        MakeFrame();
    }
    void TearDown() override
    {
        InstallFrameSeams(nullptr, nullptr, nullptr, {});
        m_frame.reset();
        RemoveModuleLayerSeams();
        CFakeAppServices::Installed().Clear();
        SetScreenDpiOverride(0, 0);
        XClock::Reset();
    }
    void MakeFrame()
    {
        InstallFrameSeams(nullptr, nullptr, nullptr, {});
        m_frame.reset();
        m_frame = std::make_unique<CMainFrame>();
        CMainFrame* frame = m_frame.get();
        InstallFrameSeams(frame, frame, nullptr, {});
    }
    // An operator granted only these rights, by module.
    void BecomeOperator(std::initializer_list<std::pair<int, int>> rights)
    {
        CXMap map;
        for (auto [mdu, bits] : rights)
            map.SetText(mdu, QString::number(bits));
        m_user.m_nRightRole = 1;
        m_user.m_strRightData = map.ToXml();
    }
    static void Pump()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    TempDatabase m_db;
    XProgramModules m_modules;
    XFixtureSchool m_school;
    CXItem m_user;
    std::unique_ptr<CMainFrame> m_frame;
};
