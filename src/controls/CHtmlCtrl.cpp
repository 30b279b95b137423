#include "CHtmlCtrl.h"

#include "CModule.h"
#include "CXImage.h"
#include "CommandIds.h"
#include "TextUtils.h"
#include "XAppServices.h"
#include "XCmdTarget.h"
#include "XDrawing.h"
#include "XMainWindow.h"
#include "XUi.h"

#include <QtGui/QImage>
#include <QtGui/QPainter>

namespace {

// Placeholders of the record sheets and the icons that replace them, in replacement order.
struct XPlaceholder
{
    const char* text;
    int iconId;
};
constexpr XPlaceholder kPlaceholders[] = {
    {"img?id=modify", ID_EDIT_MODIFY}, {"img?id=tip", IDI_TIP},      {"img?id=up", ID_ARROW_UP},
    {"img?id=dn", ID_ARROW_DN},        {"img?id=warn", IDI_WARNING}, {"img?id=relate", ID_SUBMENU_RELATE},
};

} // namespace

CHtmlCtrl::CHtmlCtrl(QWidget* parent) : QTextBrowser(parent)
{
    // Every link goes through the navigation hook; the browser itself follows none.
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &CHtmlCtrl::OnAnchorClicked);
    setFrameShape(QFrame::NoFrame);
    setViewportMargins(2, 2, 2, 2);
}

bool CHtmlCtrl::event(QEvent* e)
{
    if (e->type() != QEvent::Paint)
        return QTextBrowser::event(e);
    QPainter p(this);
    DrawComboFrame(&p, rect(), false, this);
    return true;
}

QString CHtmlCtrl::ReplaceIconPlaceholders(QString html)
{
    for (const XPlaceholder& p : kPlaceholders) {
        const QString placeholder = QString::fromLatin1(p.text);
        if (!html.contains(placeholder))
            continue;
        CXImage image;
        image.FromIcon(AppServices().CommandIcon(p.iconId, 0, false));
        html.replace(placeholder, image.GetDataUri());
    }
    return html;
}

void CHtmlCtrl::SetHTML(const QString& html) { setHtml(ReplaceIconPlaceholders(html)); }

void CHtmlCtrl::OnBeforeNavigate2(const QString& url, bool& cancel)
{
    cancel = false;
    if (url.startsWith(QLatin1String("xc:"), Qt::CaseInsensitive)) {
        cancel = true;
        const QString rest = url.mid(3);
        int id = 0;
        if (rest.compare(QLatin1String("query"), Qt::CaseInsensitive) == 0)
            id = ID_QUERY_USER;
        else if (rest.compare(QLatin1String("modify"), Qt::CaseInsensitive) == 0)
            id = ID_EDIT_MODIFY;
        else
            id = ReadLeadingInt(rest);
        if (id != 0)
            XPostCommand(XGetMainWindow(), id);
        return;
    }
    if (url.startsWith(QLatin1String("xl:"), Qt::CaseInsensitive)) {
        cancel = true;
        QList<int> parts;
        if (SplitInts(url.mid(3), parts, QStringLiteral(":")) == 2 && parts[0] != 0 && parts[1] != 0 &&
            FindModule(parts[0]))
            XPostMessage(XGetMainWindow(), WM_XSHOWITEM, parts[0], parts[1]);
    }
}

void CHtmlCtrl::OnAnchorClicked(const QUrl& url)
{
    // The raw text: QUrl would normalise "xl:321:5" into a scheme and a path.
    const QString text = url.toString();
    bool cancel = false;
    OnBeforeNavigate2(text, cancel);
    if (cancel)
        return;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("mailto"))
        XUi::ShellOpen(text);
    else if (url.isRelative() && url.path().isEmpty() && url.hasFragment())
        scrollToAnchor(url.fragment());
    else
        setSource(url);
}

QVariant CHtmlCtrl::loadResource(int type, const QUrl& name)
{
    const QString text = name.toString(QUrl::FullyEncoded);
    if (!text.startsWith(QLatin1String("data:"), Qt::CaseInsensitive))
        return QTextBrowser::loadResource(type, name);
    // "data:<mime>[;base64],<payload>"
    const qsizetype comma = text.indexOf(u',');
    if (comma < 0)
        return QVariant();
    const QString header = text.mid(5, comma - 5);
    const QByteArray payload = text.mid(comma + 1).toLatin1();
    const QByteArray bytes = header.endsWith(QLatin1String(";base64"), Qt::CaseInsensitive)
                                 ? QByteArray::fromBase64(QByteArray::fromPercentEncoding(payload))
                                 : QByteArray::fromPercentEncoding(payload);
    if (type == QTextDocument::ImageResource)
        return QImage::fromData(bytes);
    return bytes;
}
