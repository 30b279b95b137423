#pragma once

#include <QtCore/QString>

#include <functional>

class CXXmlDoc;

// XSL transformation of the program's XML: the record XML through a sheet into HTML (or
// whatever the sheet's output method makes). Safe on any thread. An XML text or sheet that
// does not load, or a transformation that fails, gives the empty text; nothing is reported.
// Sheets may read no files and reach no network, and the output is never written anywhere.
QString TransformXsl(const QString& xml, const QString& xsl);
QString TransformXsl(const CXXmlDoc& doc, const QString& xsl);

// A record page: what `write` puts under an <r> root, through the program's record sheet
// (the www resource every record view shares). The edit frame's information pane, the pages
// that show one or several records, and the web's record answers all make it here, so they
// show a record alike. xml, when given, receives the record XML itself.
QString RecordPageHtml(const std::function<void(CXXmlDoc&)>& write, QString* xml = nullptr);
