#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QRect>
#include <QtCore/QString>
#include <QtGui/QImage>

class QIcon;
class QIODevice;
class QPainter;

enum class XImageFormat { Png, Jpeg };

// The image value of records (photos, logos), web pages and captchas: pixels plus their bit
// depth and the TB_PHOTO row they came from. Images of 32 bits (those with an alpha channel)
// are encoded as PNG, all others as JPEG, wherever they leave as bytes. Works without a
// window system, so web threads may use it; one thread per image at a time.
class CXImage
{
public:
    CXImage() = default;
    virtual ~CXImage() = default;
    CXImage(const CXImage&) = delete;
    CXImage& operator=(const CXImage&) = delete;

    int m_nPhotoID = 0; // TB_PHOTO row; 0 when not stored

    bool IsNull() const { return m_image.isNull(); }
    int GetWidth() const { return m_image.width(); }
    int GetHeight() const { return m_image.height(); }
    int GetBPP() const { return m_nBpp; } // 24 or 32; 0 when empty
    const QImage& GetImage() const { return m_image; }

    // Takes the pixels: 32 bits with the alpha channel when the image has one, else 24.
    void SetImage(const QImage& image);
    void Destroy(); // empty; the photo ID stays

    // A full value copy: pixels, depth and photo ID; an empty source only empties this one.
    CXImage& CopyFrom(const CXImage& source);

    // The encoded size in bytes (0 when empty); with bytes, they receive the encoding.
    int GetBytes(QByteArray* bytes = nullptr) const;
    bool SaveStream(QIODevice* stream, XImageFormat format) const;
    // Reads the stream to its end and decodes it; false and empty when that fails.
    bool LoadStream(QIODevice* stream);

    // Letterboxed into rect, optionally over a checkerboard of 8-pixel cells.
    void Paint(QPainter* painter, const QRect& rect, bool checkerboard) const;

    // "{\pict\pngblip|jpegblip\picwgoalW\pichgoalH <hex>}" at a height of 8..1280 pixels.
    QString GetRtfPict(int height) const;

    // Pixel mode: when both sides exceed limit, the smaller side becomes limit. Size mode:
    // when the encoding exceeds limit KB, both sides shrink by sqrt(limit KB / size), once.
    void Shrink(int limit, bool pixelMode);

    // 32 bits, pure white transparent and every other pixel opaque.
    void WhiteToTransparent();

    // "data:image/png;base64,..." or "data:image/jpeg;base64,..." on one line.
    QString GetDataUri() const;

    // The 16-pixel image of the icon, with its transparency.
    void FromIcon(const QIcon& icon);

    // The QR code of the text, side / modules pixels per module, dark modules in colour and
    // the rest transparent; empty when the text cannot be encoded or side is too small.
    void MakeQrCode(const QString& text, int side, QRgb colour);

private:
    QByteArray Encode() const;
    static QImage WhiteToTransparent(const QImage& source, bool keepAlpha);

    QImage m_image; // Format_RGB888 at 24 bits, Format_ARGB32 at 32
    int m_nBpp = 0;
};
