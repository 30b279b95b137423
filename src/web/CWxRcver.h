#pragma once

#include "CXItem.h"

#include <QtCore/QStringList>

// One receiver of a WeChat notice: a student (module, ID, the line's row ID, the name as
// title, with " (n)" for the n-th line of the same student in one record), the keyword
// values of the message for this student, and the openids of every WeChat login bound to
// the student. Checked (m_bSelected and m_bOrgSelected) when it has an openid.
class CWxRcver : public CXItemT<MDU_STUDENT>
{
public:
    // One column, the receiver's title, for the notice dialog's list.
    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CWxRcver; }

    XPrintKeywords m_keywords;
    QStringList m_openids;
    int m_nRepeat = 0; // receivers of the same student before this one
};
