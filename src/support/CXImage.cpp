#include "CXImage.h"

#include "CXQrEncoder.h"

#include <QtCore/QBuffer>
#include <QtGui/QGuiApplication>
#include <QtGui/QIcon>
#include <QtGui/QImageReader>
#include <QtGui/QImageWriter>
#include <QtGui/QPainter>
#include <QtGui/QPalette>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kIconSize = 16;
constexpr int kCheckerCell = 8;
constexpr int kTwipsPerPixel = 15;

const char* FormatName(XImageFormat format) { return format == XImageFormat::Png ? "png" : "jpeg"; }

} // namespace

void CXImage::SetImage(const QImage& image)
{
    if (image.isNull()) {
        Destroy();
    } else if (image.hasAlphaChannel()) {
        m_image = image.convertToFormat(QImage::Format_ARGB32);
        m_nBpp = 32;
    } else {
        m_image = image.convertToFormat(QImage::Format_RGB888);
        m_nBpp = 24;
    }
}

void CXImage::Destroy()
{
    m_image = QImage();
    m_nBpp = 0;
}

CXImage& CXImage::CopyFrom(const CXImage& source)
{
    if (&source == this)
        return *this;
    if (source.IsNull()) {
        Destroy();
        return *this;
    }
    // Pixels, not an encoding: a JPEG copied through its bytes would lose quality with every
    // copy of the record that holds it.
    m_image = source.m_image;
    m_nBpp = source.m_nBpp;
    m_nPhotoID = source.m_nPhotoID;
    return *this;
}

QByteArray CXImage::Encode() const
{
    QByteArray bytes;
    if (IsNull())
        return bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!SaveStream(&buffer, m_nBpp == 32 ? XImageFormat::Png : XImageFormat::Jpeg))
        bytes.clear();
    return bytes;
}

int CXImage::GetBytes(QByteArray* bytes) const
{
    const QByteArray encoded = Encode();
    if (bytes)
        *bytes = encoded;
    return static_cast<int>(encoded.size());
}

bool CXImage::SaveStream(QIODevice* stream, XImageFormat format) const
{
    if (!stream || IsNull())
        return false;
    QImageWriter writer(stream, FormatName(format));
    return writer.write(m_image);
}

