#include "CXImage.h"
#include "CXQrEncoder.h"
#include "QrDecoder.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QtCore/QBuffer>
#include <QtCore/QRandomGenerator>
#include <QtGui/QGuiApplication>
#include <QtGui/QIcon>
#include <QtGui/QImageWriter>
#include <QtGui/QPainter>
#include <QtGui/QPalette>
#include <QtGui/QPixmap>

namespace {

// A photo-like picture: a gradient with some noise, so that JPEG is lossy on it.
QImage Photo(int w, int h, quint32 seed = 1)
{
    QImage image(w, h, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int noise = static_cast<int>(random.bounded(40));
            image.setPixel(x, y, qRgb((x * 255 / w + noise) % 256, (y * 255 / h + noise) % 256, (x + y + noise) % 256));
        }
    }
    return image;
}

QByteArray Encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

bool IsPng(const QByteArray& b) { return b.startsWith("\x89PNG"); }
bool IsJpeg(const QByteArray& b) { return b.startsWith("\xFF\xD8"); }

void Load(CXImage& image, const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    ASSERT_TRUE(image.LoadStream(&buffer));
}

TEST(CXImage, JpegSupportIsInstalled)
{
    EXPECT_TRUE(QImageWriter::supportedImageFormats().contains("jpeg"))
        << "Qt's qjpeg image-format plugin is missing (Debian libqt6gui6)";
}

// Qt decodes every JPEG as 32-bit RGB; the depth kept beside the pixels is what decides
// between PNG and JPEG.
TEST(CXImage, DepthDecidesTheEncoding)
{
    CXImage jpeg;
    Load(jpeg, Encoded(Photo(64, 48), "JPEG"));
    EXPECT_EQ(jpeg.GetBPP(), 24);
    QByteArray bytes;
    EXPECT_GT(jpeg.GetBytes(&bytes), 0);
    EXPECT_EQ(jpeg.GetBytes(), bytes.size());
    EXPECT_TRUE(IsJpeg(bytes));

    QImage withAlpha(20, 10, QImage::Format_ARGB32);
    withAlpha.fill(qRgba(10, 200, 30, 128));
    CXImage png;
    Load(png, Encoded(withAlpha, "PNG"));
    EXPECT_EQ(png.GetBPP(), 32);
    png.GetBytes(&bytes);
    EXPECT_TRUE(IsPng(bytes));
    CXImage again;
    Load(again, bytes);
    EXPECT_EQ(again.GetBPP(), 32);
    EXPECT_EQ(qAlpha(again.GetImage().pixel(3, 3)), 128);

    CXImage opaquePng; // a PNG without alpha is stored as JPEG from then on
    Load(opaquePng, Encoded(Photo(16, 16), "PNG"));
    EXPECT_EQ(opaquePng.GetBPP(), 24);
    opaquePng.GetBytes(&bytes);
    EXPECT_TRUE(IsJpeg(bytes));

    CXImage empty;
    bytes = "x";
    EXPECT_EQ(empty.GetBytes(&bytes), 0);
    EXPECT_TRUE(bytes.isEmpty());
    EXPECT_EQ(empty.GetDataUri(), QString());
    EXPECT_EQ(empty.GetRtfPict(100), QString());
}

TEST(CXImage, LoadStreamReadsLongStreamsAndRefusesGarbage)
{
    const QByteArray big = Encoded(Photo(300, 200), "JPEG");
    ASSERT_GT(big.size(), 3 * 4096);
    CXImage image;
    Load(image, big);
    EXPECT_EQ(image.GetWidth(), 300);
    EXPECT_EQ(image.GetHeight(), 200);

    QBuffer garbage;
    garbage.setData("not a picture at all");
    garbage.open(QIODevice::ReadOnly);
    EXPECT_FALSE(image.LoadStream(&garbage));
    EXPECT_TRUE(image.IsNull());
    EXPECT_FALSE(image.LoadStream(nullptr));
}

// Records are copied on every list refresh, edit and save: a copy that re-encoded would
// degrade a JPEG photo a little more each time.
TEST(CXImage, CopyFromCopiesPixelsDepthAndPhotoId)
{
    CXImage source;
    Load(source, Encoded(Photo(80, 60), "JPEG"));
    source.m_nPhotoID = 17;
    CXImage a, b;
    a.CopyFrom(source);
    for (int i = 0; i < 5; ++i) {
        b.CopyFrom(a);
        a.CopyFrom(b);
    }
    EXPECT_EQ(a.m_nPhotoID, 17);
    EXPECT_EQ(a.GetBPP(), 24);
    EXPECT_EQ(a.GetImage(), source.GetImage());

    CXImage target;
    target.SetImage(Photo(4, 4));
    target.m_nPhotoID = 9;
    CXImage empty;
    empty.m_nPhotoID = 3;
    EXPECT_EQ(&target.CopyFrom(empty), &target);
    EXPECT_TRUE(target.IsNull());
    EXPECT_EQ(target.GetBPP(), 0);
    EXPECT_EQ(target.m_nPhotoID, 9);
}

