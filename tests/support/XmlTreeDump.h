#pragma once

#include "CXXmlDoc.h"

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

// The element table in document order, one line per element: what a fresh parse of the
// text must reproduce after any edit.
inline std::string DumpTree(const CXXmlDoc& doc)
{
    std::ostringstream out;
    int order = 0;
    std::vector<int> orderOf(static_cast<size_t>(doc.NextFreeIndex()), -1);
    orderOf[0] = -1;
    std::vector<int> todo;
    for (int c = doc.Elem(0).iFirstChild; c; c = doc.Elem(c).iNext)
        todo.push_back(c);
    std::reverse(todo.begin(), todo.end());
    while (!todo.empty()) {
        const int i = todo.back();
        todo.pop_back();
        const CXXmlDoc::ElemRecord& r = doc.Elem(i);
        orderOf[static_cast<size_t>(i)] = order++;
        const uint32_t flags =
            r.nFlags & (CXXmlDoc::ELEM_FIRST_CHILD | CXXmlDoc::ELEM_UNENDED | CXXmlDoc::ELEM_HAS_ERROR);
        out << doc.GetTagName(i).toStdString() << ' ' << r.nStart << ' ' << r.nLength << ' ' << r.nStartTagLen << ' '
            << r.nEndTagLen << ' ' << r.nLevel << ' ' << std::hex << flags << std::dec
            << " parent=" << (r.iParent ? orderOf[static_cast<size_t>(r.iParent)] : -1) << '\n';
        // the backward chain is circular: the first child's previous is the last child
        if (r.nFlags & CXXmlDoc::ELEM_FIRST_CHILD) {
            int last = i;
            while (doc.Elem(last).iNext)
                last = doc.Elem(last).iNext;
            if (r.iPrev != last)
                out << "broken prev chain at " << i << '\n';
        } else if (doc.Elem(r.iPrev).iNext != i) {
            out << "broken prev link at " << i << '\n';
        }
        std::vector<int> kids;
        for (int c = r.iFirstChild; c; c = doc.Elem(c).iNext)
            kids.push_back(c);
        todo.insert(todo.end(), kids.rbegin(), kids.rend());
    }
    out << "doc " << doc.Elem(0).nLength << '\n';
    return out.str();
}

inline std::string Reparsed(const CXXmlDoc& doc)
{
    CXXmlDoc fresh(doc.GetDocText());
    return DumpTree(fresh);
}
