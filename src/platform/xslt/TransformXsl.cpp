#include "TransformXsl.h"

#include "CXXmlDoc.h"
#include "CodePages.h"
#include "CommandIds.h"
#include "Resources.h"

#include <libxml/parser.h>
#include <libxslt/security.h>
#include <libxslt/transform.h>
#include <libxslt/xslt.h>
#include <libxslt/xsltInternals.h>
#include <libxslt/xsltutils.h>

#include <memory>
#include <mutex>

namespace {

// Parser messages would go to stderr; a failure is the empty result.
void Silent(void*, const char*, ...) {}

struct DocFree
{
    void operator()(xmlDoc* d) const { xmlFreeDoc(d); }
};
struct SheetFree
{
    void operator()(xsltStylesheet* s) const { xsltFreeStylesheet(s); }
};
struct PrefsFree
{
    void operator()(xsltSecurityPrefs* p) const { xsltFreeSecurityPrefs(p); }
};
struct ContextFree
{
    void operator()(xsltTransformContext* c) const { xsltFreeTransformContext(c); }
};
using DocPtr = std::unique_ptr<xmlDoc, DocFree>;

constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

DocPtr ReadDoc(const QByteArray& utf8)
{
    return DocPtr(xmlReadMemory(utf8.constData(), static_cast<int>(utf8.size()), "noname.xml", "UTF-8", kParseOptions));
}

} // namespace

QString TransformXsl(const QString& xml, const QString& xsl)
{
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        xsltInit();
    });
    // The handlers are per thread in libxml2.
    xmlSetGenericErrorFunc(nullptr, Silent);
    xsltSetGenericErrorFunc(nullptr, Silent);

    // The documents come from text; a declared encoding other than UTF-8 would mislead the
    // parser, so both are handed over as UTF-8 with that encoding forced.
    DocPtr source = ReadDoc(xml.toUtf8());
    DocPtr sheetDoc = ReadDoc(xsl.toUtf8());
    if (!source || !sheetDoc)
        return QString();
    std::unique_ptr<xsltStylesheet, SheetFree> sheet(xsltParseStylesheetDoc(sheetDoc.get()));
    if (!sheet)
        return QString();
    sheetDoc.release(); // owned by the sheet now

    std::unique_ptr<xsltSecurityPrefs, PrefsFree> prefs(xsltNewSecurityPrefs());
    for (xsltSecurityOption option : {XSLT_SECPREF_READ_FILE, XSLT_SECPREF_WRITE_FILE, XSLT_SECPREF_CREATE_DIRECTORY,
                                      XSLT_SECPREF_READ_NETWORK, XSLT_SECPREF_WRITE_NETWORK})
        xsltSetSecurityPrefs(prefs.get(), option, xsltSecurityForbid);
    std::unique_ptr<xsltTransformContext, ContextFree> context(xsltNewTransformContext(sheet.get(), source.get()));
    if (!context || xsltSetCtxtSecurityPrefs(prefs.get(), context.get()) != 0)
        return QString();
    DocPtr result(xsltApplyStylesheetUser(sheet.get(), source.get(), nullptr, nullptr, nullptr, context.get()));
    if (!result || context->state != XSLT_STATE_OK)
        return QString();

    xmlChar* text = nullptr;
    int length = 0;
    if (xsltSaveResultToString(&text, &length, result.get(), sheet.get()) != 0)
        return QString();
    const QString html = text ? QString::fromUtf8(reinterpret_cast<const char*>(text), length) : QString();
    xmlFree(text);
    return html;
}

QString TransformXsl(const CXXmlDoc& doc, const QString& xsl) { return TransformXsl(doc.GetDocText(), xsl); }

QString RecordPageHtml(const std::function<void(CXXmlDoc&)>& write, QString* xml)
{
    CXXmlDoc doc;
    doc.SetDocText(QStringLiteral("<r/>"));
    doc.FindElement();
    doc.IntoElement();
    write(doc);
    if (xml)
        *xml = doc.GetDocText();
    return TransformXsl(doc, LoadResourceText(IDR_WWW_INNER_XSL, "www", CP_UTF8));
}
