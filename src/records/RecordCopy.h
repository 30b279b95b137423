#pragma once

class CXItem;

// Turns a copy of a saved record into a new record that can be saved beside the original:
// the record's row ID, the row IDs of all its child lines (and their parent IDs), its
// stamps and, for a module that numbers its records, its number are cleared. A copy that
// kept its lines' row IDs would take those rows away from the original when saved, and a
// copy that kept its number would be refused as a duplicate. Links the lines hold (the
// course a line names, for one) stay. Every module's "new copy" goes through here.
void PrepareNewCopy(CXItem& copy);
