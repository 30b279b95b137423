#include "StartDatabase.h"

#include "CXDBSession.h"
#include "FormatString.h"
#include "OpenDatabase.h"
#include "OperLog.h"
#include "XAppServices.h"

#include <QtCore/QDebug>

bool StartDatabase()
{
    const QString path = GetConnectionString();
    if (!CreateDatabase(path)) {
        const QString text = FormatString(u"创建数据库 “%s” 失败！\r\n%s", path, GetOleDbErrorText());
        qCritical().noquote() << text;
        AppServices().MessageBox(nullptr, text, QStringLiteral("连接数据库"), MB_ICONERROR);
        return false;
    }
    if (!OpenDatabase()) {
        qCritical().noquote() << FormatString(u"无法打开数据库 “%s”，程序退出。", path);
        return false;
    }
    return true;
}

void StopDatabase() { CXDBSession::CloseShared(); }
