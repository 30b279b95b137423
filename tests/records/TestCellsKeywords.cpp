// List cells a record paints itself (checked on rendered pixels) and print keywords.
#include "CFakeAppServices.h"
#include "CHead.h"
#include "CModule.h"
#include "CommandIds.h"
#include "TestSupport.h"
#include "XCellDraw.h"
#include "XDateTime.h"

#include <gtest/gtest.h>

#include <QtGui/QImage>
#include <QtGui/QPainter>

namespace {

class CCellRecord : public CXItemT<MDU_EDUSCH>
{
public:
    CCellRecord() { CCellRecord::Reset(); }
    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CCellRecord; }
    int GetPrintRowCount() const override { return m_rows.size(); }
    QString RowText(int row) const { return row >= 1 && row <= m_rows.size() ? m_rows[row - 1] : QString(); }

    int m_nSpan = 0;
    int m_nEnabled = 0;
    int m_nLessons = 0;
    double m_fPrice = 0;
    QString m_strRoom;
    QStringList m_rows;
};

enum { kSpan, kEnabled, kMemo, kPrice, kLessons, kRoom, kRow };

CHeads* CCellRecord::StaticHeads()
{
    return BuildHeadsOnce<CCellRecord>([](CHeads& h) {
        auto add = [&h](const QString& caption, int type, int offset, const QString& format) {
            CHead* head = h.AddHead(0, caption, 0, QString(), type, offset, 0, 0, 0, QString(), QStringLiteral("无"), 0,
                                    0, 0, QString());
            head->m_strFormat = format;
            head->m_strPrefix.clear();
            head->m_nColPrint = 1;
            return head;
        };
        add(QStringLiteral("时间"), XTS, XOFFSET(CCellRecord, m_nSpan), QString());
        add(QStringLiteral("状态"), XIN, XOFFSET(CCellRecord, m_nEnabled), QStringLiteral("停用|启用"));
        add(QStringLiteral("备注"), XSW, XOFFSET(CXItem, m_strMemo), QString());
        add(QStringLiteral("单价"), XNU, XOFFSET(CCellRecord, m_fPrice), QStringLiteral("%1.2f"));
        add(QStringLiteral("课时"), XIN, XOFFSET(CCellRecord, m_nLessons), QStringLiteral("%d¹"));
        add(QStringLiteral("教室"), XSW, XOFFSET(CCellRecord, m_strRoom), QString())->m_nColPrint = 0;
        CHead* row = add(QStringLiteral("content.[ID]"), XRW, 0, QString());
        row->m_pfnGet = CHeads::RowGetter(&CCellRecord::RowText);
    });
}

const CHead* Head(int i) { return CCellRecord::StaticHeads()->GetAt(i); }

// Icons of the services: a solid green square, easy to find among the pixels.
class CIconServices : public CFakeAppServices
{
public:
    QIcon CommandIcon(int id, QRgb, bool) const override
    {
        QImage image(16, 16, QImage::Format_ARGB32);
        image.fill(id == IDI_ONOFF ? QColor(0, 200, 0) : QColor(0, 0, 0, 0));
        return QIcon(QPixmap::fromImage(image));
    }
};

// One cell painted on a white image.
class Canvas
{
public:
    explicit Canvas(int width = 200, int height = 24) : image(width, height, QImage::Format_RGB32)
    {
        image.fill(Qt::white);
        painter.begin(&image);
        painter.setPen(Qt::black);
        cd.pDC = &painter;
        cd.rc = QRect(0, 0, width, height);
        QPalette palette;
        palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(128, 128, 128));
        palette.setColor(QPalette::Active, QPalette::WindowText, Qt::black);
        palette.setColor(QPalette::Base, Qt::white);
        palette.setColor(QPalette::Mid, QColor(100, 100, 100));
        cd.palette = palette;
        cd.font = QFont(QStringLiteral("Sans"), 9);
    }
    QImage Done()
    {
        painter.end();
        return image;
    }
    static int Count(const QImage& image, QColor colour, QRect area = QRect())
    {
        const QRect r = area.isNull() ? image.rect() : area;
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += image.pixelColor(x, y) == colour;
        return n;
    }
    // Anti-aliased text: pixels close to a pure red.
    static int CountRed(const QImage& image, QRect r)
    {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                const QColor p = image.pixelColor(x, y);
                n += p.red() > 150 && p.green() < 120 && p.blue() < 120;
            }
        return n;
    }
    static bool Blank(const QImage& image) { return Count(image, Qt::white) == image.width() * image.height(); }

    QImage image;
    QPainter painter;
    XCellDraw cd;
};

