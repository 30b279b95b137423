#include "UpdateServer.h"

#include "FormatString.h"
#include "ProgramPaths.h"
#include "Resources.h"
#include "TextUtils.h"
#include "XAppServices.h"
#include "XHttp.h"
#include "XThread.h"

#include <QtCore/QFile>

#include <memory>

namespace {

constexpr int kFetchTimeoutMs = 10000;
// the updater may be large and the line slow; only an abort or a stalled line ends it early
constexpr int kDownloadTimeoutMs = 30 * 60 * 1000;
constexpr int kUpdateCommand = 32781;

QString KbText(std::int64_t bytes) { return AddThousandsSeparators(QString::number(bytes >> 10)); }

} // namespace

QString UpdateServerUrl()
{
    const QByteArray env = qgetenv("LORVAN_UPDATE_SERVER");
    QString url = env.isEmpty() ? QStringLiteral(LORVAN_UPDATE_SERVER) : QString::fromUtf8(env);
    while (url.endsWith(u'/'))
        url.chop(1);
    return url;
}

QString VersionDocumentUrl() { return UpdateServerUrl() + QStringLiteral("/lorvanmanager/download/lorvan.xml"); }

QString UpdaterUrl() { return UpdateServerUrl() + QStringLiteral("/lorvanmanager/download/lorvanu.exe"); }

QString UpdaterPath() { return GetExeFolder() + QStringLiteral("/LorvanU"); }

QString FetchVersionXml(const XEvent& abort)
{
    const XHttpResult r = HttpRequest(VersionDocumentUrl(), QByteArray(), &abort, kFetchTimeoutMs);
    return r.ok && r.status == 200 ? QString::fromUtf8(r.body) : QString();
}

QString DownloadUpdater(const XEvent* abort)
{
    const QString path = UpdaterPath();
    const QString url = UpdaterUrl();
    std::unique_ptr<XProgress> progress;
    std::int64_t steps = 0;
    const bool ui = IsUiThread();
    bool opened = false;
    const XHttpResult r = HttpDownload(url, path, abort, kDownloadTimeoutMs, [&](std::int64_t got, std::int64_t total) {
        if (!ui)
            return;
        if (!opened) {
            opened = true;
            progress = AppServices().BeginProgress(LoadCommandText(kUpdateCommand), static_cast<int>(total / 4096 + 2));
        }
        if (!progress)
            return;
        // one step per 4 KB block reached, as the range was counted
        const std::int64_t reached = got / 4096 + 1;
        if (steps >= reached)
            return;
        progress->Step(FormatString(u"正在下载更新程序 ...\r\n共 %s KB，已下载 %s KB。", KbText(total), KbText(got)));
        while (++steps < reached)
            progress->Step(QString());
    });
    progress.reset();
    if (r.ok)
        return QString();
    if (r.saveFailed)
        return FormatString(u"保存 “%s” 失败！\r\n%s", path, r.error);
    return FormatString(u"下载 “%s” 失败！", url);
}
