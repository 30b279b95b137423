#include "BinaryColumns.h"

#include "CXBlobAccessor.h"
#include "CXDBSession.h"
#include "CXImage.h"
#include "FormatString.h"
#include "OperLog.h"
#include "Resources.h"
#include "TextUtils.h"
#include "XAppServices.h"
#include "XWriteScope.h"

#include <QtCore/QBuffer>

void ReadBinaryColumn(const QString& table, const QString& column, int id, QByteArray& bytes)
{
    if (table.isEmpty() || column.isEmpty() || id == 0)
        return;
    bytes.clear();
    CXDBSession session;
    session.Connect();
    CXBlobAccessor cmd;
    if (cmd.Open(session, FormatString(u"SELECT ID,%s FROM %s WHERE ID=%d", column, table, id)) && cmd.MoveNext())
        bytes = cmd.GetStream();
}

bool WriteBinaryColumn(CXDBSession* session, const QString& table, const QString& column, int id,
                       const QByteArray& bytes)
{
    CXDBSession own;
    if (!session) {
        own.Connect();
        session = &own;
    }
    CXAccessor cmd;
    if (!cmd.Prepare(*session, FormatString(u"UPDATE %s SET %s=? WHERE ID=%d", table, column, id)) ||
        !cmd.SetParamBytes(1, bytes) || !cmd.Execute()) {
        ReportDbError(QStringLiteral("保存二进制数据"), &cmd, QString());
        return false;
    }
    if (cmd.GetChanges() != 1) {
        ReportDbError(QStringLiteral("保存二进制数据"), &cmd, FormatString(u"%s 中没有 ID 为 %d 的记录。", table, id));
        return false;
    }
    return true;
}

void LoadFromDB(CXImage& image, int resourceId)
{
    image.Destroy();
    if (image.m_nPhotoID) {
        CXDBSession session;
        session.Connect();
        CXBlobAccessor cmd;
        if (!cmd.Open(session, FormatString(u"SELECT ID,Photo FROM TB_PHOTO WHERE ID=%d", image.m_nPhotoID)) ||
            (!cmd.MoveNext() && cmd.Failed())) {
            ReportDbError(QStringLiteral("读取 LOGO"), &cmd, QString());
            return;
        }
        QByteArray bytes = cmd.GetStream();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        image.LoadStream(&buffer);
        return;
    }
    if (resourceId == 0)
        return;
    QByteArray bytes = LoadResourceBytes(resourceId, RT_PNG);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    image.LoadStream(&buffer);
}

void ShrinkToSizePreference(CXImage& image)
{
    int kb = 0;
    {
        XAppServices& app = AppServices();
        std::lock_guard lock(app.Mutex());
        kb = app.SetupValue(QStringLiteral("ImgSizeMax")).toInt();
    }
    if (kb > 0)
        image.Shrink(kb, false);
}

int SaveToDB(CXImage& image, int mduId, int personId, bool bWhiteToTransparent, int sizeLimit)
{
    const QString task = QStringLiteral("保存图片");
    // the row and its bytes go together: no photo row without its image
    XWriteScope scope(nullptr);
    if (!scope.Begin(task))
        return 0;
    CXDBSession& session = scope.Session();
    CXAccessor insert;
    CXAccessor identity;
    if (!insert.Open(session, FormatString(u"INSERT INTO TB_PHOTO (MduID,PersonID) VALUES (%d,%d)", mduId, personId)) ||
        !identity.Open(session, QStringLiteral("SELECT @@Identity")) || !identity.MoveNext()) {
        ReportDbError(task, identity.GetSql().isEmpty() ? &insert : &identity, QString());
        return 0;
    }
    const int id = static_cast<int>(identity.GetNumber(1));
    identity.Close();
    if (sizeLimit > 0)
        image.Shrink(sizeLimit, true);
    else
        ShrinkToSizePreference(image);
    if (bWhiteToTransparent)
        image.WhiteToTransparent();
    QByteArray bytes;
    image.GetBytes(&bytes);
    if (!WriteBinaryColumn(&session, QStringLiteral("TB_PHOTO"), QStringLiteral("Photo"), id, bytes) ||
        !scope.Finish(true))
        return 0;
    image.m_nPhotoID = id;
    return id;
}

void DeleteUnusedLogos()
{
    QList<int> kept;
    {
        XAppServices& app = AppServices();
        std::lock_guard lock(app.Mutex());
        for (const char* key : {"StdLogoID", "BigLogoID"}) {
            const int id = app.SetupValue(QString::fromLatin1(key)).toInt();
            if (id != 0)
                kept.append(id);
        }
    }
    const QString sql =
        kept.isEmpty()
            ? QStringLiteral("DELETE FROM TB_PHOTO WHERE MduID=0 AND PersonID=0")
            : FormatString(u"DELETE FROM TB_PHOTO WHERE ID NOT IN(%s) AND MduID=0 AND PersonID=0", JoinInts(kept));
    CXDBSession session;
    session.Connect();
    CXAccessor cmd;
    if (!cmd.Open(session, sql))
        ReportDbError(QStringLiteral("删除旧图片"), &cmd, QString());
}