TEST(DrawCell, TimeSpanCellWithItsBarScaledToTheList)
{
    CCellRecord early, late, none;
    early.m_nSpan = 8001000; // 8:00~10:00
    late.m_nSpan = 10001200; // 10:00~12:00
    CXArray list(nullptr, false);
    list.Add(&early);
    list.Add(&late);
    list.Add(&none);

    EXPECT_TRUE(none.DrawCell(Head(kSpan), nullptr)) << "a span of 0 is still the record's cell";
    {
        Canvas c;
        c.cd.pItems = &list;
        EXPECT_TRUE(none.DrawCell(Head(kSpan), &c.cd));
        EXPECT_TRUE(Canvas::Blank(c.Done()));
    }
    const QColor blue(153, 201, 239);
    for (CCellRecord* r : {&early, &late}) {
        Canvas c;
        c.cd.pItems = &list;
        ASSERT_TRUE(r->DrawCell(Head(kSpan), &c.cd));
        const QImage image = c.Done();
        const QRect band(0, 16, 200, 6);
        EXPECT_GT(Canvas::Count(image, Qt::black, QRect(0, 0, 60, 16)), 10) << "span text";
        EXPECT_GT(Canvas::Count(image, QColor(128, 128, 128), QRect(150, 0, 50, 16)), 5) << "duration at the right";
        // the band starts after the text: the segment of the early lesson lies in the band's
        // left half, the late one's in its right half
        int bandLeft = 0;
        while (bandLeft < image.width() && image.pixelColor(bandLeft, band.top()) != QColor(100, 100, 100))
            ++bandLeft;
        ASSERT_GT(bandLeft, 20) << "band frame after the text";
        const int text = (bandLeft + image.width()) / 2;
        const int left = Canvas::Count(image, blue, QRect(0, band.top(), text, 6));
        const int right = Canvas::Count(image, blue, QRect(text, band.top(), image.width() - text, 6));
        if (r == &early)
            EXPECT_TRUE(left > 0 && right == 0) << left << " " << right;
        else
            EXPECT_TRUE(right > 0 && left == 0) << left << " " << right;
    }
    early.AddStatusText(ST_GRAY, nullptr, QStringLiteral("停课"));
    Canvas c;
    c.cd.pItems = &list;
    early.DrawCell(Head(kSpan), &c.cd);
    const QImage gray = c.Done();
    EXPECT_EQ(Canvas::Count(gray, blue), 0);
    EXPECT_GT(Canvas::Count(gray, QColor(160, 160, 160)), 0);
}

TEST(DrawCell, OnOffCellShowsOnlyTheIcon)
{
    CIconServices icons;
    XAppServices* previous = SetAppServices(&icons);
    CCellRecord record;
    for (int value : {0, 1}) {
        record.m_nEnabled = value;
        Canvas c(100, 24);
        EXPECT_TRUE(record.DrawCell(Head(kEnabled), &c.cd));
        const QImage image = c.Done();
        EXPECT_EQ(Canvas::Count(image, QColor(0, 200, 0)), value ? 256 : 0);
        EXPECT_EQ(Canvas::Count(image, QColor(0, 200, 0), QRect(42, 4, 16, 16)), value ? 256 : 0) << "centred";
        EXPECT_EQ(Canvas::Count(image, Qt::black), 0) << "no text";
    }
    SetAppServices(previous);
}

TEST(DrawCell, MemoWithStruckOutParts)
{
    CCellRecord record;
    record.m_strMemo = QStringLiteral("一般备注");
    EXPECT_FALSE(record.DrawCell(Head(kMemo), nullptr));
    record.m_strMemo = QStringLiteral("保留<del>已取消</del>新增");
    Canvas c(300, 24);
    ASSERT_TRUE(record.DrawCell(Head(kMemo), &c.cd));
    const QImage image = c.Done();
    // plain, struck (grey), plain: black text at both ends, grey between
    int firstGray = -1, lastGray = -1, lastBlack = -1;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y) {
            const QColor p = image.pixelColor(x, y);
            if (p == QColor(128, 128, 128)) {
                firstGray = firstGray < 0 ? x : firstGray;
                lastGray = x;
            } else if (p == Qt::black)
                lastBlack = x;
        }
    ASSERT_GT(firstGray, 0);
    EXPECT_GT(lastBlack, lastGray);
    EXPECT_LT(Canvas::Count(image, Qt::black, QRect(0, 0, firstGray, 24)), firstGray * 24);
    EXPECT_GT(Canvas::Count(image, Qt::black, QRect(0, 0, firstGray, 24)), 0);
}

TEST(DrawCell, NumbersWithSuperscriptMarks)
{
    CCellRecord record;
    record.m_fPrice = 120;
    EXPECT_FALSE(record.DrawCell(Head(kPrice), nullptr)) << "money without marks is the list's";
    EXPECT_FALSE(record.DrawCell(Head(kRoom), nullptr));
    record.m_nLessons = 12;
    Canvas c(100, 24);
    ASSERT_TRUE(record.DrawCell(Head(kLessons), &c.cd));
    const QImage image = c.Done();
    EXPECT_GT(Canvas::CountRed(image, QRect(85, 0, 15, 12)), 0) << "mark at the top right";
    EXPECT_EQ(Canvas::CountRed(image, QRect(0, 0, 100, 24)), Canvas::CountRed(image, QRect(85, 0, 15, 12)));
    EXPECT_GT(Canvas::Count(image, Qt::black), 0) << "digits";
}

