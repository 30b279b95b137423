#pragma once

// A person record and a dialog holding one of each value control: the name edit with its
// duplicate indicator, a history combo box, the birthday, a date with a reference weekday,
// the lesson time, the photo strip and a logo picture. A temporary database when a test
// needs lookups.
#include "CHead.h"
#include "CXArray.h"
#include "CXDialogEx.h"
#include "CXItem.h"
#include "TestSupport.h"

class CTestPhoto : public CXItem
{
public:
    CTestPhoto() { CTestPhoto::Reset(); }
    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CTestPhoto; }
};

class CTestPerson : public CXItemT<MDU_STUDENT>
{
public:
    CTestPerson() { CTestPerson::Reset(); }
    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CTestPerson; }

    QString m_strCity;
    XDateTime m_dtBirth;
    int m_nBirthEstimated = 0;
    XDateTime m_dtLesson;
    CXTimeSpan m_span;
    CXArrayT<CTestPhoto> m_photos{this};
    CXImage m_logo;
};

enum : int { IDC_P_NAME = 1001, IDC_P_CITY = 1002, IDC_P_LESSON = 1040, IDC_P_LOGO = 1050 };

class CDlgTestPerson : public CXDialogEx
{
public:
    explicit CDlgTestPerson(CTestPerson* person, QWidget* parent = nullptr);
    CXItem* GetItem() override { return m_pPerson; }
    void DoDataExchange(XDataExchange& dx) override;
    void OnCommand(int id) override
    {
        commands.push_back(id);
        CXDialogEx::OnCommand(id);
    }

    CTestPerson* m_pPerson;
    int weekdayMode = 0;
    std::vector<int> commands;
};

// A program folder with a fresh database; TB_STUDENT gets a City column for the history.
class TempControlDb
{
public:
    TempControlDb();
    ~TempControlDb();
    static bool Exec(const QString& sql);

private:
    ScopedHome m_home;
};

// A PNG of one colour in the temporary folder.
QString WriteTestPng(const QString& dir, const QString& name, QColor colour, QSize size = QSize(40, 30));
