#pragma once

#include "CXMap.h"

#include <optional>

class CModule;
class CXItem;

// Query maps that arrive from a browser (a POST body, the "query" parameter, a picker's
// posted map) are untrusted: the module readers format list values into their SQL. Every
// such map passes through WebQueryMap before any module sees it. Maps built by the program
// itself (schemes, the narrowing below, the desktop) do not.
//
// What the result holds, key by key:
// - keys 1 and 2 (only / all but these IDs), the module's record-link options and every
//   key that is a module id: a comma list of integers, the IDs taken out of "xl:" links
//   first; links of a record-link option are rewritten from their parts, so their titles
//   come back escaped; an empty list names no record ("0");
// - choice options: a comma list of integers ("|" or "," accepted when reading);
// - date and month options: "%Y-%m-%d";
// - find and hidden text options: the text, at most kMaxWebFindText characters without
//   line breaks or control characters; the readers bind it as a parameter;
// - every other key is dropped.
// Nothing (nullopt) when a list or date value does not parse: the request is refused.
std::optional<CXMap> WebQueryMap(const CModule& module, const CXMap& raw);

inline constexpr int kMaxWebFindText = 100;

// The query as a role-0 account (a student or teacher login) may read it: its own record
// when the identity belongs to the module, else the records linked to the identity through
// the module's option for the identity's module. False when the module has no way to tell
// the identity's records apart: the caller then reads nothing. Other roles read the query
// unchanged (true).
bool NarrowToOwnRecords(const CModule& module, const CXItem& user, CXMap& query);
