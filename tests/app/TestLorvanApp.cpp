#include "CLorvanApp.h"
#include "CommandIcons.h"
#include "CommandIds.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

QImage Square(QRgb colour)
{
    QImage image(4, 4, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

TEST(CommandIcons, TintMakesWhiteTransparentAndKeepsDarkPixelsAtLeast192)
{
    QImage icon = Square(qRgb(0, 0, 0));
    icon.setPixel(0, 0, qRgb(255, 255, 255));
    icon.setPixel(1, 0, qRgb(255, 0, 0)); // luminance 76: lifted to 192
    icon.setPixel(2, 0, qRgba(0, 0, 0, 0));
    icon.setPixel(3, 0, qRgb(230, 230, 230)); // luminance 230 stays
    const QImage tinted = TintIcon(icon, qRgb(255, 255, 0));
    EXPECT_EQ(qAlpha(tinted.pixel(0, 0)), 0);
    EXPECT_EQ(tinted.pixel(1, 0), qRgb(192, 192, 0));
    EXPECT_EQ(qAlpha(tinted.pixel(2, 0)), 0);
    EXPECT_EQ(tinted.pixel(3, 0), qRgb(230, 230, 0));
    EXPECT_EQ(tinted.pixel(1, 1), qRgb(192, 192, 0));
}

TEST(CommandIcons, CacheKeepsOneImagePerSizeAndTint)
{
    CLorvanApp app;
    app.AddCommandIcon(32775, false, Square(qRgb(10, 10, 10)));
    app.AddCommandIcon(32775, false, Square(qRgb(20, 20, 20))); // the first one wins
    EXPECT_TRUE(app.GetCommandIcon(0, 0, false).isNull());
    EXPECT_TRUE(app.GetCommandIcon(32776, 0, false).isNull());
    EXPECT_TRUE(app.GetCommandIcon(32775, 0, true).isNull()); // no large one
    EXPECT_EQ(app.GetCommandIcon(32775, 0, false).pixel(0, 0), qRgb(10, 10, 10));
    const QImage red = app.GetCommandIcon(32775, qRgb(255, 0, 0), false);
    const QImage blue = app.GetCommandIcon(32775, qRgb(0, 0, 255), false);
    EXPECT_EQ(red.pixel(0, 0), qRgb(192, 0, 0));
    EXPECT_EQ(blue.pixel(0, 0), qRgb(0, 0, 192));
    EXPECT_FALSE(app.CommandIcon(32775, 0, false).isNull());
}

TEST(LorvanApp, SeamAnswersFromThePreferencesAndTheBuiltInAdministrator)
{
    CLorvanApp app;
    EXPECT_EQ(theApp, &app);
    ASSERT_NE(app.Admin(), nullptr);
    EXPECT_EQ(app.Admin()->m_strName, QStringLiteral("Admin"));
    EXPECT_EQ(app.Admin()->m_nMduID, 322);
    EXPECT_EQ(app.Admin()->m_nRightRole, 2);
    EXPECT_EQ(app.User(), nullptr);
    std::lock_guard lock(app.Mutex());
    EXPECT_EQ(app.SetupValue(QStringLiteral("RcdAdvance")).toInt(), 180);
    EXPECT_EQ(app.SetupValue(QStringLiteral("KeyFmtRcp")).toString(), QStringLiteral("B[Y][nnnn]"));
    EXPECT_EQ(app.SetupValue(QStringLiteral("StdLogoID")).toInt(), 0);
    EXPECT_FALSE(app.SetupValue(QStringLiteral("NoSuchKey")).isValid());
}

} // namespace

namespace {

// A yes/no cell of a list (身份证 有) is drawn as this mark alone, and the buttons of the edits
// (the input history, the duplicate indicators) as their icons alone: without an image each
// is a blank block.
TEST(CommandIcons, MarksAndEditButtonsHaveAnImage)
{
    CLorvanApp app;
    LoadCommandIcons(app);
    for (int id : {int(IDI_ONOFF), int(ID_EDIT_HISTORY), int(IDI_WARNING), int(IDI_ERROR)}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(app.GetCommandIcon(id, 0, false).size(), QSize(16, 16));
        EXPECT_FALSE(app.CommandIcon(id, 0, false).isNull());
    }
}

TEST(CommandIcons, EveryCommandOfTheTableHasBothSizes)
{
    CLorvanApp app;
    LoadCommandIcons(app);
    ASSERT_FALSE(CommandIconTable().empty());
    for (const XCommandIcon& icon : CommandIconTable()) {
        const QImage small = app.GetCommandIcon(icon.id, 0, false);
        const QImage large = app.GetCommandIcon(icon.id, 0, true);
        EXPECT_EQ(small.size(), QSize(16, 16)) << icon.file;
        EXPECT_EQ(large.size(), QSize(32, 32)) << icon.file;
    }
}

} // namespace

namespace {

int OpaquePixels(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += qAlpha(image.pixel(x, y)) != 0;
    return n;
}

TEST(CommandIcons, StateImagesAreDrawnOnceAtBothSizesWithTheGreyTransparent)
{
    CLorvanApp app;
    std::vector<QImage> small;
    for (int id = ID_IMAGE_RADIO_ON; id <= ID_IMAGE_CHECK_OFF_HOT; ++id) {
        const QImage image = app.GetCommandIcon(id, 0, false);
        ASSERT_EQ(image.size(), QSize(16, 16)) << id;
        EXPECT_EQ(app.GetCommandIcon(id, 0, true).size(), QSize(32, 32)) << id;
        EXPECT_GT(OpaquePixels(image), 0) << id;
        EXPECT_LT(OpaquePixels(image), 16 * 16) << id; // the grey square around it is see-through
        small.push_back(image);
    }
    // checked and unchecked differ, for radio buttons and check boxes alike
    EXPECT_NE(small[0], small[3]);
    EXPECT_NE(small[6], small[9]);
    EXPECT_NE(small[0], small[6]);
    // drawn once, then served from the cache; a tint is applied to the drawn image
    EXPECT_EQ(app.GetCommandIcon(ID_IMAGE_CHECK_ON, 0, false), small[6]);
    EXPECT_FALSE(app.GetCommandIcon(ID_IMAGE_CHECK_ON, qRgb(255, 0, 0), false).isNull());
    EXPECT_TRUE(app.GetCommandIcon(ID_IMAGE_CHECK_OFF_HOT + 1, 0, false).isNull());
}

} // namespace
