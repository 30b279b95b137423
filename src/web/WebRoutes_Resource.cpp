#include "WebRoutes.h"

#include "BinaryColumns.h"
#include "CHead.h"
#include "CHttpRequest.h"
#include "CModule.h"
#include "CXImage.h"
#include "CodePages.h"
#include "CommandIds.h"
#include "CommandIds.h"
#include "RecordConsts.h"
#include "Resources.h"
#include "SqlPrepare.h"
#include "WebResources.h"
#include "XAppServices.h"

#include <QtCore/QBuffer>
#include <QtCore/QFile>
#include <QtGui/QFont>
#include <QtGui/QFontDatabase>
#include <QtGui/QImageReader>
#include <QtGui/QPainter>

#include <sys/socket.h>

#include <memory>
#include <random>

namespace xInternet {

namespace {

void Bare(CHttpRequest& request, int code) { request.WriteHttpResponse(code, 0, QByteArray(), CACHE_NONE, QString()); }

void SendBody(CHttpRequest& request, const QByteArray& type, int cache, const QByteArray& body)
{
    if (request.WriteHttpResponse(200, body.size(), type, cache, QString()) >= 0 && !body.isEmpty())
        request.SendBytes(body);
}

// Text answers: 200 with the text as UTF-8, or 404 for none.
void SendText(CHttpRequest& request, const QString& text, const QByteArray& mime)
{
    if (text.isEmpty())
        Bare(request, 404);
    else
        SendBody(request, mime + "; charset=utf-8", CACHE_PRIVATE, text.toUtf8());
}

// An image as PNG (32 bits) or JPEG (24 bits), or 404 for none.
void SendImage(CHttpRequest& request, const CXImage& image, int cache)
{
    QByteArray bytes;
    if (image.IsNull() || image.GetBytes(&bytes) <= 0) {
        Bare(request, 404);
        return;
    }
    SendBody(request, image.GetBPP() == 32 ? "image/png" : "image/jpeg", cache, bytes);
}

// Somebody is logged in when the request's identity has a name.
bool LoggedIn(const CHttpRequest& request) { return !request.m_user.m_strName.isEmpty(); }

struct XNamedIcon
{
    const char* name;
    int command;      // the command whose icon it is
    const char* file; // the web's own icon (resources/icons) when the program has none
};

const XNamedIcon kNamedIcons[] = {
    {"del", 32790, "edit-delete"},
    {"warn", 417, "dialog-warning"},
    {"stop", 415, "process-stop"},
    {"info", 412, "dialog-information"},
    {"tip", 416, "dialog-information"},
    {"help", 411, "help-contents"},
    {"wx", 32902, "mail-send"},
    {"wxopen", 33272, "web-browser"},
    {"reset", 1139, "edit-undo"},
    {"query", 33114, "system-search"},
    {"prev", 32880, "go-previous"},
    {"next", 32881, "go-next"},
    {"print", 1123, "document-print"},
    {"add", 32793, "list-add"},
    {"new", 32787, "document-new"},
    {"back", 33161, "go-bottom"},
    {"front", 33163, "go-top"},
    {"up", 33165, "go-up"},
    {"dn", 33164, "go-down"},
    {"expdall", 32799, "pan-down"},
    {"foldall", 32798, "pan-up"},
    {"show", 1227, "view-reveal"},
    {"hide", 1055, "view-conceal"},
    {"moveprev", 33167, "go-previous"},
    {"movenext", 33166, "go-next"},
    {"all", 1040, "edit-select-all"},
    {"clear", 1041, "edit-clear"},
    {"edit", 1121, "document-edit"},
    {"logout", 32782, "system-log-out"},
    {"left", 33241, "go-previous"},
    {"right", 33242, "go-next"},
    {"top", 33243, "go-top"},
    {"bottom", 33244, "go-bottom"},
    {"home", 33246, "go-home"},
    {"sel", 33102, "object-select"},
    {"detail", 32966, "document-properties"},
    {"relate", 33118, "insert-link"},
    {"save", 57604, "document-save"},
    {"open", 57601, "document-open"},
    {"download", 33249, "folder-download"},
    {"bind", 33262, "contact-new"},
    {"checked", 33269, "emblem-ok"},
    {"mdfpwd", 32778, "dialog-password"},
    {"modify", 32791, "document-edit"},
    {"popup", 33271, "open-menu"},
    {"more", 33104, "view-more"},
    {"setup", 32779, "emblem-system"},
};

// The named images stored as resources and sent as they are.
struct XNamedImage
{
    const char* name;
    int id;
    const char* type;
    const char* mime;
};
const XNamedImage kNamedImages[] = {
    {"user", IDR_PNG_USER, RT_PNG, "image/png"},   {"smscode", IDR_PNG_SMSCODE, RT_PNG, "image/png"},
    {"phone", IDR_PNG_PHONE, RT_PNG, "image/png"}, {"password", IDR_PNG_PASSWORD, RT_PNG, "image/png"},
    {"wait", IDR_GIF_WAIT, "GIF", "image/gif"},
};

// The stored bytes of a numbered resource (PNG and GIF hold zero bytes, so not
// LoadResourceBytes); empty when there is none.
QByteArray ResourceFileBytes(int id, const char* type)
{
    const QString path = ResourcePath(id, type);
    return path.isEmpty() ? QByteArray() : LoadResourceFile(path);
}

// The faded look of a command that cannot be used: half-transparent and lighter.
QImage Faded(const QImage& icon)
{
    QImage out = icon.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb p = line[x];
            line[x] = qRgba((qRed(p) + 255) / 2, (qGreen(p) + 255) / 2, (qBlue(p) + 255) / 2, qAlpha(p) / 2);
        }
    }
    return out;
}

