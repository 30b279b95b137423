// libFuzzer target for the .xlsx reader: any bytes as a book. Nothing may crash, hang or
// grow without bound; a book that fails leaves no cells behind.
#include "XSheetReader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1 << 20))
        return 0;
    // small limits, so that a bomb is found quickly and within the fuzzer's memory
    XReadLimits limits;
    limits.maxPartBytes = 8 << 20;
    limits.maxCells = 100000;
    XSheet sheet;
    QString error;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const bool ok = ReadXlsxData(bytes, sheet, &error, QString(), limits);
    if (!ok && (sheet.CellCount() != 0 || error.isEmpty()))
        std::abort();
    for (int r = 0; ok && r <= sheet.LastRow() && r < 64; ++r)
        for (int c = 0; c <= sheet.LastColumn() && c < 64; ++c) {
            double v = 0;
            sheet.Number(r, c, &v);
            sheet.Text(r, c);
        }
    return 0;
}
