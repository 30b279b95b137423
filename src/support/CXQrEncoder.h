#pragma once

// QR code (Model 2) of a text, for the login codes the desktop shows: error-correction
// level H, mask pattern 0, versions 1 to 10. The result is process-wide state that the next
// Encode replaces; use it from the UI thread only.
class CXQrEncoder
{
public:
    static constexpr int kMaxSize = 57; // version 10

    // Builds the symbol of a NUL-terminated text (UTF-8, encoded byte by byte; there is no
    // Kanji mode). False, with the last symbol kept, for an empty text or one that does not
    // fit version 10.
    static bool Encode(const char* text);

    // Module count n = 4 x version + 17 of the last symbol.
    static int m_nSize;
    // [x][y], x to the right and y downward, for 0 <= x, y < n: 1 dark, 0 light.
    static unsigned char m_modules[kMaxSize][kMaxSize];
};
