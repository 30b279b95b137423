#pragma once

// Constant tables of the XML document: named character references and encoding names.
struct XmlNameCode
{
    const char* name;
    int code;
};

extern const XmlNameCode g_xmlEntities[];
extern const int g_xmlEntityCount;
extern const XmlNameCode g_xmlEncodings[];
extern const int g_xmlEncodingCount;
