#pragma once

class CXItem;
class CXXmlDoc;

// CXItem::WriteXml for a page sent to a browser: a record's whole view writes every field,
// and on the web a password hash is the login itself, so the stored hash never goes out;
// the record still tells whether it uses the default password.
void WriteWebItemXml(CXItem& item, CXXmlDoc& doc, int mode, int spec, const CXItem* user);
