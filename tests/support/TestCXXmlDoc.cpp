#include "CXXmlDoc.h"
#include "TestSupport.h"
#include "XmlTreeDump.h"

#include <gtest/gtest.h>

#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>

#include <random>

namespace {

const QString CRLF = QStringLiteral("\r\n");

// ---------------------------------------------------------------------------------------
// Parser

TEST(CXXmlDoc, ParseResults)
{
    const struct
    {
        const char16_t* text;
        bool wellFormed;
        const char16_t* log;
    } cases[] = {
        {u"<a><b/></a>", true, u""},
        {u"", false, u""},
        {u"plain text", false, u"<no_root_element/>"},
        {u"<a><b></a>", false, u"<unended_start_tag tagname=\"b\" offset=\"3\" offset2=\"7\"/>"},
        {u"<a></b></a>", false, u"<lone_end_tag tagname=\"b\" offset=\"3\"/>"},
        {u"<a/><b/>", false, u"<root_has_sibling/>"},
        {u"<1a/>", false, u"<first_tag_syntax offset=\"0\"/><no_root_element/>"},
        {u"<a>< b</a>", false,
         u"<first_tag_syntax offset=\"3\"/><unended_start_tag tagname=\"a\" offset=\"0\" offset2=\"10\"/>"},
        {u"<a><[x></a>", false, u"<first_tag_syntax offset=\"3\"/>"},
        {u"<a><!x></a>", false, u"<exclamation_tag_syntax offset=\"3\"/>"},
        {u"<a><!-x--></a>", false, u"<comment_tag_syntax offset=\"3\"/>"},
        {u"<a><![X[y]]></a>", false, u"<cdata_section_syntax offset=\"3\"/>"},
        {u"<!DOCTYPE a [<!Q>]><a/>", false, u"<doctype_tag_syntax offset=\"0\"/>"},
        {u"<a", false, u"<unterminated_tag_syntax type=\"start_tag\" offset=\"0\"/><no_root_element/>"},
        {u"<a/></a", false, u"<unterminated_tag_syntax type=\"end_tag\" offset=\"4\"/>"},
        {u"<a/><!-- x", false, u"<unterminated_tag_syntax type=\"comment\" offset=\"4\"/>"},
        {u"<a/><?pi x", false, u"<unterminated_tag_syntax type=\"processing_instruction\" offset=\"4\"/>"},
        {u"<a/><!DOCTYPE a", false, u"<unterminated_tag_syntax type=\"document_type\" offset=\"4\"/>"},
        {u"<a/><", false, u"<unterminated_tag_syntax type=\"tag\" offset=\"4\"/>"},
        {u"<a><![CDATA[x", false,
         u"<unterminated_tag_syntax type=\"cdata_section\" offset=\"3\"/>"
         u"<unended_start_tag tagname=\"a\" offset=\"0\" offset2=\"13\"/>"},
        // an unquoted value swallows the "/": this is a start tag without end
        {u"<a x=1/>", false, u"<unended_start_tag tagname=\"a\" offset=\"0\" offset2=\"8\"/>"},
        {u"<a x=1 />", true, u""},
        {u"<a x= />", true, u""},
        {u"<a x=\"1>\" y='\"/>'/>", true, u""},
        {u"<a>x > y <!-- <b> --> <![CDATA[<c>]]> <?p <d>?></a>", true, u""},
        {u"\uFEFF<?xml version=\"1.0\"?>\r\n<a/>\r\n", true, u""},
        {u"<!DOCTYPE a [<!ELEMENT a (#PCDATA)><!ATTLIST a x CDATA \"v>w\"><!-- c>d -->]><a/>", true, u""},
        {u"<a><B></b></a>", false,
         u"<lone_end_tag tagname=\"b\" offset=\"6\"/><unended_start_tag tagname=\"B\" offset=\"3\" offset2=\"11\"/>"},
    };
    for (const auto& c : cases) {
        CXXmlDoc doc;
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(doc.SetDocText(text), c.wellFormed) << text.toStdString();
        EXPECT_EQ(doc.GetResultLog(), QString::fromUtf16(c.log)) << text.toStdString();
        EXPECT_EQ(doc.Elem(0).nLength, text.size());
    }
}

TEST(CXXmlDoc, UnendedElementGivesUpItsChildrenAndItsErrorFlag)
{
    CXXmlDoc doc(QStringLiteral("<a><b></a>"));
    const int a = doc.Elem(0).iFirstChild;
    const int b = doc.Elem(a).iFirstChild;
    ASSERT_NE(b, 0);
    EXPECT_EQ(doc.Elem(b).nLength, 3);
    EXPECT_EQ(doc.Elem(b).nEndTagLen, 0);
    EXPECT_TRUE(doc.Elem(b).nFlags & CXXmlDoc::ELEM_UNENDED);
    EXPECT_EQ(doc.Elem(a).nLength, 10);
    EXPECT_TRUE(doc.Elem(0).nFlags & CXXmlDoc::ELEM_NOT_WELLFORMED);

    // c and its child d move up with b's unended close; the lone </x> inside b marks b,
    // and the mark moves on to a
    doc.SetDocText(QStringLiteral("<a><b><c><d/></c></x></a>"));
    EXPECT_EQ(DumpTree(doc), "a 0 25 3 4 0 280000 parent=-1\n"
                             "b 3 3 3 0 1 180000 parent=0\n"
                             "c 6 11 3 4 1 0 parent=0\n"
                             "d 9 4 4 0 2 80000 parent=2\n"
                             "doc 25\n");
    const int a2 = doc.Elem(0).iFirstChild;
    EXPECT_TRUE(doc.Elem(a2).nFlags & CXXmlDoc::ELEM_HAS_ERROR);
}

// Hostile nesting costs time in proportion to its length: unended tags hand their content
// on once each, and an end tag finds its element without walking the open ones.
TEST(CXXmlDoc, DeepUnendedNestingParsesInLinearTime)
{
    const int depth = 200000;
    QString text = QStringLiteral("<r>");
    for (int i = 0; i < depth; ++i)
        text += QStringLiteral("<a>");
    for (int i = 0; i < depth; ++i)
        text += QStringLiteral("</b>");
    text += QStringLiteral("</r>");
    QElapsedTimer timer;
    timer.start();
    CXXmlDoc doc(text);
    EXPECT_LT(timer.elapsed(), 20000);
    ASSERT_TRUE(doc.FindElement(QStringLiteral("r")));
    EXPECT_EQ(doc.Elem(doc.m_nMainPos).nLength, text.size());
    int n = 0;
    while (doc.FindChildElement(QStringLiteral("a"))) {
        ++n;
        ASSERT_EQ(doc.Elem(doc.m_nChildPos).nLevel, 1);
        ASSERT_EQ(doc.Elem(doc.m_nChildPos).nLength, 3);
    }
    EXPECT_EQ(n, depth);
    EXPECT_TRUE(doc.GetResultLog().startsWith(QStringLiteral("<lone_end_tag tagname=\"b\"")));
}

TEST(CXXmlDoc, TableGrowsAcrossPages)
{
    QString text = QStringLiteral("<r>");
    const int count = 70000;
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("<e/>");
    text += QStringLiteral("</r>");
    CXXmlDoc doc(text);
    ASSERT_TRUE(doc.FindElement(QStringLiteral("r")));
    int n = 0;
    int last = 0;
    while (doc.FindChildElement(QStringLiteral("e"))) {
        ++n;
        last = doc.m_nChildPos;
    }
    EXPECT_EQ(n, count);
    EXPECT_EQ(last, count + 1);
    EXPECT_EQ(doc.Elem(last).nStart, 3 + 4 * (count - 1));
    EXPECT_EQ(doc.Elem(doc.Elem(doc.Elem(0).iFirstChild).iFirstChild).iPrev, last);

    // and by adding: records of the first page stay intact when the second is added
    CXXmlDoc built;
    built.AddElement(QStringLiteral("r"));
    for (int i = 0; i < count; ++i)
        built.AddElement(QStringLiteral("e"), QString(), CXXmlDoc::ADD_AS_CHILD | CXXmlDoc::ADD_NO_LINE_BREAK);
    EXPECT_EQ(built.NextFreeIndex(), count + 2);
    EXPECT_EQ(DumpTree(built), Reparsed(built));
}

// ---------------------------------------------------------------------------------------
// Character references and encodings

TEST(CXXmlDoc, UnescapeCharacterReferences)
{
    const struct
    {
        const char16_t* in;
        const char16_t* out;
    } cases[] = {
        {u"&amp;lt;", u"&lt;"},
        {u"&#x41;&#65;&#X41;", u"AAA"},
        {u"&#x1F600;", u"\U0001F600"},
        {u"&nosuch; &#0; & x &#; &;", u"&nosuch; &#0; & x &#; &;"},
        {u"&eacute;&Eacute;&EACUTE;", u"\u00E9\u00C9\u00C9"},
        {u"&QUOT;&AMP;&apos;&Apos;", u"\"&''"},
        {u"&thetasym;&alefsym;", u"\u03D1\u2135"},
        // a tenth character, a non-ASCII one or no ";" leaves the "&"
        {u"&abcdefghij;", u"&abcdefghij;"},
        {u"&\u00E9;", u"&\u00E9;"},
        {u"&amp", u"&amp"},
        // no lone surrogates and nothing beyond Unicode
        {u"&#xD800;&#xDFFF;&#x110000;&#99999999;", u"&#xD800;&#xDFFF;&#x110000;&#99999999;"},
        {u"&#x10FFFF;", u"\U0010FFFF"},
        {u"&#12ab;", u"\u000C"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CXXmlDoc::UnescapeXmlText(QString::fromUtf16(c.in)), QString::fromUtf16(c.out))
            << QString::fromUtf16(c.in).toStdString();
}

TEST(CXXmlDoc, EncodingNames)
{
    const struct
    {
        const char* name;
        int codePage;
    } cases[] = {
        {"", 0},
        {"UTF-8", 65001},
        {"utf-8", 65001},
        {"UTF-32LE", 65005},
        {"UTF-32", 65005},
        {"utf-32", -1},
        {"x", -1},
        {"GBK", 936},
        {"gb2312", 936},
        {"GB18030", 54936},
        {"big5", 950},
        {"Shift_JIS", 932},
        {"ks_c_5601-1987", 949},
        {"euc-kr", 51949},
        {"US-ASCII", 20127},
        {"ascii", 20127},
        {"ISO-8859-1", 28591},
        {"l1", 28591},
        {"windows-1252", 1252},
        {"utf-16", 1200},
        {"UTF-16LE", 1200},
        {"unicode", 1200},
        {"ucs-2", 1200},
        {"utf-16be", 1201},
        {"ucs-2be", 1201},
        {"utf-7", 65000},
        {"koi8-r", 20866},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CXXmlDoc::GetEncodingCodePage(QString::fromLatin1(c.name)), c.codePage) << c.name;
    EXPECT_EQ(CXXmlDoc::GetEncodingCodePage(QString(100, u'a')), -1);
}

TEST(CXXmlDoc, DeclaredEncoding)
{
    const struct
    {
        const char16_t* text;
        const char16_t* encoding;
    } cases[] = {
        {u"<?xml version=\"1.0\" encoding=\"GBK\"?><a/>", u"GBK"},
        {u"<?XML ENCODING='utf-8' ?><a/>", u"utf-8"},
        {u"<?xml version=\"1.0\"?><a/>", u""},
        {u" <?xml version=\"1.0\" encoding=\"GBK\"?><a/>", u""},
        {u"<a encoding=\"GBK\"/>", u""},
        {u"<!DOCTYPE html><HTML><head><META http-equiv=\"content-type\" content=\"text/html; charset=gb2312\">"
         u"</head></HTML>",
         u"gb2312"},
        {u"<html><head><meta charset=\"x\"><meta http-equiv=\"Content-Type\" content=\"text/html;charset = big5\">",
         u"big5"},
        {u"<html><head></head><meta http-equiv=\"Content-Type\" content=\"charset=big5\">", u""},
        {u"<html><head><meta http-equiv=\"Refresh\" content=\"charset=big5\"></head>", u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CXXmlDoc::GetDeclaredEncoding(QString::fromUtf16(c.text)), QString::fromUtf16(c.encoding))
            << QString::fromUtf16(c.text).toStdString();
}

TEST(CXXmlDoc, Utf8CharacterCoding)
{
    const struct
    {
        QByteArray bytes;
        int cp;
        int consumed;
    } cases[] = {
        {"A", 'A', 1},
        {"\xC3\xA9", 0xE9, 2},
        {"\xE4\xB8\xAD", 0x4E2D, 3},
        {"\xF0\x9F\x98\x80", 0x1F600, 4},
        {"\xF8\x80", -1, 1},
        {"\x80", -1, 1},
        {"\xE4\xB8", -1, 2},
        {"\xE4"
         "A",
         -1, 1},
        {"\xF4\x90\x80\x80", -1, 4},
    };
    for (const auto& c : cases) {
        const char* p = c.bytes.constData();
        EXPECT_EQ(CXXmlDoc::DecodeUtf8Char(p, c.bytes.constData() + c.bytes.size()), c.cp) << c.bytes.toHex().data();
        EXPECT_EQ(p - c.bytes.constData(), c.consumed) << c.bytes.toHex().data();
        if (c.cp >= 0) {
            char out[8];
            int n = 1;
            CXXmlDoc::EncodeUtf8Char(c.cp, out, n);
            EXPECT_EQ(QByteArray(out + 1, n - 1), c.bytes);
            int counted = 0;
            CXXmlDoc::EncodeUtf8Char(c.cp, nullptr, counted);
            EXPECT_EQ(counted, c.bytes.size());
        }
    }
}

TEST(CXXmlDoc, ConvertEncoding)
{
    const QString text = QStringLiteral("中文A");
    const auto* u16 = text.utf16();
    // measuring, then converting into a buffer that is too small
    EXPECT_EQ(CXXmlDoc::ConvertEncoding("UTF-16", "GBK", u16, 3, nullptr, 0), 5);
    char gbk[8] = {};
    bool lost = true;
    EXPECT_EQ(CXXmlDoc::ConvertEncoding("UTF-16", "gbk", u16, 3, gbk, 8, &lost), 5);
    EXPECT_EQ(QByteArray(gbk, 5), QByteArray("\xD6\xD0\xCE\xC4"
                                             "A"));
    EXPECT_FALSE(lost);
    EXPECT_EQ(CXXmlDoc::ConvertEncoding("UTF-16", "GBK", u16, 3, gbk, 2), 2);

    // an unknown name is the ANSI page; code page to code page goes through UTF-16
    char utf8[16] = {};
    EXPECT_EQ(CXXmlDoc::ConvertEncoding("no-such", "UTF-8", "\xD6\xD0", 2, utf8, 16), 3);
    EXPECT_EQ(QByteArray(utf8, 3), QByteArray("\xE4\xB8\xAD"));

    // a character without a form in the target: "?" and the lost flag
    const QString emoji = QStringLiteral("a\U0001F600b");
    char latin[8] = {};
    EXPECT_EQ(CXXmlDoc::ConvertEncoding("UTF-16", "iso-8859-1", emoji.utf16(), 4, latin, 8, &lost), 3);
    EXPECT_EQ(QByteArray(latin, 3), QByteArray("a?b"));
    EXPECT_TRUE(lost);

    // UTF-16 to UTF-32: pairs combine, a surrogate at the end becomes "?"
    const char16_t pairs[] = {0xD83D, 0xDE00, u'x', 0xD83D};
    uint32_t u32[4] = {};
    EXPECT_EQ(CXXmlDoc::ConvertEncoding("UTF-16", "UTF-32", pairs, 4, u32, 4), 3);
    EXPECT_EQ(u32[0], 0x1F600u);
    EXPECT_EQ(u32[1], uint32_t('x'));
    EXPECT_EQ(u32[2], uint32_t('?'));

    // UTF-32 back to UTF-16 and to UTF-8; UTF-8 to UTF-32 with a bad sequence
    char16_t back[4] = {};
    EXPECT_EQ(CXXmlDoc::ConvertEncoding("UTF-32", "UTF-16", u32, 2, back, 4), 3);
    EXPECT_EQ(back[0], 0xD83D);
    EXPECT_EQ(back[1], 0xDE00);
    char bytes[8] = {};
    EXPECT_EQ(CXXmlDoc::ConvertEncoding("UTF-32", "UTF-8", u32, 1, bytes, 8), 4);
    EXPECT_EQ(CXXmlDoc::ConvertEncoding("UTF-8", "UTF-32",
                                        "a\xFF"
                                        "b",
                                        3, u32, 4),
              3);
    EXPECT_EQ(u32[1], uint32_t('?'));
    EXPECT_EQ(CXXmlDoc::ConvertEncoding("UTF-32", "GBK", u32, 1, bytes, 8), 0);
}

// ---------------------------------------------------------------------------------------
// Navigation

TEST(CXXmlDoc, FindAndMoveBetweenLevels)
{
    CXXmlDoc doc(QStringLiteral("<?xml version=\"1.0\"?><files><file n=\"1\"/><dir><file n=\"2\"/></dir>"
                                "<file n=\"3\"/></files>"));
    EXPECT_FALSE(doc.FindElement(QStringLiteral("/files")));
    EXPECT_FALSE(doc.FindElement(QStringLiteral("//files")));
    EXPECT_FALSE(doc.FindElement(QStringLiteral("files x")));
    EXPECT_FALSE(doc.FindElement(QStringLiteral("files[2")));

    // the first child search moves to the root element first
    ASSERT_TRUE(doc.FindChildElement(QStringLiteral("file")));
    EXPECT_EQ(doc.GetTagName(doc.m_nMainPos), QStringLiteral("files"));
    EXPECT_EQ(doc.GetAttribute(doc.m_nChildPos, QStringLiteral("n")), QStringLiteral("1"));
    // bracketed conditions do not narrow the match
    ASSERT_TRUE(doc.FindChildElement(QStringLiteral("file[@n='3']")));
    EXPECT_EQ(doc.GetAttribute(doc.m_nChildPos, QStringLiteral("n")), QStringLiteral("3"));
    EXPECT_FALSE(doc.FindChildElement(QStringLiteral("file")));

    doc.SetDocText(doc.GetDocText());
    ASSERT_TRUE(doc.FindElement(QStringLiteral("files[2]/dir[@n=x]/@n")));
    ASSERT_TRUE(doc.FindChildElement(QStringLiteral("dir")));
    ASSERT_TRUE(doc.IntoElement());
    EXPECT_EQ(doc.GetTagName(doc.m_nMainPos), QStringLiteral("dir"));
    ASSERT_TRUE(doc.FindChildElement());
    EXPECT_EQ(doc.GetAttribute(doc.m_nChildPos, QStringLiteral("n")), QStringLiteral("2"));
    ASSERT_TRUE(doc.OutOfElement());
    EXPECT_EQ(doc.GetTagName(doc.m_nMainPos), QStringLiteral("files"));
    EXPECT_EQ(doc.GetTagName(doc.m_nChildPos), QStringLiteral("dir"));
    EXPECT_FALSE(doc.OutOfElement());

    // into an element without a child position: nothing is current until a find
    doc.SetDocText(doc.GetDocText());
    ASSERT_TRUE(doc.FindElement());
    ASSERT_TRUE(doc.IntoElement());
    EXPECT_EQ(doc.m_nMainPos, 0);
    EXPECT_EQ(doc.NodeType(), 0);
    EXPECT_FALSE(doc.IntoElement());
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetAttribute(doc.m_nMainPos, QStringLiteral("n")), QStringLiteral("1"));
}

TEST(CXXmlDoc, AttributesAndText)
{
    CXXmlDoc doc(QStringLiteral("<a x='1 &amp; 2' x=\"dup\" y=bare z><b>x &amp; <![CDATA[<y>]]></b><c><d/>t</c>"
                                "<e> <!-- n --> &lt;t&gt; </e><f/><g>  </g></a>"));
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetAttribute(doc.m_nMainPos, QStringLiteral("x")), QStringLiteral("1 & 2"));
    EXPECT_EQ(doc.GetAttribute(doc.m_nMainPos, QStringLiteral("y")), QStringLiteral("bare"));
    EXPECT_EQ(doc.GetAttribute(doc.m_nMainPos, QStringLiteral("z")), QString());
    EXPECT_EQ(doc.GetAttribute(doc.m_nMainPos, QStringLiteral("X")), QString());
    EXPECT_EQ(doc.GetAttribute(0, QStringLiteral("x")), QString());

    const struct
    {
        const char* child;
        const char16_t* text;
    } texts[] = {{"b", u"x & <y>"}, {"c", u""}, {"e", u" <t> "}, {"f", u""}, {"g", u"  "}};
    for (const auto& t : texts) {
        doc.m_nChildPos = 0;
        ASSERT_TRUE(doc.FindChildElement(QString::fromLatin1(t.child)));
        EXPECT_EQ(doc.GetText(doc.m_nChildPos), QString::fromUtf16(t.text)) << t.child;
    }
    EXPECT_EQ(doc.GetText(0), QString());
}

// ---------------------------------------------------------------------------------------
// Editing and output

TEST(CXXmlDoc, BuildingADocument)
{
    CXXmlDoc doc;
    ASSERT_TRUE(doc.AddElement(QStringLiteral("r")));
    EXPECT_EQ(doc.GetDocText(), QStringLiteral("<r/>") + CRLF);
    EXPECT_EQ(doc.GetTagName(doc.m_nMainPos), QStringLiteral("r"));
    ASSERT_TRUE(doc.AddElement(QStringLiteral("x"), QString(), CXXmlDoc::ADD_AS_CHILD));
    EXPECT_EQ(doc.GetDocText(), QStringLiteral("<r>\r\n<x/>\r\n</r>\r\n"));
    ASSERT_TRUE(doc.AddElement(QStringLiteral("y"), QStringLiteral("1 < 2 & 3"), CXXmlDoc::ADD_AS_CHILD));
    ASSERT_TRUE(
        doc.AddElement(QStringLiteral("z"), QStringLiteral("a]]>b<"), CXXmlDoc::ADD_AS_CHILD | CXXmlDoc::ADD_CDATA));
    ASSERT_TRUE(
        doc.AddElement(QStringLiteral("s"), QString(), CXXmlDoc::ADD_AS_CHILD | CXXmlDoc::ADD_SPACE_BEFORE_SLASH));
    EXPECT_FALSE(doc.AddElement(QStringLiteral("t"), QStringLiteral("x"), CXXmlDoc::ADD_START_TAG_ONLY));
    EXPECT_EQ(doc.GetDocText(), QStringLiteral("<r>\r\n<x/>\r\n<y>1 &lt; 2 &amp; 3</y>\r\n"
                                               "<z><![CDATA[a]]]]><![CDATA[>b<]]></z>\r\n<s />\r\n</r>\r\n"));
    EXPECT_EQ(doc.GetText(doc.m_nChildPos - 1), QStringLiteral("a]]>b<"));
    ASSERT_TRUE(doc.SetAttribute(doc.m_nMainPos, QStringLiteral("q"), QStringLiteral("say \"hi\" & 'bye'")));
    EXPECT_EQ(doc.GetAttribute(doc.m_nMainPos, QStringLiteral("q")), QStringLiteral("say \"hi\" & 'bye'"));
    EXPECT_TRUE(doc.GetDocText().startsWith(QStringLiteral("<r q=\"say &quot;hi&quot; &amp; &apos;bye&apos;\">")));
    EXPECT_EQ(DumpTree(doc), Reparsed(doc));

    // a sibling at the document level lands after the line break of the element before
    ASSERT_TRUE(doc.AddElement(QStringLiteral("r2")));
    EXPECT_TRUE(doc.GetDocText().endsWith(QStringLiteral("</r>\r\n<r2/>\r\n")));
    ASSERT_TRUE(doc.AddElement(QStringLiteral("r3"), QString(), CXXmlDoc::ADD_NO_LINE_BREAK));
    EXPECT_TRUE(doc.GetDocText().endsWith(QStringLiteral("<r2/><r3/>\r\n")));
    EXPECT_EQ(DumpTree(doc), Reparsed(doc));

    CXXmlDoc empty;
    EXPECT_FALSE(empty.AddElement(QStringLiteral("x"), QString(), CXXmlDoc::ADD_AS_CHILD));
    EXPECT_FALSE(empty.AddElement(QString()));
    EXPECT_FALSE(empty.AddElement(QStringLiteral("a b")));
    EXPECT_EQ(empty.GetDocText(), QString());
}

TEST(CXXmlDoc, ChildrenOpenTheirParent)
{
    const struct
    {
        const char16_t* text;
        int flags;
        const char16_t* result;
    } cases[] = {
        {u"<p/>", 0, u"<p>\r\n<c/>\r\n</p>"},
        {u"<p x='1' />", 0, u"<p x='1' >\r\n<c/>\r\n</p>"},
        {u"<p/>", CXXmlDoc::ADD_NO_LINE_BREAK, u"<p><c/></p>"},
        {u"<p></p>", 0, u"<p>\r\n<c/>\r\n</p>"},
        {u"<p>text</p>", 0, u"<p>text<c/>\r\n</p>"},
        {u"<p>\r\n  <a/>\r\n</p>", 0, u"<p>\r\n  <a/>\r\n<c/>\r\n</p>"},
        {u"<q><p></q>", 0, u"<q><p>\r\n<c/>\r\n</p></q>"},
        {u"<p //>", 0, u"<p / >\r\n<c/>\r\n</p>"},
    };
    for (const auto& c : cases) {
        CXXmlDoc doc(QString::fromUtf16(c.text));
        ASSERT_TRUE(doc.FindElement());
        if (doc.GetTagName(doc.m_nMainPos) == u"q") {
            ASSERT_TRUE(doc.FindChildElement());
            ASSERT_TRUE(doc.IntoElement());
        }
        ASSERT_TRUE(doc.AddElement(QStringLiteral("c"), QString(), CXXmlDoc::ADD_AS_CHILD | c.flags));
        EXPECT_EQ(doc.GetDocText(), QString::fromUtf16(c.result)) << QString::fromUtf16(c.text).toStdString();
        EXPECT_EQ(DumpTree(doc), Reparsed(doc)) << QString::fromUtf16(c.text).toStdString();
    }

    // a start tag written alone gets its end with its first child
    CXXmlDoc doc;
    ASSERT_TRUE(doc.AddElement(QStringLiteral("p"), QString(), CXXmlDoc::ADD_START_TAG_ONLY));
    EXPECT_EQ(doc.GetDocText(), QStringLiteral("<p>\r\n"));
    ASSERT_TRUE(doc.AddElement(QStringLiteral("c"), QStringLiteral("t"), CXXmlDoc::ADD_AS_CHILD));
    EXPECT_EQ(doc.GetDocText(), QStringLiteral("<p>\r\n<c>t</c>\r\n</p>\r\n"));
    EXPECT_EQ(DumpTree(doc), Reparsed(doc));
}

TEST(CXXmlDoc, SetAttributeReplacesOrAppends)
{
    CXXmlDoc doc(QStringLiteral("<r><a x='old' y=\"2\" z=bare\t/><b>t</b></r>"));
    ASSERT_TRUE(doc.FindElement());
    ASSERT_TRUE(doc.FindChildElement(QStringLiteral("a")));
    const int a = doc.m_nChildPos;
    ASSERT_TRUE(doc.SetAttribute(a, QStringLiteral("x"), QStringLiteral("new")));
    ASSERT_TRUE(doc.SetAttribute(a, QStringLiteral("z"), QStringLiteral("q")));
    ASSERT_TRUE(doc.SetAttribute(a, QStringLiteral("w"), QStringLiteral("<&>")));
    EXPECT_EQ(doc.GetDocText(), QStringLiteral("<r><a x=\"new\" y=\"2\" z=\"q\" w=\"&lt;&amp;&gt;\"\t/><b>t</b></r>"));
    EXPECT_EQ(DumpTree(doc), Reparsed(doc));
    ASSERT_TRUE(doc.SetAttribute(doc.m_nMainPos, QStringLiteral("v"), QStringLiteral("1")));
    EXPECT_TRUE(doc.GetDocText().startsWith(QStringLiteral("<r v=\"1\"><a")));
    EXPECT_EQ(DumpTree(doc), Reparsed(doc));
    ASSERT_TRUE(doc.FindChildElement(QStringLiteral("b")));
    EXPECT_EQ(doc.GetText(doc.m_nChildPos), QStringLiteral("t"));

    // a quote that opens no value does not carry the new attribute past the tag's end
    doc.SetDocText(QStringLiteral("<r \"v>t\"></r>"));
    ASSERT_TRUE(doc.FindElement());
    ASSERT_TRUE(doc.SetAttribute(doc.m_nMainPos, QStringLiteral("k"), QStringLiteral("v")));
    EXPECT_EQ(doc.GetDocText(), QStringLiteral("<r \"v k=\"v\">t\"></r>"));
    EXPECT_EQ(DumpTree(doc), Reparsed(doc));

    // nor does a "=" without a value, nor a tag name the parser reads differently
    for (const char16_t* text : {u"<r a=\"0\" x=\r>t</r>", u"<r=>t</r>", u"<r?x=1>t</r>"}) {
        doc.SetDocText(QString::fromUtf16(text));
        ASSERT_TRUE(doc.FindElement());
        const QString name = doc.GetTagName(doc.m_nMainPos);
        ASSERT_TRUE(doc.SetAttribute(doc.m_nMainPos, QStringLiteral("k"), QStringLiteral("v w")));
        EXPECT_EQ(doc.GetAttribute(doc.m_nMainPos, QStringLiteral("k")), QStringLiteral("v w"));
        EXPECT_EQ(DumpTree(doc), Reparsed(doc)) << doc.GetDocText().toStdString();
        EXPECT_EQ(doc.GetTagName(doc.m_nMainPos), name);
    }

    // an unquoted value ending in a quote before "/>" leaves the element empty
    doc.SetDocText(QStringLiteral("<r><i id=)2\"/></r>"));
    ASSERT_TRUE(doc.FindChildElement());
    ASSERT_TRUE(doc.SetAttribute(doc.m_nChildPos, QStringLiteral("k"), QStringLiteral("v")));
    ASSERT_TRUE(doc.SetAttribute(doc.m_nChildPos, QStringLiteral("id"), QStringLiteral("3")));
    EXPECT_EQ(doc.GetDocText(), QStringLiteral("<r><i id=\"3\" k=\"v\"/></r>"));
    EXPECT_EQ(DumpTree(doc), Reparsed(doc));

    EXPECT_FALSE(doc.SetAttribute(0, QStringLiteral("x"), QStringLiteral("1")));
    EXPECT_FALSE(doc.SetAttribute(a, QStringLiteral("a=b"), QStringLiteral("1")));
}

TEST(CXXmlDoc, InsertDocument)
{
    CXXmlDoc doc(QStringLiteral("<r>\r\n<a/>\r\n<z/>\r\n</r>"));
    ASSERT_TRUE(doc.FindElement());
    ASSERT_TRUE(doc.IntoElement());
    ASSERT_TRUE(doc.FindElement(QStringLiteral("a")));
    EXPECT_TRUE(doc.InsertDocument(QStringLiteral("<?xml version=\"1.0\"?>\r\n<b k=\"1\"><c/></b><d/>\r\n")));
    EXPECT_EQ(doc.GetDocText(), QStringLiteral("<r>\r\n<a/>\r\n<b k=\"1\"><c/></b><d/>\r\n<z/>\r\n</r>"));
    EXPECT_EQ(doc.GetTagName(doc.m_nMainPos), QStringLiteral("b"));
    EXPECT_EQ(doc.GetAttribute(doc.m_nMainPos, QStringLiteral("k")), QStringLiteral("1"));
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetTagName(doc.m_nMainPos), QStringLiteral("d"));
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetTagName(doc.m_nMainPos), QStringLiteral("z"));
    EXPECT_EQ(DumpTree(doc), Reparsed(doc));

    // a text that is not well-formed goes in as it stands, and what was recognised is linked
    EXPECT_FALSE(doc.InsertDocument(QStringLiteral("<e><f></e>")));
    EXPECT_EQ(doc.GetDocText(), QStringLiteral("<r>\r\n<a/>\r\n<b k=\"1\"><c/></b><d/>\r\n<z/><e><f></e>\r\n</r>"));
    EXPECT_EQ(doc.GetTagName(doc.m_nMainPos), QStringLiteral("e"));
    EXPECT_EQ(DumpTree(doc), Reparsed(doc));

    CXXmlDoc empty;
    EXPECT_FALSE(empty.InsertDocument(QStringLiteral("no elements")));
    EXPECT_EQ(empty.GetDocText(), QStringLiteral("no elements"));
    EXPECT_EQ(empty.m_nMainPos, 0);
    EXPECT_TRUE(empty.InsertDocument(QStringLiteral("<x/><y/>")));
    EXPECT_EQ(DumpTree(empty), Reparsed(empty));
}

