#include "CMD5.h"
#include "CXMap.h"
#include "CommandIds.h"
#include "TestRecordClasses.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(CXBase, LinksReadBack)
{
    CXBase b;
    b.SetLink(QString::fromUtf8("<a href=\"xl:328:15\">钢琴</a> trailing text"));
    EXPECT_EQ(b.m_nMduID, 328);
    EXPECT_EQ(b.m_nID, 15);
    EXPECT_EQ(b.m_strName, QString::fromUtf8("钢琴"));

    // an escaped title comes back as written
    CXBase tricky;
    tricky.m_nMduID = 321;
    tricky.m_nID = 4;
    tricky.m_strName = QStringLiteral("A&B <初级>");
    CXBase back;
    back.SetLink(tricky.GetLink());
    EXPECT_EQ(back.m_strName, tricky.m_strName);
    EXPECT_EQ(back.m_nID, 4);

    for (const char* other :
         {"<a href=\"xc:32775\">新建</a>", "<a href=\"xl:328\">x</a>", "<a href=\"xl:1:2:3\">x</a>", "no link", ""}) {
        CXBase unchanged;
        unchanged.m_nMduID = 9;
        unchanged.m_nID = 8;
        unchanged.SetLink(QString::fromUtf8(other));
        EXPECT_EQ(unchanged.m_nMduID, 9) << other;
        EXPECT_EQ(unchanged.m_nID, 8) << other;
    }
    CXBase upper;
    upper.SetLink(QStringLiteral("<a href=\"XL:321:7\">Li</a>"));
    EXPECT_EQ(upper.m_nID, 7);
}

TEST(CXMap, XmlTextForm)
{
    const CXMap read(QStringLiteral("<r><x id=\"3\">abc</x><x id=\"0\">zz</x><y id=\"5\">q</y></r>"));
    EXPECT_EQ(read.GetCount(), 2);
    EXPECT_EQ(read.GetText(3), "abc");
    EXPECT_EQ(read.GetText(5), "q");
    EXPECT_EQ(CXMap(QStringLiteral("<r><x id=\"2\">a</x><x id=\"2\">b</x></r>")).GetText(2), "b");
    EXPECT_TRUE(CXMap(QStringLiteral("<r><x id=\"1\">a</r>")).IsEmpty()); // not well-formed
    EXPECT_TRUE(CXMap(QString()).IsEmpty());

    EXPECT_EQ(CXMap().ToXml(), "");
    CXMap one;
    one.SetText(1, QStringLiteral("a"));
    EXPECT_EQ(one.ToXml(), "<r><x id=\"1\">a</x></r>");
    CXMap tricky;
    tricky.SetText(20, QStringLiteral("line\r\nbreak & <tag>"));
    tricky.SetText(3, QString::fromUtf8("<a href=\"xl:321:5\">张三</a>"));
    const QString xml = tricky.ToXml();
    EXPECT_FALSE(xml.contains(u'\n'));
    EXPECT_TRUE(xml.startsWith("<r><x id=\"3\">")); // keys in order
    const CXMap again(xml);
    EXPECT_EQ(again.GetText(20), "linebreak & <tag>");
    EXPECT_EQ(again.GetText(3), tricky.GetText(3));
    EXPECT_EQ(CXMap(xml.toUtf8()).ToXml(), xml);
}

TEST(CXMap, IdListsAndItems)
{
    CXMap map;
    map.SetText(QKEY_EDIT_LINKS, QString::fromUtf8("<a href=\"xl:321:5\">张三</a> <a href=\"xl:321:9\">李四</a>"));
    map.SetText(321, QStringLiteral("5,9"));
    EXPECT_EQ(map.GetIdList(QKEY_EDIT_LINKS), "5,9");
    EXPECT_EQ(map.GetIdList(321), "5,9");

    CTestCharge parent;
    parent.m_nID = 77;
    CXArray refs(&parent, true);
    EXPECT_EQ(map.GetItems(QKEY_EDIT_LINKS, &refs), 2);
    ASSERT_EQ(refs.GetSize(), 2);
    EXPECT_EQ(refs[1]->m_nMduID, 321);
    EXPECT_EQ(refs[1]->m_nID, 9);
    EXPECT_EQ(refs[1]->m_strName, QString::fromUtf8("李四"));
    EXPECT_EQ(refs[1]->m_nParentID, 77);
    EXPECT_EQ(refs[1]->m_pArray, &refs);

    CXArray plain;
    EXPECT_EQ(map.GetItems(321, &plain), 2);
    EXPECT_EQ(plain[0]->m_nMduID, 321);
    EXPECT_EQ(plain[0]->m_nID, 5);
    EXPECT_EQ(plain[0]->m_strName, "...");
    EXPECT_EQ(map.GetItems(321, nullptr), 2);
    EXPECT_EQ(map.GetItems(999, nullptr), 0);
}

// A module whose accounts have a default password, as teachers and students do.
class CTestAccountModule : public CTestModuleCourse
{
public:
    QString GetDefaultPassword() const override { return password; }
    QString password = QStringLiteral("123456");
};

TEST(CXItem, PasswordsAgainstTheModuleDefault)
{
    CTestAccountModule module;
    RegisterModule(&module);
    CTestCourse user;
    const QString defaultDigest = Md5HexW(QStringLiteral("123456"));
    EXPECT_EQ(user.GetDefaultPassword(), "123456");

    EXPECT_TRUE(user.SetPassword(defaultDigest.toUpper()));
    EXPECT_EQ(user.m_strPassword, ""); // the default is never stored
    EXPECT_EQ(user.GetPassword(false), defaultDigest);
    EXPECT_EQ(user.GetPassword(true), "");

    const QString own = Md5HexW(QStringLiteral("secret"));
    EXPECT_TRUE(user.SetPassword(own.toUpper()));
    EXPECT_EQ(user.m_strPassword, own);
    EXPECT_EQ(user.GetPassword(true), own);

    // not a digest: refused, the stored password stays
    EXPECT_FALSE(user.SetPassword(QStringLiteral("x' OR '1'='1")));
    EXPECT_FALSE(user.SetPassword(own.left(31)));
    EXPECT_EQ(user.m_strPassword, own);
    EXPECT_TRUE(user.SetPassword(QString()));
    EXPECT_EQ(user.m_strPassword, "");

    // a user who never set one follows the default as it changes
    module.password = QStringLiteral("654321");
    EXPECT_EQ(user.GetPassword(false), Md5HexW(QStringLiteral("654321")));
    // a stored digest that became the default is dropped
    user.m_strPassword = Md5HexW(QStringLiteral("654321"));
    EXPECT_EQ(user.GetPassword(true), "");
    EXPECT_EQ(user.m_strPassword, "");
}

} // namespace
