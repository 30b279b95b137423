#include "TransformXsl.h"

#include "CXXmlDoc.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QHash>

#include <libxml/parser.h>
#include <libxml/uri.h>
#include <libxslt/documents.h>
#include <libxslt/security.h>
#include <libxslt/transform.h>
#include <libxslt/variables.h>
#include <libxslt/xslt.h>
#include <libxslt/xsltInternals.h>
#include <libxslt/xsltutils.h>

#include <map>
#include <memory>
#include <mutex>

namespace {

// Every document a sheet names is given a URI of this form, so relative names resolve to
// names of the same source and anything else (a path, another scheme) is recognisably
// foreign.
constexpr char kScheme[] = "lorvan-www:///";
constexpr int kSchemeLength = sizeof kScheme - 1;
constexpr size_t kMaxCachedSheets = 64;

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
using SheetPtr = std::shared_ptr<xsltStylesheet>;

constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

// The file name a URI of our scheme names; empty for any other URI.
QString NameOfUri(const char* uri)
{
    if (!uri || qstrncmp(uri, kScheme, kSchemeLength) != 0)
        return QString();
    const QString name = QString::fromUtf8(uri + kSchemeLength);
    return IsWebFileName(name) ? name : QString();
}

QByteArray UriOfName(const QString& name) { return QByteArray(kScheme) + name.toUtf8(); }

// What the loader serves on this thread while a sheet is parsed or applied, and the files
// a parse read (for the cache's stamps).
struct XLoadScope
{
    const XSheetSource* source = nullptr;
    std::vector<std::pair<QString, QString>>* read = nullptr;
};
thread_local XLoadScope t_load;

class XUseSource
{
public:
    XUseSource(const XSheetSource& source, std::vector<std::pair<QString, QString>>* read) : m_saved(t_load)
    {
        t_load.source = &source;
        t_load.read = read;
    }
    ~XUseSource() { t_load = m_saved; }
    XUseSource(const XUseSource&) = delete;
    XUseSource& operator=(const XUseSource&) = delete;

private:
    XLoadScope m_saved;
};

DocPtr ParseText(const QByteArray& utf8, const QByteArray& uri, xmlDict* dict, int options)
{
    xmlParserCtxt* ctxt = xmlNewParserCtxt();
    if (!ctxt)
        return nullptr;
    if (dict) {
        // imported sheets share the importing sheet's dictionary, as libxslt expects
        if (ctxt->dict)
            xmlDictFree(ctxt->dict);
        ctxt->dict = dict;
        xmlDictReference(dict);
    }
    // No external DTD and no entity expansion: either could read a file.
    options &= ~(XML_PARSE_NOENT | XML_PARSE_DTDLOAD | XML_PARSE_DTDVALID | XML_PARSE_XINCLUDE);
    DocPtr doc(xmlCtxtReadMemory(ctxt, utf8.constData(), static_cast<int>(utf8.size()), uri.constData(), "UTF-8",
                                 options | kParseOptions));
    xmlFreeParserCtxt(ctxt);
    return doc;
}

// The loader of every document libxslt asks for: imports, includes and document(). Only
// names of the current source are served; a path or a URL of any other kind gets nothing.
xmlDoc* LoadFromSource(const xmlChar* uri, xmlDict* dict, int options, void*, xsltLoadType)
{
    const XSheetSource* source = t_load.source ? t_load.source : &BuiltInSheets();
    const QString name = NameOfUri(reinterpret_cast<const char*>(uri));
    if (name.isEmpty())
        return nullptr;
    const QByteArray text = source->Load(name);
    if (t_load.read)
        t_load.read->emplace_back(name, source->Stamp(name));
    if (text.isEmpty())
        return nullptr;
    return ParseText(text, UriOfName(name), dict, options).release();
}

// document() passes libxslt's read check before the loader; our own names are allowed,
// every other URL is refused (which stops the transformation).
int AllowOwnNames(xsltSecurityPrefs*, xsltTransformContext*, const char* url) { return !NameOfUri(url).isEmpty(); }

void InitOnce()
{
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        xsltInit();
        xsltSetLoaderFunc(LoadFromSource);
    });
    // The handlers are per thread in libxml2.
    xmlSetGenericErrorFunc(nullptr, Silent);
    xsltSetGenericErrorFunc(nullptr, Silent);
}