QImage CommandIcon(int command, bool big, bool gray)
{
    QImage icon;
    if (const auto hook = WebCommandIcons().Get())
        icon = (*hook)(command, gray ? 0xFFFFFF : 0, big);
    if (!icon.isNull())
        return icon;
    for (const XNamedIcon& named : kNamedIcons) {
        if (named.command != command)
            continue;
        icon = QImage(QStringLiteral(":/icons/%1/%2.png").arg(big ? 32 : 16).arg(QLatin1String(named.file)));
        return gray && !icon.isNull() ? Faded(icon) : icon;
    }
    return QImage();
}

void SendCommandIcon(CHttpRequest& request, int command, bool big, bool gray)
{
    const QImage icon = CommandIcon(command, big, gray);
    CXImage image;
    if (!icon.isNull())
        image.SetImage(icon.convertToFormat(QImage::Format_ARGB32));
    SendImage(request, image, CACHE_FOREVER);
}

// A COLORREF (0x00BBGGRR) as a colour.
QColor FromColorRef(unsigned value) { return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF); }

// The template body column (the first narrow-text stream with a column) and its table of the
// print-template module; false when there is none.
bool TemplateBodyColumn(const CModule& module, QString& table, QString& column)
{
    const CHeads* heads = module.GetHeads();
    if (!heads)
        return false;
    for (int i = 0; i < heads->GetSize(); ++i) {
        const CHead* h = heads->GetAt(i);
        if (h->m_nType == XSA && !h->m_strColumn.isEmpty()) {
            table = heads->m_strTable;
            column = h->m_strColumn;
            return !table.isEmpty();
        }
    }
    return false;
}

// The print-template module when the request may use it with the right, its template id
// non-zero; null otherwise.
const CModule* TemplateModule(const CHttpRequest& request, int right)
{
    const int mduid = request.GetParamInt(QStringLiteral("mduid"));
    if ((mduid != 0 && mduid != MDU_TEMPL) || request.GetParamInt(QStringLiteral("id")) == 0)
        return nullptr;
    const CModule* module = FindModule(MDU_TEMPL);
    return module && LoggedIn(request) && module->HasRight(request.m_user, right) ? module : nullptr;
}

} // namespace

