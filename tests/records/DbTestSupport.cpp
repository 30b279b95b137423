#include "DbTestSupport.h"

#include "OpenDatabase.h"

#include <gtest/gtest.h>

TempDatabase::TempDatabase()
{
    CXDBSession::CloseShared();
    m_path = GetConnectionString();
    EXPECT_TRUE(CreateDatabase(m_path)) << GetOleDbErrorText().toStdString();
}

TempDatabase::~TempDatabase() { CXDBSession::CloseShared(); }

QString QueryText(const QString& sql)
{
    CXDBSession session;
    session.Connect();
    CXAccessor cmd;
    if (!cmd.Open(session, sql))
        return QStringLiteral("<error>");
    if (!cmd.MoveNext())
        return cmd.Failed() ? QStringLiteral("<error>") : QStringLiteral("<none>");
    const QString text = cmd.GetText(1);
    return text.isNull() ? QStringLiteral("<null>") : text;
}

double QueryNumber(const QString& sql)
{
    CXDBSession session;
    session.Connect();
    CXAccessor cmd;
    if (!cmd.Open(session, sql) || !cmd.MoveNext())
        return -999;
    return cmd.GetNumber(1);
}

bool Exec(const QString& sql)
{
    CXDBSession session;
    session.Connect();
    return session.ExecuteSql(sql);
}

void SetStoredVersion(const QString& version)
{
    Exec(QStringLiteral("DELETE FROM TB_PROFILE WHERE SecName='Global' AND KeyName='DatabaseVersion'"));
    if (!version.isEmpty())
        Exec(
            QStringLiteral("INSERT INTO TB_PROFILE (SecName,KeyName,KeyValue) VALUES ('Global','DatabaseVersion','%1')")
                .arg(version));
}