// Parses a sheet; the files it reads come from the current source.
SheetPtr ParseSheet(const QByteArray& text, const QString& name)
{
    DocPtr doc = ParseText(text, UriOfName(name), nullptr, 0);
    if (!doc)
        return nullptr;
    xsltStylesheet* sheet = xsltParseStylesheetDoc(doc.get());
    if (!sheet)
        return nullptr;
    doc.release(); // owned by the sheet now
    if (sheet->errors) {
        xsltFreeStylesheet(sheet);
        return nullptr;
    }
    return SheetPtr(sheet, SheetFree());
}

QString Apply(xsltStylesheet* sheet, const QByteArray& xml, const XSheetParams& params)
{
    DocPtr source(xmlReadMemory(xml.constData(), static_cast<int>(xml.size()), "page.xml", "UTF-8", kParseOptions));
    if (!source)
        return QString();
    std::unique_ptr<xsltSecurityPrefs, PrefsFree> prefs(xsltNewSecurityPrefs());
    for (xsltSecurityOption option :
         {XSLT_SECPREF_READ_FILE, XSLT_SECPREF_WRITE_FILE, XSLT_SECPREF_CREATE_DIRECTORY, XSLT_SECPREF_WRITE_NETWORK})
        xsltSetSecurityPrefs(prefs.get(), option, xsltSecurityForbid);
    // our scheme is no file, so libxslt checks it as a network read
    xsltSetSecurityPrefs(prefs.get(), XSLT_SECPREF_READ_NETWORK, AllowOwnNames);
    std::unique_ptr<xsltTransformContext, ContextFree> context(xsltNewTransformContext(sheet, source.get()));
    if (!context || xsltSetCtxtSecurityPrefs(prefs.get(), context.get()) != 0)
        return QString();

    // values go in as strings, never as expressions of the sender's choosing
    std::vector<QByteArray> texts;
    std::vector<const char*> list;
    for (const auto& [name, value] : params) {
        texts.push_back(value.toUtf8());
        list.push_back(name.constData());
        list.push_back(texts.back().constData());
    }
    list.push_back(nullptr);
    if (!params.empty() && xsltQuoteUserParams(context.get(), list.data()) != 0)
        return QString();

    DocPtr result(xsltApplyStylesheetUser(sheet, source.get(), nullptr, nullptr, nullptr, context.get()));
    if (!result || context->state != XSLT_STATE_OK)
        return QString();
    xmlChar* text = nullptr;
    int length = 0;
    if (xsltSaveResultToString(&text, &length, result.get(), sheet) != 0)
        return QString();
    const QString out = text ? QString::fromUtf8(reinterpret_cast<const char*>(text), length) : QString();
    xmlFree(text);
    return out;
}

