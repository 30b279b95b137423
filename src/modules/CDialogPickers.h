#pragma once

#include "XRecordPickers.h"

// The pickers of the desktop: the one- and several-record picker dialogs.
class CDialogPickers : public XRecordPickers
{
public:
    bool IsAvailable() const override { return true; }
    int ChooseOne(CModule& module, const CXMap& query, int startId, CXBase& chosen) override;
    int ChooseMany(CModule& module, const CXMap& query, const std::set<int>& startIds, CXArray& chosen) override;
};
