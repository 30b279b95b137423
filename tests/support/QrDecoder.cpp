#include "QrDecoder.h"

#include "CXQrEncoder.h"

#include <QtCore/QProcess>
#include <QtCore/QStandardPaths>
#include <QtCore/QTemporaryDir>
#include <QtGui/QPainter>

bool HaveQrDecoder() { return !QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty(); }

QByteArray DecodeQr(const QImage& image)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("qr.png"));
    if (!image.save(path, "PNG"))
        return QByteArray();
    QProcess zbar;
    zbar.start(QStringLiteral("zbarimg"), {QStringLiteral("--raw"), QStringLiteral("-q"), QStringLiteral("-Sdisable"),
                                           QStringLiteral("-Sqrcode.enable"), path});
    if (!zbar.waitForFinished(30000) || zbar.exitCode() != 0)
        return QByteArray();
    QByteArray out = zbar.readAllStandardOutput();
    if (out.endsWith('\n'))
        out.chop(1);
    return out;
}

QImage RenderQrModules(int moduleSize)
{
    const int n = CXQrEncoder::m_nSize;
    QImage image((n + 8) * moduleSize, (n + 8) * moduleSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (int x = 0; x < n; ++x) {
        for (int y = 0; y < n; ++y) {
            if (CXQrEncoder::m_modules[x][y])
                painter.fillRect((x + 4) * moduleSize, (y + 4) * moduleSize, moduleSize, moduleSize, Qt::black);
        }
    }
    return image;
}