// Random edits keep the element table exactly what a fresh parse of the text gives.
TEST(CXXmlDoc, RandomEditsMatchAFreshParse)
{
    std::mt19937 rng(20261210);
    const QString names[] = {QStringLiteral("a"), QStringLiteral("bb"), QStringLiteral("列表"), QStringLiteral("d")};
    const QString texts[] = {QString(), QStringLiteral("x"), QStringLiteral("1 < 2 & \"3\""), QStringLiteral("]]>"),
                             QStringLiteral("  ")};
    for (int round = 0; round < 200; ++round) {
        CXXmlDoc doc;
        doc.AddElement(QStringLiteral("root"));
        for (int step = 0; step < 40; ++step) {
            switch (rng() % 7) {
            case 0:
            case 1:
            case 2: {
                int flags = 0;
                if (rng() % 2)
                    flags |= CXXmlDoc::ADD_AS_CHILD;
                if (rng() % 4 == 0)
                    flags |= CXXmlDoc::ADD_NO_LINE_BREAK;
                if (rng() % 4 == 0)
                    flags |= CXXmlDoc::ADD_CDATA;
                if (rng() % 4 == 0)
                    flags |= CXXmlDoc::ADD_SPACE_BEFORE_SLASH;
                doc.AddElement(names[rng() % 4], texts[rng() % 5], flags);
                break;
            }
            case 3: {
                const int pos = rng() % 2 ? doc.m_nMainPos : doc.m_nChildPos;
                const QString value = texts[rng() % 5] + QString::number(rng() % 1000);
                const QString& name = names[rng() % 4];
                if (doc.SetAttribute(pos, name, value)) {
                    ASSERT_EQ(doc.GetAttribute(pos, name), value);
                }
                break;
            }
            case 4:
                if (doc.m_nChildPos && rng() % 2)
                    doc.IntoElement();
                else
                    doc.OutOfElement();
                break;
            case 5:
                if (!doc.FindChildElement())
                    doc.FindElement();
                break;
            case 6:
                if (doc.m_nParentPos && rng() % 3 == 0)
                    doc.InsertDocument(QStringLiteral("<i n=\"%1\"><j/></i>\r\n<k/>").arg(step));
                break;
            }
            ASSERT_EQ(DumpTree(doc), Reparsed(doc)) << "round " << round << " step " << step << "\n"
                                                    << doc.GetDocText().toStdString();
        }
    }
}

