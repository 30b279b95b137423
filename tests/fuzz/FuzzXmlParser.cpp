// libFuzzer target for the XML document: parsing, reading every element, editing, and the
// encoding helpers. After edits of a well-formed document the element table must be what
// a fresh parse of the edited text gives; a difference is reported as a crash.
#include "CXXmlDoc.h"
#include "XmlTreeDump.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 65536)
        return 0;
    // The first byte picks how the rest becomes text: UTF-8, or raw UTF-16 units (which
    // reach lone surrogates and every code unit).
    const auto* bytes = reinterpret_cast<const char*>(data + 1);
    const qsizetype n = static_cast<qsizetype>(size - 1);
    QString text;
    if (data[0] & 1) {
        text.resize(n / 2);
        std::memcpy(text.data(), bytes, static_cast<size_t>(n / 2) * 2);
    } else {
        text = QString::fromUtf8(bytes, n);
    }

    CXXmlDoc doc;
    const bool wellFormed = doc.SetDocText(text);
    CXXmlDoc::GetDeclaredEncoding(text);
    CXXmlDoc::UnescapeXmlText(text);

    const QString key = QStringLiteral("k");
    if (doc.FindElement()) {
        const int count = doc.NextFreeIndex();
        for (int i = 1; i < count; ++i) {
            doc.GetTagName(i);
            doc.GetAttribute(i, key);
            doc.GetText(i);
        }
        for (int i = 1; i < count; i += 3)
            doc.SetAttribute(i, key, text.left(16));
        doc.FindChildElement();
        doc.AddElement(QStringLiteral("n"), text.left(24),
                       CXXmlDoc::ADD_AS_CHILD | (data[0] & 2 ? CXXmlDoc::ADD_CDATA : 0));
        doc.IntoElement();
        doc.AddElement(QStringLiteral("m"), QString(), data[0] & 4 ? CXXmlDoc::ADD_NO_LINE_BREAK : 0);
        doc.InsertDocument(text);
        doc.OutOfElement();
        doc.AddElement(QStringLiteral("p"), QString(), CXXmlDoc::ADD_START_TAG_ONLY);
        doc.AddElement(QStringLiteral("q"), QString(), CXXmlDoc::ADD_AS_CHILD);
        if (wellFormed && DumpTree(doc) != Reparsed(doc)) {
            const QByteArray edited = doc.GetDocText().toUtf8();
            std::fprintf(stderr, "edited text:\n");
            std::fwrite(edited.constData(), 1, static_cast<size_t>(edited.size()), stderr);
            std::fprintf(stderr, "\ntable:\n%s\nfresh parse:\n%s\n", DumpTree(doc).c_str(), Reparsed(doc).c_str());
            __builtin_trap();
        }
    } else {
        doc.InsertDocument(text);
    }

    // the conversions over the raw bytes
    bool lost = false;
    const int units = CXXmlDoc::ConvertEncoding(QStringLiteral("UTF-8"), QStringLiteral("UTF-32"), bytes,
                                                static_cast<int>(n), nullptr, 0);
    std::vector<uint32_t> u32(static_cast<size_t>(units) + 1);
    CXXmlDoc::ConvertEncoding(QStringLiteral("UTF-8"), QStringLiteral("UTF-32"), bytes, static_cast<int>(n), u32.data(),
                              units, &lost);
    std::vector<char16_t> u16(static_cast<size_t>(units) * 2 + 1);
    CXXmlDoc::ConvertEncoding(QStringLiteral("UTF-32"), QStringLiteral("UTF-16"), u32.data(), units, u16.data(),
                              units * 2, &lost);
    std::vector<char> gbk(static_cast<size_t>(n) * 2 + 4);
    CXXmlDoc::ConvertEncoding(QStringLiteral("UTF-8"), QStringLiteral("GBK"), bytes, static_cast<int>(n), gbk.data(),
                              static_cast<int>(gbk.size()), &lost);
    return 0;
}
