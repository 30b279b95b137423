// The browser scripts, run by node as the server serves them: MD5 against node's own, QR
// codes read back by a barcode reader, the result codes against the server's, and a form's
// body read by the server's parser.
#include "CDBOperLog.h"
#include "CHttpRequest.h"
#include "DbTestSupport.h"
#include "HttpParse.h"
#include "OpenDatabase.h"
#include "TestSupport.h"
#include "WebResources.h"
#include "WebService.h"
#include "WebState.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QStandardPaths>
#include <QtCore/QTemporaryDir>

#include <cjson/cJSON.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace xInternet;

namespace {

TEST(BrowserScripts, RunAsServed)
{
    const QString node = QStandardPaths::findExecutable(QStringLiteral("node"));
    const QString zbar = QStandardPaths::findExecutable(QStringLiteral("zbarimg"));
    if (node.isEmpty() || zbar.isEmpty())
        GTEST_SKIP() << "node and zbarimg are needed (Debian nodejs, zbar-tools)";
    QTemporaryDir dir;
    for (const char* name : {"md5.js", "qrcode.js", "global.js"}) {
        const QString text = GetWebResource(QString::fromLatin1(name));
        ASSERT_FALSE(text.isEmpty()) << name;
        QFile file(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
    }
    // from one module (version 1) to version 29, with version information, and UTF-8
    const QStringList texts = {QStringLiteral("1"),
                               QStringLiteral("http://192.168.1.5:8080/"),
                               QStringLiteral("钢琴课 王老师 周一 18:00"),
                               QStringLiteral("https://open.weixin.qq.com/connect/oauth2/authorize?appid=wx1234567890"
                                              "&redirect_uri=http%3A%2F%2Fexample.org%2Fwxauth#wechat_redirect"),
                               QString(300, u'x'),
                               QString(1200, u'z')};
    QByteArray list = "[";
    for (const QString& t : texts)
        list += (list.size() > 1 ? "," : "") + ("\"" + t.toUtf8() + "\"");
    list += "]";

    QProcess process;
    process.start(node,
                  {QStringLiteral(LORVAN_WEB_TEST_SCRIPTS "/browser_scripts.js"), dir.path(), QString::fromUtf8(list)});
    ASSERT_TRUE(process.waitForFinished(60000));
    const QByteArray output = process.readAllStandardOutput();
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();
    cJSON* json = cJSON_Parse(output.constData());
    ASSERT_NE(json, nullptr) << output.constData();

    EXPECT_EQ(cJSON_GetArraySize(cJSON_GetObjectItem(json, "md5")), 0) << output.constData();

    const cJSON* qr = cJSON_GetObjectItem(json, "qr");
    ASSERT_EQ(cJSON_GetArraySize(qr), texts.size());
    for (int i = 0; i < texts.size(); ++i) {
        const char* decoded = cJSON_GetStringValue(cJSON_GetArrayItem(qr, i));
        EXPECT_EQ(QString::fromUtf8(decoded ? decoded : "(none)"), texts[i]) << i;
    }

    const struct
    {
        const char* name;
        int value;
    } codes[] = {{"ERR_OK", ERR_OK},
                 {"ERR_FailMsg", ERR_FailMsg},
                 {"ERR_NotFound", ERR_NotFound},
                 {"ERR_Repeat", ERR_Repeat},
                 {"ERR_HasBound", ERR_HasBound},
                 {"ERR_ErrorPassword", ERR_ErrorPassword},
                 {"ERR_ErrorSmsCode", ERR_ErrorSmsCode},
                 {"ERR_ExpireSmsCode", ERR_ExpireSmsCode},
                 {"ERR_ErrorArtCode", ERR_ErrorArtCode},
                 {"ERR_BusySmsCode", ERR_BusySmsCode},
                 {"ERR_FailedSmsCode", ERR_FailedSmsCode},
                 {"ERR_NoPrinter", ERR_NoPrinter},
                 {"ERR_NeedConfirm", ERR_NeedConfirm}};
    const cJSON* defined = cJSON_GetObjectItem(json, "codes");
    EXPECT_EQ(cJSON_GetArraySize(defined), static_cast<int>(std::size(codes)));
    for (const auto& c : codes) {
        const cJSON* value = cJSON_GetObjectItem(defined, c.name);
        EXPECT_TRUE(cJSON_IsNumber(value) && value->valueint == c.value) << c.name;
    }

    // the form's body as the server reads it: names lower-cased, values intact, the
    // password as its MD5 and an unticked box as 0
    XParamMap params;
    ParseBodyParams(QByteArray(cJSON_GetStringValue(cJSON_GetObjectItem(json, "body"))), params);
    EXPECT_EQ(params.value(QStringLiteral("username")), QStringLiteral("王<老师> & \"Co\""));
    EXPECT_EQ(params.value(QStringLiteral("password")), QStringLiteral("e10adc3949ba59abbe56e057f20f883e"));
    EXPECT_EQ(params.value(QStringLiteral("remember")), QStringLiteral("0"));
    EXPECT_EQ(params.size(), 3);
    cJSON_Delete(json);
}

// A page of the www folder in a real browser, served by the running service: the scripts as
// served, a form posted by global.js as an XML body and its refusal shown above the form, and
// a QR code drawn as SVG.
TEST(BrowserScripts, AFormPostedByScriptInARealBrowser)
{
    const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    if (chromium.isEmpty())
        GTEST_SKIP() << "Debian chromium is needed";
    TempDatabase db;
    {
        CXDBSession session;
        session.Connect();
        ASSERT_TRUE(MarkWritableColumns(session, *CDBOperLog::StaticHeads()));
    }
    QDir().mkpath(db.Home() + QStringLiteral("/www"));
    QFile page(db.Home() + QStringLiteral("/www/probe.html"));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write(R"(<!DOCTYPE html><html><head><meta charset="utf-8"><title>t</title>
<link rel="stylesheet" href="style.css"><script src="global.js"></script><script src="md5.js"></script>
<script src="qrcode.js"></script></head><body><div id="page">
<form class="form" id="f" data-post="uploadrtf"><input name="id" value="3">
<input name="password" type="password" value="123456" data-md5="1"><button type="submit">go</button></form>
<div id="qr"></div></div><script>
document.body.setAttribute("data-md5", lvMd5("123456"));
document.body.setAttribute("data-qr", String(lvQrCode("http://192.168.1.5:8080/", document.getElementById("qr"))));
document.getElementById("f").requestSubmit();
</script></body></html>)");
    page.close();

    StartWebService();
    int port = 0;
    for (int i = 0; i < 500 && !(port = GetWebServiceState().port); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_NE(port, 0);
    QProcess browser;
    browser.start(chromium, {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"),
                             QStringLiteral("--disable-gpu"), QStringLiteral("--virtual-time-budget=5000"),
                             QStringLiteral("--dump-dom"), QStringLiteral("http://127.0.0.1:%1/probe.html").arg(port)});
    const bool finished = browser.waitForFinished(90000);
    StopWebService();
    ASSERT_TRUE(finished);
    const QString dom = QString::fromUtf8(browser.readAllStandardOutput());
    EXPECT_TRUE(dom.contains(QStringLiteral("data-md5=\"e10adc3949ba59abbe56e057f20f883e\""))) << dom.toStdString();
    EXPECT_TRUE(dom.contains(QStringLiteral("data-qr=\"true\""))) << dom.toStdString();
    EXPECT_TRUE(dom.contains(QStringLiteral("<svg"))) << dom.toStdString();
    // nobody is logged in: the template route refuses, and the form says so
    EXPECT_TRUE(
        dom.contains(QStringLiteral("<form class=\"form\" id=\"f\" data-post=\"uploadrtf\"><div class=\"error\" "
                                    "role=\"alert\">请求失败（400）</div>")))
        << dom.toStdString();
}

} // namespace