void CHttpRequest::OnStaticFile()
{
    if (const auto handler = StaticFileHandler().Get()) {
        (*handler)(*this);
        return;
    }
    const QByteArray mime = GetMimeType(m_strPath);
    const bool text = mime.contains("text");
    if (text) {
        QString verify;
        {
            std::lock_guard lock(AppServices().Mutex());
            verify = AppServices().SetupValue(QStringLiteral("WxMPverify")).toString();
        }
        if (m_strPath.compare(QStringLiteral("MP_verify_") + verify + QStringLiteral(".txt"), Qt::CaseInsensitive) ==
            0) {
            SendBody(*this, mime + "; charset=utf-8", CACHE_PRIVATE, verify.toUtf8());
            return;
        }
    }
    // The www folder first (confined to it), then the built-in files.
    const QString path = ResolveWebFile(m_strPath);
    QFile file(path);
    if (!path.isEmpty() && file.open(QIODevice::ReadOnly)) {
        if (text) {
            if (file.size() > kMaxWebTextBytes) {
                Bare(*this, 404);
                return;
            }
            QString content = QString::fromUtf8(file.readAll());
            ReplaceSqlSymbols(content);
            SendText(*this, content, mime);
            return;
        }
        // other files go out in pieces, never whole in memory
        if (WriteHttpResponse(200, file.size(), mime, CACHE_FOREVER, QString()) < 0)
            return;
        char chunk[65536];
        for (qint64 left = file.size(); left > 0;) {
            const qint64 n = file.read(chunk, std::min<qint64>(left, sizeof chunk));
            if (n <= 0 || !SendBytes(QByteArray::fromRawData(chunk, static_cast<qsizetype>(n)))) {
                // a file cut short under us: the promised length cannot be kept, so the
                // connection ends rather than leave the browser waiting
                shutdown(m_socket, SHUT_RDWR);
                return;
            }
            left -= n;
        }
        return;
    }
    SendText(*this, GetWebResource(m_strPath), mime);
}

void CHttpRequest::OnArtCode()
{
    // Without a session there is no code to check later: nothing to draw.
    const QString code = MakeSessionCode(kArtCodeAlphabet, true);
    if (code.size() != 4) {
        Bare(*this, 404);
        return;
    }
    thread_local std::mt19937 random(std::random_device{}());
    auto r = [] { return static_cast<unsigned>(random() % 32768); };

    QImage canvas(150, 50, QImage::Format_RGB888);
    canvas.fill(FromColorRef(0x808080 + r() % 0x808080));
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing);
        const QFont base = QFontDatabase::systemFont(QFontDatabase::TitleFont);
        for (int i = 0; i < 4; ++i) {
            QFont font = base;
            font.setPixelSize(24 + static_cast<int>(r() % 10));
            font.setItalic(r() % 2 == 1);
            font.setWeight(r() % 2 == 1 ? QFont::Black : QFont::Medium);
            painter.setFont(font);
            painter.setPen(FromColorRef(r() % 0xFFFFFF));
            const QRect box(15 + 30 * i, 0, 150 - (15 + 30 * i), 50);
            painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, code.mid(i, 1));
        }
        QPoint at;
        for (int i = 0; i < 20; ++i) {
            painter.setPen(QPen(FromColorRef(r() % 0xFFFFFF), 1));
            const QPoint next(static_cast<int>(r() % 300) - 75, static_cast<int>(r() % 100) - 25);
            if (i > 0)
                painter.drawLine(at, next);
            at = next;
        }
    }
    CXImage image;
    image.SetImage(canvas);
    QByteArray bytes;
    image.GetBytes(&bytes);
    SendBody(*this, "image/jpeg", CACHE_NO, bytes);
}

void CHttpRequest::OnImg()
{
    const QString name = GetParamText(QStringLiteral("id"));
    const bool big = GetParamInt(QStringLiteral("big")) != 0;
    const bool gray = GetParamInt(QStringLiteral("gray")) != 0;

    // Stored photos are people's: only for a logged-in user, and kept in no shared cache.
    if (const int dbid = GetParamInt(QStringLiteral("dbid"))) {
        if (!LoggedIn(*this)) {
            Bare(*this, 403);
            return;
        }
        CXImage photo;
        photo.m_nPhotoID = dbid;
        LoadFromDB(photo, 0);
        SendImage(*this, photo, CACHE_PRIVATE);
        return;
    }
    // The logos change when the school changes them: cached for minutes, not for a year.
    const bool logo = name.compare(QStringLiteral("logo"), Qt::CaseInsensitive) == 0;
    if (logo || name.compare(QStringLiteral("biglogo"), Qt::CaseInsensitive) == 0) {
        CXImage image;
        {
            std::lock_guard lock(AppServices().Mutex());
            image.m_nPhotoID =
                AppServices().SetupValue(logo ? QStringLiteral("StdLogoID") : QStringLiteral("BigLogoID")).toInt();
        }
        LoadFromDB(image, logo ? IDR_PNG_STDLOGO : IDR_PNG_BIGLOGO);
        SendImage(*this, image, CACHE_PRIVATE);
        return;
    }
    bool number = false;
    const int command = name.toInt(&number);
    if (number && command != 0) {
        SendCommandIcon(*this, command, big, gray);
        return;
    }
    if (const int resid = GetParamInt(QStringLiteral("resid"))) {
        const QByteArray bytes = ResourceFileBytes(resid, RT_PNG);
        if (bytes.isEmpty())
            Bare(*this, 404);
        else
            SendBody(*this, "image/png", CACHE_FOREVER, bytes);
        return;
    }
    for (const XNamedImage& image : kNamedImages) {
        if (name.compare(QLatin1String(image.name), Qt::CaseInsensitive) != 0)
            continue;
        const QByteArray bytes = ResourceFileBytes(image.id, image.type);
        if (bytes.isEmpty())
            Bare(*this, 404);
        else
            SendBody(*this, image.mime, CACHE_FOREVER, bytes);
        return;
    }
    for (const XNamedIcon& icon : kNamedIcons) {
        if (name.compare(QLatin1String(icon.name), Qt::CaseInsensitive) == 0) {
            SendCommandIcon(*this, icon.command, big, gray);
            return;
        }
    }
    Bare(*this, 404);
}

