#pragma once

#include "CXAccessor.h"

// The two-column reader of long texts and pictures: "SELECT ID,<column> FROM ..." gives the
// row ID in column 1 and the column's bytes in column 2.
class CXBlobAccessor : public CXAccessor
{
public:
    int GetID() const { return static_cast<int>(GetNumber(1)); }
    QByteArray GetStream() const { return GetBytes(2); }
};
