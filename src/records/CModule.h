#pragma once

#include <QtCore/QString>

#include <vector>

class CHeads;
class CXItem;

// A kind of record the school keeps: one module per kind, created once at start-up in a
// fixed order and living until the program ends. It knows how its records are created and
// titled and which rights exist on them. The desktop's windows, queries and schemes hang
// off it elsewhere; this core never touches a widget, since web threads use it.
class CModule
{
public:
    explicit CModule(int mduId);
    CModule(const CModule&) = delete;
    CModule& operator=(const CModule&) = delete;
    virtual ~CModule();

    int GetMduID() const { return m_nMduID; }

    // The field table of the module's records, and a new empty record of the module.
    virtual CHeads* GetHeads() const = 0;
    virtual CXItem* CreateItem() const = 0;

    // The parts of the module's document string: description, name, navigation group.
    QString GetName() const;
    QString GetDescription() const;
    QString GetGroupName() const;

    // The default password of the module's user accounts (teachers and students); empty
    // for every other module.
    virtual QString GetDefaultPassword() const { return QString(); }

    int m_nCaps = 0;          // rights the module supports at all
    int m_nOperRights = 0;    // rights an operator gets when a rights row is reset
    int m_nStudentRights = 0; // rights of a student account
    int m_nTeacherRights = 0; // rights of a teacher account

private:
    int m_nMduID;
};

// A module whose records are of one class.
template <class Record>
class CModuleT : public CModule
{
public:
    CModuleT() : CModule(Record::MduID) {}
    CHeads* GetHeads() const override { return Record::StaticHeads(); }
    CXItem* CreateItem() const override { return new Record; }
};

// The modules in creation order. The list is complete before any thread but the UI thread
// starts and is only read afterwards.
const std::vector<CModule*>& GetModules();
void RegisterModule(CModule* module);   // appended; the caller keeps ownership
void UnregisterModule(CModule* module);

// The one way to reach a module: null when no module has the id.
CModule* FindModule(int mduId);