TEST(CXImage, RtfPictureAndDataUri)
{
    CXImage photo;
    photo.SetImage(Photo(200, 100));
    QByteArray bytes;
    photo.GetBytes(&bytes);
    const QString rtf = photo.GetRtfPict(5);
    EXPECT_TRUE(rtf.startsWith(QStringLiteral("{\\pict\\jpegblip\\picwgoal240\\pichgoal120 ")))
        << rtf.left(60).toStdString();
    EXPECT_TRUE(rtf.endsWith(u'}'));
    EXPECT_EQ(rtf.mid(rtf.indexOf(u' ') + 1).chopped(1), QString::fromLatin1(bytes.toHex()));
    EXPECT_TRUE(photo.GetRtfPict(5000).startsWith(QStringLiteral("{\\pict\\jpegblip\\picwgoal38400\\pichgoal19200 ")));
    EXPECT_TRUE(photo.GetRtfPict(33).startsWith(QStringLiteral("{\\pict\\jpegblip\\picwgoal990\\pichgoal495 ")));

    const QString uri = photo.GetDataUri();
    EXPECT_TRUE(uri.startsWith(QStringLiteral("data:image/jpeg;base64,")));
    EXPECT_FALSE(uri.contains(u'\n'));
    EXPECT_EQ(QByteArray::fromBase64(uri.mid(23).toLatin1()), bytes);

    photo.WhiteToTransparent();
    EXPECT_TRUE(photo.GetRtfPict(100).startsWith(QStringLiteral("{\\pict\\pngblip\\picwgoal")));
    EXPECT_TRUE(photo.GetDataUri().startsWith(QStringLiteral("data:image/png;base64,iVBOR")));
}

TEST(CXImage, ShrinkByPixels)
{
    const struct
    {
        int w, h, limit, newW, newH;
    } cases[] = {
        {300, 80, 100, 300, 80}, {400, 200, 100, 200, 100}, {150, 450, 100, 100, 300}, {100, 100, 100, 100, 100}};
    for (const auto& c : cases) {
        CXImage image;
        image.SetImage(Photo(c.w, c.h));
        image.m_nPhotoID = 5;
        image.Shrink(c.limit, true);
        EXPECT_EQ(image.GetWidth(), c.newW) << c.w << "x" << c.h;
        EXPECT_EQ(image.GetHeight(), c.newH) << c.w << "x" << c.h;
        EXPECT_EQ(image.GetBPP(), 24);
        EXPECT_EQ(image.m_nPhotoID, 5);
    }
}

TEST(CXImage, ShrinkBySize)
{
    CXImage small;
    small.SetImage(Photo(100, 80));
    ASSERT_LE(small.GetBytes(), 64 * 1024);
    small.Shrink(64, false);
    EXPECT_EQ(small.GetWidth(), 100);

    CXImage big;
    big.SetImage(Photo(800, 600));
    const int size = big.GetBytes();
    ASSERT_GT(size, 64 * 1024);
    big.Shrink(64, false);
    const double factor = std::sqrt(64.0 * 1024 / size);
    EXPECT_EQ(big.GetWidth(), static_cast<int>(800 * factor));
    EXPECT_EQ(big.GetHeight(), static_cast<int>(600 * factor));
}

// A transparent logo must not come back on black; white still turns transparent.
TEST(CXImage, ShrinkKeepsTransparency)
{
    QImage logo(400, 200, QImage::Format_ARGB32);
    logo.fill(Qt::transparent);
    QPainter(&logo).fillRect(0, 0, 200, 200, QColor(200, 0, 0));
    QPainter(&logo).fillRect(200, 0, 100, 200, Qt::white);
    CXImage image;
    image.SetImage(logo);
    ASSERT_EQ(image.GetBPP(), 32);
    image.Shrink(100, true);
    ASSERT_EQ(image.GetWidth(), 200);
    EXPECT_EQ(image.GetBPP(), 32);
    EXPECT_EQ(image.GetImage().pixel(20, 50), qRgba(200, 0, 0, 255));
    EXPECT_EQ(qAlpha(image.GetImage().pixel(120, 50)), 0); // was white
    EXPECT_EQ(qAlpha(image.GetImage().pixel(180, 50)), 0); // was transparent
}

