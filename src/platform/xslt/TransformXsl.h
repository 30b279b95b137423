#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QString>

#include <functional>
#include <utility>
#include <vector>

class CXXmlDoc;

// Where sheets, the sheets they import or include, and the documents they read through
// document() come from: named web files ("share.xsl", "tmplmsg.xml"), never a path or a URL.
// A transformation reaches no other file and no network.
class XSheetSource
{
public:
    virtual ~XSheetSource() = default;
    // The named file's text (UTF-8); empty when there is none.
    virtual QByteArray Load(const QString& name) const = 0;
    // Changes whenever the named file's text may have changed. A parsed sheet is kept while
    // every file it was made from keeps its stamp.
    virtual QString Stamp(const QString& name) const = 0;
    // Tells sources apart in the shared cache of parsed sheets.
    virtual QString Key() const = 0;
};

// The program's built-in web files (resources/www, "<id>-<name>"), found by name ignoring
// case, as they are stored.
const XSheetSource& BuiltInSheets();

// Whether a name may name a web file for a sheet: letters, digits, "_", "-" and "." (not
// first), at most 64 characters; no separator, so never a path.
bool IsWebFileName(const QString& name);

// Parameters of a sheet, passed as strings: a value is never evaluated as an expression.
using XSheetParams = std::vector<std::pair<QByteArray, QString>>;

// The XML (UTF-8) through the named sheet of the source; what the sheet's output method
// makes. Parsed sheets are cached per source and name, checked against the stamps of every
// file they were made from. Empty when the XML, the sheet or the transformation fails.
QString TransformNamedSheet(const QByteArray& xml, const QString& sheet, const XSheetParams& params,
                            const XSheetSource& source);

// XSL transformation of the program's XML: the record XML through a sheet into HTML (or
// whatever the sheet's output method makes). Safe on any thread. An XML text or sheet that
// does not load, or a transformation that fails, gives the empty text; nothing is reported.
// Sheets may read no files and reach no network, and the output is never written anywhere;
// what they import comes from the built-in web files.
QString TransformXsl(const QString& xml, const QString& xsl);
QString TransformXsl(const CXXmlDoc& doc, const QString& xsl);
// The record XML through the built-in inner sheet, the desktop detail panes' sheet.
QString TransformXsl(const QString& xml);

// A record page: what `write` puts under an <r> root, through the program's record sheet
// (the www resource every record view shares). The edit frame's information pane, the pages
// that show one or several records, and the web's record answers all make it here, so they
// show a record alike. xml, when given, receives the record XML itself.
QString RecordPageHtml(const std::function<void(CXXmlDoc&)>& write, QString* xml = nullptr);
