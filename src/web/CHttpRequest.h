#pragma once

#include "CXItem.h"
#include "HttpParse.h"
#include "XService.h"

#include <QtCore/QByteArray>
#include <QtCore/QString>

class CXXmlDoc;

namespace xInternet {

// Result codes of the XML result documents; the browser scripts use the same values.
enum : int {
    ERR_OK = 100,
    ERR_FailMsg = 101,
    ERR_NotFound = 102,
    ERR_Repeat = 104,
    ERR_HasBound = 105,
    ERR_ErrorPassword = 106,
    ERR_ErrorSmsCode = 107,
    ERR_ExpireSmsCode = 108,
    ERR_ErrorArtCode = 109,
    ERR_BusySmsCode = 110,
    ERR_FailedSmsCode = 111,
    ERR_NoPrinter = 112,
    ERR_NeedConfirm = 113,
};

// Cache kinds of WriteHttpResponse.
enum : int {
    CACHE_NONE = -1,   // no Cache-Control header
    CACHE_NO = 0,      // no-cache
    CACHE_PRIVATE = 1, // private, max-age=600
    CACHE_FOREVER = 2, // public, immutable, max-age=31536000
};

// The alphabets of the picture code and of the SMS code.
extern const QString kArtCodeAlphabet;
extern const QString kSmsCodeAlphabet;

// How a code a browser sent back compares with the session's.
enum class XCodeCheck { Ok, Wrong, Expired };

// One request read by a connection thread, and the members its route handler answers with.
// Built and destroyed by the connection thread for each request.
class CHttpRequest
{
public:
    explicit CHttpRequest(int socket) : m_socket(socket) {}
    CHttpRequest(const CHttpRequest&) = delete;
    CHttpRequest& operator=(const CHttpRequest&) = delete;
    virtual ~CHttpRequest();

    // Sends the response head only and returns the bytes sent, or -1. A caller with a body
    // sends it next (SendBytes), and only when the head went out.
    int WriteHttpResponse(int code, qint64 length, const QByteArray& type, int cache, const QString& location);
    // The head WriteHttpResponse sends.
    QByteArray BuildResponseHead(int code, qint64 length, const QByteArray& type, int cache,
                                 const QString& location) const;
    // Sends all the bytes; false when the connection failed.
    bool SendBytes(const QByteArray& bytes) const;
    // Answers with the document as a page; the parameter "xsl" names its sheet (a name of
    // letters, digits, "_" and "-"; any other answers 400). A request whose Accept asks for
    // text/html gets the page made into HTML by that sheet (with its parameter "update"),
    // every other the XML with its stylesheet instruction.
    void WriteXmlPage(CXXmlDoc& doc);
    // Whether the request's Accept asks for text/html (a browser navigating).
    bool WantsHtml() const;
    // Answers with <r errid errmsg id/>.
    void WriteXmlResult(int code, const QString& message, int id);
    // Adds the attributes and elements every page carries to a document whose root is "r".
    void AddPageHeader(CXXmlDoc& doc, bool withVersion);
    // Copies form values keyed "prefix_0_i" (and, for prefix 0, child lines "i_j_k") into
    // the record; each key used is removed from the map.
    void FillItemFromParams(CXItem& item, XParamMap& params, int prefix) const;

    int GetParamInt(const QString& name) const;
    QString GetParamText(const QString& name) const;

    // The session's current code of that alphabet: with restart a new random one is issued
    // (for the SMS code bound to `boundTo`, the phone it is sent to, and the picture code
    // is withdrawn); without, the pending one or empty when there is none or it has
    // expired. Empty when the request has no session.
    QString MakeSessionCode(const QString& alphabet, bool restart, const QString& boundTo = QString());
    // Checks a code the browser sent against the session's pending one of that alphabet.
    // A right code is used up; five wrong tries use it up too. An SMS code must come back
    // with the phone it was sent to.
    XCodeCheck CheckSessionCode(const QString& alphabet, const QString& code, const QString& boundTo = QString());

    // A state-changing route runs only for a POST whose Origin (or, without one, Referer)
    // names this server, so another site cannot make a logged-in browser change anything.
    // Answers 405 or 403 itself and returns false when the request may not proceed.
    bool AcceptStateChange();

    // The handler of every path no route claims: the installed StaticFileHandler, or else
    // the web files (the www folder's, then the built-in ones; WebRoutes_Resource.cpp).
    void OnStaticFile();

    // --- route handlers; each area of the web client defines its own in its own file and
    // lists them in its route table (WebRoutes.h) ----------------------------------------
    // accounts (WebRoutes_Account.cpp)
    void OnBind();
    void OnLogin();
    void OnAlter();
    void OnSendSms();
    void OnMdfPwd();
    void OnResetPwd();
    void OnLogout();
    // resources (WebRoutes_Resource.cpp)
    void OnArtCode();
    void OnImg();
    void OnRtf();
    void OnUploadRtf();
    void OnUploadImg();
    // queries and pickers (WebRoutes_Query.cpp)
    void OnQuery();
    void OnSelItem();
    void OnSelPrinter();
    void OnSelTempl();
    void OnSelHist();
    // editing, printing, preferences and update (WebRoutes_Edit.cpp)
    void OnAddNew();
    void OnAddSub();
    void OnSetCol();
    void OnDel();
    void OnDelSub();
    void OnAutoSet();
    void OnPrint();
    void OnSetup();
    void OnUpdate();
    // WeChat messages (WebRoutes_Message.cpp)
    void OnSendMsg();

    QByteArray m_strMethod;
    QString m_strPath;
    QString m_strQuery;
    QByteArray m_strHead;
    CXItem m_user;
    QByteArray m_body;
    int m_socket = -1;
    XParamMap m_params;
    // The request came through an HTTPS relay: the cookie may then be marked Secure.
    bool m_bHttps = false;
};

// Serves the web resources for OnStaticFile; installed by the program.
XHook<void(CHttpRequest& request)>& StaticFileHandler();

// The Set-Cookie header line (without CR LF) for a session id, expiring 180 days after `now`
// (seconds since the epoch).
QByteArray MakeSessionCookie(const QString& sessionId, long long now, bool secure);

} // namespace xInternet
