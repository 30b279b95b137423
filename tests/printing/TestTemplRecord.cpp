// The template record: defaults, the checks against the printer, access, and the module's
// schemes.
#include "CModuleTempl.h"
#include "PrintTestSupport.h"
#include "RecordWriter.h"
#include "XPdfFileCatalog.h"

#include <gtest/gtest.h>

#include <QtCore/QTemporaryDir>

namespace {

using TemplRecord = PrintSchoolTest;

QString QueryNames(int mduId, const CXMap& query)
{
    CXArray items(nullptr, true);
    EXPECT_TRUE(FindModule(mduId)->QueryItems(items, query, true, false));
    QStringList names;
    for (const CXItem* item : items)
        names << item->m_strName;
    names.sort();
    return names.join(u',');
}

const CHead* Head(const char* caption) { return CDBTempl::StaticHeads()->FindByCaption(QString::fromUtf8(caption)); }

TEST_F(TemplRecord, NewTemplateDefaults)
{
    CDBTempl t;
    EXPECT_EQ(t.m_nPaperID, kPaperA4);
    EXPECT_EQ(kPaperA4, 194644020);
    EXPECT_EQ(t.GetPageSizeText(), QStringLiteral("210.0×297.0 mm²"));
    EXPECT_EQ(t.GetMarginsText(), QStringLiteral("10×10×10×10 mm⁴"));
    EXPECT_EQ(t.m_nOrientation, 0);
    EXPECT_EQ(t.m_nPagingIndex, 18);
    EXPECT_EQ(t.m_nPrintCopies, 1);
    EXPECT_EQ(t.m_nPrintDuplex, 0);
    EXPECT_EQ(t.m_nPrintColor, 0);
    EXPECT_EQ(t.m_bEnabled, 1);
    EXPECT_EQ(t.m_nTemplMduID, MDU_RECEIPT); // the first module that prints
    EXPECT_EQ(t.GetEmptyText(Head("打印机")), QStringLiteral("打印时选择"));
}

TEST_F(TemplRecord, ChecksAgainstThePrinter)
{
    QTemporaryDir out;
    XPdfFileCatalog catalog(out.path());
    catalog.m_caps[QStringLiteral("Office Laser")] = {2160, 3560, false, false}; // 216 x 356 mm, no colour, no duplex
    CDBTempl t;
    t.m_strName = QStringLiteral("A3");
    t.m_templ = "{\\rtf1 x}";
    t.m_strPrinter = QStringLiteral("Office Laser");
    t.m_nPaperID = (4200 << 16) | 2970; // A3, 297 x 420 mm
    t.m_fPaperWidth = 297;
    t.m_fPaperLength = 420;
    t.m_nPrintColor = 1;
    t.m_nPrintDuplex = 2;
    EXPECT_EQ(t.Validate(&FixtureUser(), false), ST_WARN);
    const QString text = t.GetStatusText();
    EXPECT_TRUE(text.contains(QStringLiteral("纸张尺寸 297×420 mm² 超出与打印机所支持的最大纸张尺寸 216×356 mm²")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("打印机不支持彩色打印，将切换到单色打印！")));
    EXPECT_TRUE(text.contains(QStringLiteral("打印机不支持双面打印，将切换到单面打印！")));
    EXPECT_EQ(t.m_nPaperID, 0); // custom, clamped to the printer
    EXPECT_DOUBLE_EQ(t.m_fPaperWidth, 216.0);
    EXPECT_DOUBLE_EQ(t.m_fPaperLength, 356.0);
    EXPECT_EQ(t.m_nPrintColor, 0);
    EXPECT_EQ(t.m_nPrintDuplex, 0);
    EXPECT_EQ(t.GetAccess(Head("彩色打印"), &FixtureUser()), 0);
    int min = 0, max = 0;
    t.GetRange(Head("页面宽度"), min, max);
    EXPECT_EQ(max, 216);

    // empty name and content stop; no printer warns
    CDBTempl empty;
    EXPECT_EQ(empty.Validate(&FixtureUser(), false), ST_STOP);
    EXPECT_TRUE(empty.GetStatusText().contains(QStringLiteral("请输入名称！")));
    EXPECT_TRUE(empty.GetStatusText().contains(QStringLiteral("打印模板内容无效！")));
    EXPECT_TRUE(empty.GetStatusText().contains(QStringLiteral("未指定打印机，打印时需要人工选择！")));
}

TEST_F(TemplRecord, AccessFollowsTheSettings)
{
    CDBTempl t;
    const CXItem* user = &FixtureUser();
    EXPECT_EQ(t.GetAccess(Head("页面宽度"), user), 0); // a paper chosen: its size is fixed
    t.m_nPaperID = 0;
    EXPECT_NE(t.GetAccess(Head("页面宽度"), user), 0);
    t.m_nPrintReplace = 1;
    EXPECT_EQ(t.GetAccess(Head("动态行"), user), -1);
    EXPECT_NE(t.GetAccess(Head("适用"), user), 0);
    t.m_nID = 5;
    EXPECT_EQ(t.GetAccess(Head("适用"), user), 0);
    EXPECT_EQ(t.GetDeleteWarning(), QStringLiteral("不再使用的打印模板建议停用而不是删除！"));
}

TEST_F(TemplRecord, SchemesAndModuleQuery)
{
    const struct
    {
        const char* name;
        int mdu;
        int enabled;
    } saved[] = {{"普通收据", MDU_COLLECT, 1}, {"报名收据", MDU_RECEIPT, 1}, {"旧报名收据", MDU_RECEIPT, 0}};
    for (const auto& s : saved) {
        CDBTempl t;
        t.m_strName = QString::fromUtf8(s.name);
        t.m_nTemplMduID = s.mdu;
        t.m_bEnabled = s.enabled;
        t.m_templ = LoadResourceBytes(450, RT_RTF);
        ASSERT_TRUE(SaveItem(nullptr, &t, nullptr, FixtureUser())) << s.name;
    }
    // the stored content comes back byte for byte
    CXArray all(nullptr, true);
    ASSERT_TRUE(FindModule(MDU_TEMPL)->QueryItems(all, CXMap(), false, false));
    ASSERT_EQ(all.GetSize(), 3);
    EXPECT_EQ(static_cast<CDBTempl*>(all.GetAt(0))->m_templ, LoadResourceBytes(450, RT_RTF));

    CXMap enabled;
    enabled.SetText(IDC_ENABLED, QStringLiteral("1"));
    EXPECT_EQ(QueryNames(MDU_TEMPL, enabled), QStringLiteral("报名收据,普通收据")); // sorted
    CXMap receipts;
    receipts.SetText(QKEY_MODULE, QString::number(MDU_RECEIPT));
    EXPECT_EQ(QueryNames(MDU_TEMPL, receipts), QStringLiteral("报名收据,旧报名收据"));
    CXArray schemes(nullptr, true);
    m_templModule->AddQuickQueries(schemes);
    ASSERT_EQ(schemes.GetSize(), 3);
    EXPECT_EQ(schemes.GetAt(2)->m_strName, QStringLiteral("全部"));
}

} // namespace
