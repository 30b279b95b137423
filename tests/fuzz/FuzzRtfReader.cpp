// libFuzzer target: any bytes through the RTF reader, and what it built through the writer
// and the reader again.
#include "RtfReader.h"
#include "RtfWriter.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QTextDocument>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray rtf = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QTextDocument doc;
    const qsizetype read = ReadRtf(rtf, doc);
    if (read < 0 || read > rtf.size())
        std::abort();
    if (read == 0)
        return 0;
    const QByteArray out = WriteRtf(doc);
    QTextDocument again;
    if (ReadRtf(out, again) != out.size())
        std::abort(); // our own output must read to its end
    return 0;
}