TEST(CXXmlDoc, ResultLogStopsGrowingPast999Characters)
{
    CXXmlDoc doc;
    for (int i = 0; i < 100; ++i)
        doc.AddResult(QStringLiteral("lone_end_tag"), 0, QStringLiteral("x<\""), i, 7);
    const QString log = doc.GetResultLog();
    EXPECT_TRUE(log.startsWith(QStringLiteral("<lone_end_tag tagname=\"x&lt;&quot;\" offset=\"0\" offset2=\"7\"/>")));
    EXPECT_GT(log.size(), 999);
    EXPECT_LT(log.size(), 1100);
    CXXmlDoc parsed(QStringLiteral("<log>") + log + QStringLiteral("</log>"));
    EXPECT_EQ(parsed.GetResultLog(), QString());
}

TEST(CXXmlDoc, WriteTextFile)
{
    QTemporaryDir dir;
    auto read = [](const QString& path) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    };
    QString log;
    const QString plain = dir.filePath(QStringLiteral("plain.xml"));
    ASSERT_TRUE(CXXmlDoc::WriteTextFile(QStringLiteral("\uFEFF<a>中</a>"), plain, &log));
    EXPECT_EQ(read(plain), QByteArray("\xEF\xBB\xBF<a>\xE4\xB8\xAD</a>"));
    EXPECT_EQ(log, QStringLiteral("<converted_from encoding=\"UTF-16\" length=\"9\"/>"
                                  "<write encoding=\"UTF-8\" length=\"13\"/>"));

    const QString gbk = dir.filePath(QStringLiteral("gbk.xml"));
    const QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"GBK\"?><a>中\U0001F600</a>");
    ASSERT_TRUE(CXXmlDoc::WriteTextFile(text, gbk, &log));
    const QByteArray bytes = read(gbk);
    EXPECT_TRUE(bytes.endsWith(QByteArray("<a>\xD6\xD0?</a>")));
    EXPECT_EQ(log, QStringLiteral("<converted_from encoding=\"UTF-16\" length=\"%1\"/><conversion_loss/>"
                                  "<write encoding=\"GBK\" length=\"%2\"/>")
                       .arg(text.size())
                       .arg(bytes.size()));

    EXPECT_FALSE(CXXmlDoc::WriteTextFile(QStringLiteral("<a/>"), dir.filePath(QStringLiteral("no/such/x.xml")), &log));
    EXPECT_EQ(log, QStringLiteral("<file_error msg=\"No such file or directory\" n=\"2\"/>"));
}

} // namespace