TEST(CXImage, WhiteToTransparent)
{
    QImage rgb(3, 1, QImage::Format_RGB888);
    rgb.setPixel(0, 0, qRgb(255, 255, 255));
    rgb.setPixel(1, 0, qRgb(254, 255, 255));
    rgb.setPixel(2, 0, qRgb(0, 0, 0));
    CXImage image;
    image.SetImage(rgb);
    ASSERT_EQ(image.GetBPP(), 24);
    image.m_nPhotoID = 4;
    image.WhiteToTransparent();
    EXPECT_EQ(image.GetBPP(), 32);
    EXPECT_EQ(image.m_nPhotoID, 4);
    EXPECT_EQ(qAlpha(image.GetImage().pixel(0, 0)), 0);
    EXPECT_EQ(image.GetImage().pixel(1, 0), qRgba(254, 255, 255, 255));
    EXPECT_EQ(image.GetImage().pixel(2, 0), qRgba(0, 0, 0, 255));

    CXImage empty;
    empty.WhiteToTransparent();
    EXPECT_TRUE(empty.IsNull());
}

TEST(CXImage, FromIconKeepsItsTransparency)
{
    QImage source(16, 16, QImage::Format_ARGB32);
    source.fill(Qt::transparent);
    QPainter(&source).fillRect(4, 4, 8, 8, QColor(0, 0, 255));
    CXImage image;
    image.FromIcon(QIcon(QPixmap::fromImage(source)));
    EXPECT_EQ(image.GetWidth(), 16);
    EXPECT_EQ(image.GetHeight(), 16);
    EXPECT_EQ(image.GetBPP(), 32);
    EXPECT_EQ(qAlpha(image.GetImage().pixel(1, 1)), 0);
    EXPECT_EQ(image.GetImage().pixel(8, 8), qRgba(0, 0, 255, 255));

    image.FromIcon(QIcon());
    EXPECT_TRUE(image.IsNull());
}

TEST(CXImage, PaintLetterboxesOverACheckerboard)
{
    QImage red(200, 100, QImage::Format_RGB32);
    red.fill(QColor(255, 0, 0));
    CXImage image;
    image.SetImage(red);

    QImage canvas(100, 100, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        image.Paint(&painter, QRect(0, 0, 100, 100), true);
    }
    const QRgb face = QGuiApplication::palette().color(QPalette::Button).rgb();
    EXPECT_EQ(canvas.pixel(4, 4), qRgb(255, 255, 255)); // cell (0, 0) is left as it was
    EXPECT_EQ(canvas.pixel(12, 4), face);               // cell (8, 0) is filled
    EXPECT_EQ(canvas.pixel(12, 12), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.pixel(4, 12), face);
    EXPECT_EQ(canvas.pixel(4, 20), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.pixel(50, 30), qRgb(255, 0, 0)); // the picture: rows 25 to 74
    EXPECT_EQ(canvas.pixel(50, 70), qRgb(255, 0, 0));
    EXPECT_NE(canvas.pixel(50, 22), qRgb(255, 0, 0));
    EXPECT_NE(canvas.pixel(50, 77), qRgb(255, 0, 0));

    QImage untouched(50, 50, QImage::Format_RGB32);
    untouched.fill(Qt::white);
    const QImage before = untouched;
    {
        QPainter painter(&untouched);
        CXImage().Paint(&painter, QRect(0, 0, 50, 50), true);
    }
    EXPECT_EQ(untouched, before);
}

TEST(CXImage, QrCode)
{
    CXImage qr;
    qr.MakeQrCode(QStringLiteral("12345"), 20, qRgb(0, 0, 0));
    EXPECT_TRUE(qr.IsNull());
    qr.MakeQrCode(QStringLiteral("12345"), 100, qRgb(0, 0, 128));
    ASSERT_FALSE(qr.IsNull());
    EXPECT_EQ(qr.GetWidth(), 84);
    EXPECT_EQ(qr.GetHeight(), 84);
    EXPECT_EQ(qr.GetBPP(), 32);
    EXPECT_EQ(qr.GetImage().pixel(1, 1), qRgba(0, 0, 128, 255)); // finder, module (0, 0)
    EXPECT_EQ(qr.GetImage().pixel(3, 3), qRgba(0, 0, 128, 255));
    EXPECT_EQ(qAlpha(qr.GetImage().pixel(5, 5)), 0); // module (1, 1) is light
    qr.MakeQrCode(QString(), 100, qRgb(0, 0, 0));
    EXPECT_TRUE(qr.IsNull());

    if (!HaveQrDecoder())
        GTEST_SKIP() << "zbarimg is not installed (Debian package zbar-tools); the drawn code was not decoded";
    const QString url = QStringLiteral("http://192.168.1.8:8080/wx/login?sid=0123456789abcdef");
    qr.MakeQrCode(url, 200, qRgb(0, 0, 0));
    ASSERT_FALSE(qr.IsNull());
    // on white with a quiet zone, as on a page
    const int module = qr.GetWidth() / CXQrEncoder::m_nSize;
    QImage page(qr.GetWidth() + 8 * module, qr.GetHeight() + 8 * module, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter(&page).drawImage(4 * module, 4 * module, qr.GetImage());
    EXPECT_EQ(DecodeQr(page), url.toUtf8());
}

} // namespace