// The built-in web files by lower-case name (without the "<id>-" of the stored file).
class XBuiltInSheets : public XSheetSource
{
public:
    XBuiltInSheets()
    {
        const QDir dir(QStringLiteral(":/www"));
        for (const QString& file : dir.entryList(QDir::Files)) {
            qsizetype dash = 0;
            while (dash < file.size() && file[dash].isDigit())
                ++dash;
            const QString name = dash > 0 && dash < file.size() && file[dash] == u'-' ? file.mid(dash + 1) : file;
            m_paths.insert(name.toLower(), dir.filePath(file));
        }
    }
    QByteArray Load(const QString& name) const override
    {
        const QString path = m_paths.value(name.toLower());
        if (path.isEmpty())
            return QByteArray();
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString Stamp(const QString&) const override { return QStringLiteral("built-in"); }
    QString Key() const override { return QStringLiteral("built-in"); }

private:
    QHash<QString, QString> m_paths;
};

struct XCachedSheet
{
    SheetPtr sheet;
    std::vector<std::pair<QString, QString>> read; // name and stamp of every file it was made from
};

std::mutex g_cacheLock;
std::map<QString, XCachedSheet> g_cache;

SheetPtr CachedSheet(const QString& name, const XSheetSource& source)
{
    const QString key = source.Key() + u'\n' + name.toLower();
    {
        std::unique_lock lock(g_cacheLock);
        auto it = g_cache.find(key);
        if (it != g_cache.end()) {
            const XCachedSheet entry = it->second;
            lock.unlock(); // stamps may touch the file system
            bool fresh = true;
            for (const auto& [file, stamp] : entry.read)
                fresh = fresh && source.Stamp(file) == stamp;
            if (fresh)
                return entry.sheet;
        }
    }
    XCachedSheet entry;
    const QByteArray text = source.Load(name);
    entry.read.emplace_back(name, source.Stamp(name));
    if (text.isEmpty())
        return nullptr;
    {
        XUseSource use(source, &entry.read);
        entry.sheet = ParseSheet(text, name);
    }
    if (!entry.sheet)
        return nullptr;
    std::lock_guard lock(g_cacheLock);
    if (g_cache.size() >= kMaxCachedSheets)
        g_cache.clear(); // sheets in use stay alive through their shared pointers
    g_cache[key] = entry;
    return entry.sheet;
}

} // namespace

bool IsWebFileName(const QString& name)
{
    if (name.isEmpty() || name.size() > 64 || name[0] == u'.')
        return false;
    for (QChar ch : name) {
        const char16_t c = ch.unicode();
        if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' ||
              c == u'-' || c == u'.'))
            return false;
    }
    return !name.contains(QStringLiteral(".."));
}

const XSheetSource& BuiltInSheets()
{
    static const XBuiltInSheets sheets;
    return sheets;
}

QString TransformNamedSheet(const QByteArray& xml, const QString& sheet, const XSheetParams& params,
                            const XSheetSource& source)
{
    InitOnce();
    if (!IsWebFileName(sheet))
        return QString();
    const SheetPtr parsed = CachedSheet(sheet, source);
    if (!parsed)
        return QString();
    XUseSource use(source, nullptr);
    return Apply(parsed.get(), xml, params);
}

QString TransformXsl(const QString& xml, const QString& xsl)
{
    InitOnce();
    // The documents come from text; a declared encoding other than UTF-8 would mislead the
    // parser, so both are handed over as UTF-8 with that encoding forced.
    SheetPtr sheet;
    {
        XUseSource use(BuiltInSheets(), nullptr);
        sheet = ParseSheet(xsl.toUtf8(), QStringLiteral("noname.xsl"));
    }
    if (!sheet)
        return QString();
    XUseSource use(BuiltInSheets(), nullptr);
    return Apply(sheet.get(), xml.toUtf8(), {});
}

QString TransformXsl(const CXXmlDoc& doc, const QString& xsl) { return TransformXsl(doc.GetDocText(), xsl); }

QString TransformXsl(const QString& xml)
{
    // always the built-in sheet: the panes show what the program was built with
    return TransformNamedSheet(xml.toUtf8(), QStringLiteral("inner.xsl"), {}, BuiltInSheets());
}

QString RecordPageHtml(const std::function<void(CXXmlDoc&)>& write, QString* xml)
{
    CXXmlDoc doc;
    doc.SetDocText(QStringLiteral("<r/>"));
    doc.FindElement();
    doc.IntoElement();
    write(doc);
    if (xml)
        *xml = doc.GetDocText();
    return TransformXsl(doc.GetDocText());
}