void CHttpRequest::OnRtf()
{
    const CModule* module = TemplateModule(*this, RIGHT_QRY);
    QString table, column;
    if (!module || !TemplateBodyColumn(*module, table, column)) {
        Bare(*this, 400);
        return;
    }
    QByteArray bytes;
    ReadBinaryColumn(table, column, GetParamInt(QStringLiteral("id")), bytes);
    SendBody(*this, "application/rtf", CACHE_NO, bytes);
}

void CHttpRequest::OnUploadRtf()
{
    // Overwriting a template is a change to it: the modify right, and a body that is RTF of
    // a sane size.
    const CModule* module = TemplateModule(*this, RIGHT_MDF);
    QString table, column;
    if (!module || m_body.isEmpty() || !m_body.startsWith("{\\rtf") || !TemplateBodyColumn(*module, table, column)) {
        Bare(*this, 400);
        return;
    }
    if (m_body.size() > kMaxTemplateBytes) {
        Bare(*this, 413);
        return;
    }
    if (!WriteBinaryColumn(nullptr, table, column, GetParamInt(QStringLiteral("id")), m_body)) {
        Bare(*this, 500);
        return;
    }
    WriteXmlResult(ERR_OK, QString(), 0);
}

void CHttpRequest::OnUploadImg()
{
    const int mduid = GetParamInt(QStringLiteral("mduid"));
    const int personid = GetParamInt(QStringLiteral("personid"));
    // A photo belongs to a person: the person themself, or somebody who may change that
    // module's records; logos (no module, no person) only an administrator.
    bool allowed = false;
    if (LoggedIn(*this)) {
        if (mduid == 0 && personid == 0)
            allowed = m_user.m_nRightRole == 2;
        else if (mduid != 0 && m_user.m_nMduID == mduid && m_user.m_nID == personid && personid != 0)
            allowed = true;
        else if (const CModule* module = FindModule(mduid))
            allowed = personid != 0 && module->HasRight(m_user, RIGHT_MDF);
    }
    if (!allowed) {
        Bare(*this, 403);
        return;
    }
    if (m_body.isEmpty()) {
        Bare(*this, 400);
        return;
    }
    QBuffer buffer(&m_body);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(kImageDecodeLimitMB);
    const QImage decoded = reader.read();
    if (decoded.isNull()) {
        Bare(*this, 400);
        return;
    }
    CXImage image;
    image.SetImage(decoded);
    const int maxsize = GetParamInt(QStringLiteral("maxsize"));
    const int id =
        SaveToDB(image, mduid, personid, GetParamInt(QStringLiteral("alpha")) != 0, maxsize >= 1 ? maxsize : 0);
    if (id == 0) {
        Bare(*this, 500);
        return;
    }
    WriteXmlResult(ERR_OK, QString(), id);
}

const std::vector<XRoute>& ResourceRoutes()
{
    static const std::vector<XRoute> routes = {
        {"artcode", &CHttpRequest::OnArtCode, false},
        {"img", &CHttpRequest::OnImg, false},
        {"rtf", &CHttpRequest::OnRtf, false},
        {"uploadrtf", &CHttpRequest::OnUploadRtf, true},
        {"uploadimg", &CHttpRequest::OnUploadImg, true},
    };
    return routes;
}

} // namespace xInternet