bool CXImage::LoadStream(QIODevice* stream)
{
    Destroy();
    if (!stream)
        return false;
    QByteArray bytes;
    char chunk[4096];
    for (;;) {
        const qint64 n = stream->read(chunk, sizeof chunk);
        if (n < 0)
            return false;
        if (n == 0)
            break;
        bytes.append(chunk, n);
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    SetImage(reader.read());
    return !IsNull();
}

void CXImage::Paint(QPainter* painter, const QRect& rect, bool checkerboard) const
{
    if (!painter || IsNull())
        return;
    if (checkerboard) {
        const QColor face = QGuiApplication::palette().color(QPalette::Button);
        for (int dy = 0; dy < rect.height(); dy += kCheckerCell) {
            for (int dx = 0; dx < rect.width(); dx += kCheckerCell) {
                if (dx % 16 == dy % 16)
                    continue;
                const QRect cell(rect.left() + dx, rect.top() + dy, kCheckerCell, kCheckerCell);
                painter->fillRect(cell & rect, face);
            }
        }
    }
    const double ratio = static_cast<double>(GetWidth()) / GetHeight();
    QRect target = rect;
    if (ratio > static_cast<double>(rect.width()) / rect.height()) {
        const int cut = static_cast<int>((rect.height() - rect.width() / ratio) / 2);
        target.adjust(0, cut, 0, -cut);
    } else {
        const int cut = static_cast<int>((rect.width() - rect.height() * ratio) / 2);
        target.adjust(cut, 0, -cut, 0);
    }
    const bool smooth = painter->testRenderHint(QPainter::SmoothPixmapTransform);
    painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter->drawImage(target, m_image);
    painter->setRenderHint(QPainter::SmoothPixmapTransform, smooth);
}

QString CXImage::GetRtfPict(int height) const
{
    QByteArray bytes;
    if (IsNull() || GetBytes(&bytes) == 0)
        return QString();
    const int h = std::clamp(height, 8, 1280);
    const long long goalWidth = static_cast<long long>(GetWidth()) * h * kTwipsPerPixel / GetHeight();
    QString rtf = QStringLiteral("{\\pict\\%1\\picwgoal%2\\pichgoal%3 ")
                      .arg(m_nBpp == 32 ? QLatin1String("pngblip") : QLatin1String("jpegblip"))
                      .arg(goalWidth)
                      .arg(h * kTwipsPerPixel);
    rtf += QString::fromLatin1(bytes.toHex());
    rtf += u'}';
    return rtf;
}

void CXImage::Shrink(int limit, bool pixelMode)
{
    if (IsNull() || limit <= 0)
        return;
    const int w = GetWidth(), h = GetHeight();
    double factor = 0;
    if (pixelMode) {
        if (w > limit && h > limit)
            factor = static_cast<double>(limit) / std::min(w, h);
    } else {
        const double size = GetBytes();
        if (size > limit * 1024.0)
            factor = std::sqrt(limit * 1024.0 / size);
    }
    if (factor <= 0)
        return;
    const int newWidth = std::max(1, static_cast<int>(w * factor));
    const int newHeight = std::max(1, static_cast<int>(h * factor));
    QImage scaled = m_image.scaled(newWidth, newHeight, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (m_nBpp == 32) {
        // Scaled with its alpha channel: a transparent logo stays transparent rather than
        // coming back on black.
        m_image = WhiteToTransparent(scaled, true);
    } else {
        m_image = scaled.convertToFormat(QImage::Format_RGB888);
    }
}

QImage CXImage::WhiteToTransparent(const QImage& source, bool keepAlpha)
{
    const QImage src = source.convertToFormat(QImage::Format_ARGB32);
    QImage out(src.size(), QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    for (int y = 0; y < src.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        auto* to = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < src.width(); ++x) {
            const QRgb p = in[x];
            if (qRed(p) == 255 && qGreen(p) == 255 && qBlue(p) == 255)
                continue;
            to[x] = qRgba(qRed(p), qGreen(p), qBlue(p), keepAlpha ? qAlpha(p) : 255);
        }
    }
    return out;
}

void CXImage::WhiteToTransparent()
{
    if (IsNull() || (m_nBpp != 24 && m_nBpp != 32))
        return;
    m_image = WhiteToTransparent(m_image, false);
    m_nBpp = 32;
}

QString CXImage::GetDataUri() const
{
    const QByteArray bytes = Encode();
    if (bytes.isEmpty())
        return QString();
    return (m_nBpp == 32 ? QLatin1String("data:image/png;base64,") : QLatin1String("data:image/jpeg;base64,")) +
           QString::fromLatin1(bytes.toBase64());
}

void CXImage::FromIcon(const QIcon& icon)
{
    Destroy();
    if (icon.isNull())
        return;
    QImage image = icon.pixmap(QSize(kIconSize, kIconSize), 1.0).toImage();
    if (image.isNull())
        return;
    if (image.size() != QSize(kIconSize, kIconSize))
        image = image.scaled(kIconSize, kIconSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    m_image = image.convertToFormat(QImage::Format_ARGB32);
    m_nBpp = 32;
}

void CXImage::MakeQrCode(const QString& text, int side, QRgb colour)
{
    Destroy();
    if (!CXQrEncoder::Encode(text.toUtf8().constData()))
        return;
    const int n = CXQrEncoder::m_nSize;
    if (side < n)
        return;
    const int m = side / n;
    QImage image(m * n, m * n, QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        for (int x = 0; x < n; ++x) {
            for (int y = 0; y < n; ++y) {
                if (CXQrEncoder::m_modules[x][y])
                    painter.fillRect(x * m, y * m, m, m, QColor::fromRgb(colour));
            }
        }
    }
    m_image = WhiteToTransparent(image, false);
    m_nBpp = 32;
}
