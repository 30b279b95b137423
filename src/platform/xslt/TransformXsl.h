#pragma once

#include <QtCore/QString>

class CXXmlDoc;

// XSL transformation of the program's XML: the record XML through a sheet into HTML (or
// whatever the sheet's output method makes). Safe on any thread. An XML text or sheet that
// does not load, or a transformation that fails, gives the empty text; nothing is reported.
// Sheets may read no files and reach no network, and the output is never written anywhere.
QString TransformXsl(const QString& xml, const QString& xsl);
QString TransformXsl(const CXXmlDoc& doc, const QString& xsl);