class PrintKeywords : public ::testing::Test
{
protected:
    void SetUp() override
    {
        XClock::SetFixed(XDateTime(2025, 3, 5, 9, 7, 0));
        RegisterModule(&m_module);
        auto& setup = CFakeAppServices::Installed().setup;
        setup[QStringLiteral("RecordName")] = QStringLiteral("星河琴行");
        setup[QStringLiteral("GroupName")] = QStringLiteral("星河");
        setup[QStringLiteral("LtdLocation")] = QStringLiteral("北街1号");
        setup[QStringLiteral("LtdContact")] = QStringLiteral("555-0100");
        setup[QStringLiteral("LtdTitle")] = QStringLiteral("星河网站");
    }
    void TearDown() override
    {
        XClock::Reset();
        CFakeAppServices::Installed().Clear();
    }

    class CNumberedModule : public CModuleT<CCellRecord>
    {
    public:
        QString GetKeyFormat() const override { return QStringLiteral("B[Y][nnnn]"); }
    } m_module;
};

TEST_F(PrintKeywords, FieldsRowsAndCommonKeys)
{
    CCellRecord record;
    record.m_nLessons = 3;
    record.m_nSpan = 8001000;
    record.m_strRoom = QStringLiteral("A101");
    record.m_rows = {QStringLiteral("钢琴"), QString(), QStringLiteral("乐理")};
    record.m_created.m_strName = QStringLiteral("李老师");
    XPrintKeywords keys;
    keys.insert(QStringLiteral("[课时]"), QStringLiteral("override"));
    keys.insert(QStringLiteral("[content.3]"), QStringLiteral("own line"));
    keys.insert(QStringLiteral("[打印人]"), QStringLiteral("stale"));
    keys.insert(QStringLiteral("[机构名称]"), QStringLiteral("stale"));
    record.FillPrintKeywords(keys, 0, nullptr);

    const std::pair<const char16_t*, const char16_t*> expected[] = {
        {u"[时间]", u"8:00~10:00"},       {u"[状态]", u"停用"},
        {u"[课时]", u"override"},         {u"[content.1]", u"钢琴"},
        {u"[content.2]", u"无"},          {u"[content.3]", u"own line"},
        {u"[打印人]", u"李老师"},         {u"[打印日期]", u"2025年3月5日"},
        {u"[打印时间]", u"9:07"},         {u"[机构名称]", u"星河琴行"},
        {u"[机构简称]", u"星河"},         {u"[机构地址]", u"北街1号"},
        {u"[机构联系方式]", u"555-0100"}, {u"[机构网站标题]", u"星河网站"},
    };
    for (const auto& [key, value] : expected)
        EXPECT_EQ(keys.value(QString::fromUtf16(key)), QString::fromUtf16(value))
            << QString::fromUtf16(key).toStdString();
    EXPECT_FALSE(keys.contains(QStringLiteral("[教室]"))) << "not offered for printing";
    EXPECT_FALSE(keys.contains(QStringLiteral("[content.4]")));
    EXPECT_FALSE(keys.contains(QStringLiteral("[编号]"))) << "sample keys only for samples";

    CXItem printer;
    printer.m_strName = QStringLiteral("王老师");
    record.FillPrintKeywords(keys, 0, &printer);
    EXPECT_EQ(keys.value(QStringLiteral("[打印人]")), QStringLiteral("王老师"));
}

TEST_F(PrintKeywords, SampleNumberAndPages)
{
    CCellRecord record;
    XPrintKeywords keys;
    record.FillPrintKeywords(keys, 1, nullptr);
    EXPECT_EQ(keys.value(QStringLiteral("[编号]")), QStringLiteral("B250001"));
    EXPECT_EQ(keys.value(QStringLiteral("[PAGENUM]")), QStringLiteral("1"));
    EXPECT_EQ(keys.value(QStringLiteral("[PAGECOUNT]")), QStringLiteral("2"));
}

TEST_F(PrintKeywords, WeChatKindAddsTheDetailSet)
{
    CCellRecord record;
    record.m_strRoom = QStringLiteral("A101");
    const_cast<CHead*>(Head(kRoom))->m_nColDetail = 1;
    XPrintKeywords normal, wechat;
    record.FillPrintKeywords(normal, 0, nullptr);
    record.FillPrintKeywords(wechat, 2, nullptr);
    const_cast<CHead*>(Head(kRoom))->m_nColDetail = 0;
    EXPECT_FALSE(normal.contains(QStringLiteral("[教室]")));
    EXPECT_EQ(wechat.value(QStringLiteral("[教室]")), QStringLiteral("A101"));
}

} // namespace
