#pragma once

#include <set>

class CModule;
class CXArray;
class CXBase;
class CXMap;

// The record pickers over a module, installed by the part of the program that has them;
// the built-in ones are not available, so a new record shows without them.
class XRecordPickers
{
public:
    virtual ~XRecordPickers() = default;
    virtual bool IsAvailable() const { return false; }
    // IDOK with the chosen record copied into chosen, IDCANCEL; the record with the
    // ID starts selected (0: none).
    virtual int ChooseOne(CModule& module, const CXMap& query, int startId, CXBase& chosen);
    // IDOK with the chosen records appended, IDCANCEL; the records with the IDs start
    // chosen when the query returns them.
    virtual int ChooseMany(CModule& module, const CXMap& query, const std::set<int>& startIds, CXArray& chosen);
};
XRecordPickers& RecordPickers();
// Installs the pickers (not owned; null for the built-in ones) and returns the previous.
XRecordPickers* SetRecordPickers(XRecordPickers* pickers);
