#include "IdentityChecks.h"
#include "TestSupport.h"
#include "XDateTime.h"

#include <gtest/gtest.h>

namespace {

TEST(IdentityChecks, IdCardNumbers)
{
    const struct
    {
        const char* text;
        bool ok;
        int sex;           // -1: not checked
        const char* birth; // "" for day 0
    } cases[] = {
        {"11010519491231002X", true, 1, "1949-12-31"},
        {"11010519491231002x", true, 1, "1949-12-31"},
        {"110105199003071239", true, 0, "1990-03-07"},
        {"110105200002290048", true, 1, "2000-02-29"},
        {"110105199013071232", true, 0, ""},   // month 13
        {"110105190002290041", true, 1, ""},   // 1900 was no leap year
        {"110105199003071238", false, -1, ""}, // wrong check character
        {"1101051990030712A9", false, -1, ""}, // a letter in position 17
        {"11010519900307123", false, -1, ""},
        {"1101051990030712390", false, -1, ""},
        {"", false, -1, ""},
    };
    for (const auto& c : cases) {
        int sex = -1;
        XDateTime birth(12345.0);
        EXPECT_EQ(CheckIdCardNumber(QString::fromLatin1(c.text), &sex, &birth), c.ok) << c.text;
        if (!c.ok)
            continue;
        EXPECT_EQ(sex, c.sex) << c.text;
        EXPECT_EQ(birth.IsValid() && birth.Day() != 0 ? birth.ToDate().toString(Qt::ISODate) : QString(),
                  QString::fromLatin1(c.birth))
            << c.text;
    }
    EXPECT_TRUE(CheckIdCardNumber(QStringLiteral("11010519491231002X")));
}

TEST(IdentityChecks, ClassifyPersonText)
{
    const struct
    {
        const char* text;
        const char16_t* kind;
    } cases[] = {
        {"13812345678", u"手机号"},      {"19912345678", u"手机号"},
        {"13812345678 ", u"姓名"},       {" 13812345678", u"姓名"},
        {"12812345678", u"姓名"},        {"1381234567", u"姓名"},
        {"138123456789", u"姓名"},       {"11010519491231002X", u"身份证号"},
        {"110105199003071238", u"姓名"}, {"Zhang San", u"姓名"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClassifyPersonText(QString::fromLatin1(c.text)), QString::fromUtf16(c.kind)) << c.text;
    EXPECT_EQ(ClassifyPersonText(QStringLiteral("张三")), QStringLiteral("姓名"));
}

} // namespace
