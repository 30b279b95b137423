#include "CXQrEncoder.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

int CXQrEncoder::m_nSize = 0;
unsigned char CXQrEncoder::m_modules[kMaxSize][kMaxSize] = {};

namespace {

enum Mode { Numeric, Alphanumeric, Byte };

constexpr int kModeBits[] = {0x1, 0x2, 0x4};
// Character-count widths by mode for versions 1-9 and 10-26.
constexpr int kCountBits[][2] = {{10, 12}, {9, 11}, {8, 16}};
constexpr int kMaxBits = 3200;
constexpr int kMaxText = kMaxBits / 8;
constexpr int kFormatWord = 0x1689; // level H, mask 0

// Level H symbol structure of versions 1-10 (ISO/IEC 18004): total codewords,
// error-correction codewords per block, the two block groups (count, data codewords per
// block; the second group's blocks hold one more) and the alignment centres besides 6.
struct Version
{
    int total;
    int ecPerBlock;
    int blocks1, data1;
    int blocks2;
    int align[2];

    int DataCodewords() const { return blocks1 * data1 + blocks2 * (data1 + 1); }
};

constexpr Version kVersions[11] = {
    {},
    {26, 17, 1, 9, 0, {}},
    {44, 28, 1, 16, 0, {18}},
    {70, 22, 2, 13, 0, {22}},
    {100, 16, 4, 9, 0, {26}},
    {134, 22, 2, 11, 2, {30}},
    {172, 28, 4, 15, 0, {34}},
    {196, 26, 4, 13, 1, {22, 38}},
    {242, 26, 4, 14, 2, {24, 42}},
    {292, 24, 4, 12, 4, {26, 46}},
    {346, 28, 6, 15, 2, {28, 50}},
};

struct Segment
{
    Mode mode;
    int length; // bytes of the text
};

int AlphanumericValue(unsigned char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    const char* p = c ? std::strchr(" $%*+-./:", c) : nullptr;
    return p ? 36 + static_cast<int>(p - " $%*+-./:") : -1;
}

Mode Classify(unsigned char c)
{
    if (c >= '0' && c <= '9')
        return Numeric;
    return AlphanumericValue(c) >= 0 ? Alphanumeric : Byte;
}

int Cost(Mode mode, int length, int group)
{
    int bits = 4 + kCountBits[mode][group];
    switch (mode) {
    case Numeric:
        bits += 10 * (length / 3) + (length % 3 == 1 ? 4 : length % 3 == 2 ? 7 : 0);
        break;
    case Alphanumeric:
        bits += 11 * (length / 2) + 6 * (length % 2);
        break;
    case Byte:
        bits += 8 * length;
        break;
    }
    return bits;
}

int Cost(const Segment& s, int group) { return Cost(s.mode, s.length, group); }

std::vector<Segment> SplitIntoRuns(const unsigned char* text, int length)
{
    std::vector<Segment> segs;
    for (int i = 0; i < length; ++i) {
        const Mode m = Classify(text[i]);
        if (segs.empty() || segs.back().mode != m)
            segs.push_back({m, 0});
        ++segs.back().length;
    }
    return segs;
}

// Adjacent numeric and alphanumeric runs: one alphanumeric run where that is shorter,
// unless giving one of them to a neighbouring byte run is shorter still.
void MergeNumericAlphanumeric(std::vector<Segment>& segs, int group)
{
    auto isByte = [&](size_t k) { return k < segs.size() && segs[k].mode == Byte; };
    size_t j = 0;
    while (j + 1 < segs.size()) {
        const Segment a = segs[j], b = segs[j + 1];
        const bool pair =
            (a.mode == Numeric && b.mode == Alphanumeric) || (a.mode == Alphanumeric && b.mode == Numeric);
        if (!pair) {
            ++j;
            continue;
        }
        const int f = Cost(a, group), g = Cost(b, group);
        const int h = Cost(Alphanumeric, a.length + b.length, group);
        if (h >= f + g) {
            ++j;
            continue;
        }
        int u = 0, t = 0;
        if (j > 0 && isByte(j - 1)) {
            u = g + Cost(Byte, segs[j - 1].length + a.length, group);
            if (h + Cost(segs[j - 1], group) < u)
                u = 0;
        }
        if (isByte(j + 2)) {
            t = f + Cost(Byte, b.length + segs[j + 2].length, group);
            if (h + Cost(segs[j + 2], group) < t)
                t = 0;
        }
        if (u && (!t || u < t)) {
            segs[j - 1].length += a.length;
            segs.erase(segs.begin() + static_cast<long>(j));
        } else if (t) {
            segs[j + 2].length += b.length;
            segs.erase(segs.begin() + static_cast<long>(j + 1));
        } else {
            segs[j] = {Alphanumeric, a.length + b.length};
            segs.erase(segs.begin() + static_cast<long>(j + 1));
            if (j + 1 < segs.size() && segs[j + 1].mode == Alphanumeric) {
                segs[j].length += segs[j + 1].length;
                segs.erase(segs.begin() + static_cast<long>(j + 1));
            }
            if (j > 0 && segs[j - 1].mode == Alphanumeric) {
                segs[j - 1].length += segs[j].length;
                segs.erase(segs.begin() + static_cast<long>(j));
            }
        }
        // the same j again, over the changed list
    }
}

// Neighbouring runs become one byte run where that is shorter; a byte run beside them
// saves its own header.
void MergeIntoBytes(std::vector<Segment>& segs, int group)
{
    const int header = 4 + kCountBits[Byte][group];
    size_t i = 0;
    while (i + 1 < segs.size()) {
        const bool byteBefore = i > 0 && segs[i - 1].mode == Byte;
        const bool byteAfter = i + 2 < segs.size() && segs[i + 2].mode == Byte;
        const int e = Cost(segs[i], group), f = Cost(segs[i + 1], group);
        int g = Cost(Byte, segs[i].length + segs[i + 1].length, group);
        if (byteBefore)
            g -= header;
        if (byteAfter)
            g -= header;
        if (g >= e + f) {
            ++i;
            continue;
        }
        segs[i] = {Byte, segs[i].length + segs[i + 1].length};
        segs.erase(segs.begin() + static_cast<long>(i + 1));
        if (byteAfter) {
            segs[i].length += segs[i + 1].length;
            segs.erase(segs.begin() + static_cast<long>(i + 1));
        }
        if (byteBefore) {
            segs[i - 1].length += segs[i].length;
            segs.erase(segs.begin() + static_cast<long>(i));
            --i;
        }
        if (i > 0)
            --i;
    }
}

class BitStream
{
public:
    bool Put(int value, int bits)
    {
        if (m_count + bits > kMaxBits)
            return false;
        for (int k = bits - 1; k >= 0; --k, ++m_count) {
            if (value >> k & 1)
                m_bytes[m_count / 8] |= static_cast<unsigned char>(0x80 >> (m_count % 8));
        }
        return true;
    }
    int Count() const { return m_count; }
    const unsigned char* Bytes() const { return m_bytes; }

private:
    unsigned char m_bytes[kMaxBits / 8] = {};
    int m_count = 0;
};

bool WriteSegments(const unsigned char* text, const std::vector<Segment>& segs, int group, BitStream& out)
{
    for (const Segment& s : segs) {
        const int countBits = kCountBits[s.mode][group];
        if (s.length >= 1 << countBits)
            return false;
        if (!out.Put(kModeBits[s.mode], 4) || !out.Put(s.length, countBits))
            return false;
        const unsigned char* p = text;
        text += s.length;
        bool ok = true;
        switch (s.mode) {
        case Numeric:
            for (int k = 0; k < s.length && ok; k += 3) {
                const int n = s.length - k < 3 ? s.length - k : 3;
                int value = 0;
                for (int d = 0; d < n; ++d)
                    value = value * 10 + (p[k + d] - '0');
                ok = out.Put(value, n == 3 ? 10 : n == 2 ? 7 : 4);
            }
            break;
        case Alphanumeric:
            for (int k = 0; k < s.length && ok; k += 2) {
                if (k + 1 < s.length)
                    ok = out.Put(AlphanumericValue(p[k]) * 45 + AlphanumericValue(p[k + 1]), 11);
                else
                    ok = out.Put(AlphanumericValue(p[k]), 6);
            }
            break;
        case Byte:
            for (int k = 0; k < s.length && ok; ++k)
                ok = out.Put(p[k], 8);
            break;
        }
        if (!ok)
            return false;
    }
    return true;
}

// GF(256) with the field polynomial x^8 + x^4 + x^3 + x^2 + 1.
struct Galois
{
    unsigned char exp[512];
    unsigned char log[256];

    Galois()
    {
        int x = 1;
        for (int i = 0; i < 255; ++i) {
            exp[i] = exp[i + 255] = static_cast<unsigned char>(x);
            log[x] = static_cast<unsigned char>(i);
            x <<= 1;
            if (x & 0x100)
                x ^= 0x11D;
        }
        exp[510] = exp[511] = 0;
        log[0] = 0;
    }
    unsigned char Mul(unsigned char a, unsigned char b) const { return a && b ? exp[log[a] + log[b]] : 0; }
};

const Galois& Field()
{
    static const Galois field;
    return field;
}

// The error-correction codewords of a block: the remainder of data(x) * x^n divided by the
// generator (x - a^0)(x - a^1)...(x - a^(n-1)).
std::vector<unsigned char> ReedSolomon(const unsigned char* data, int length, int n)
{
    const Galois& gf = Field();
    std::vector<unsigned char> gen(1, 1); // highest power first
    for (int i = 0; i < n; ++i) {
        std::vector<unsigned char> next(gen.size() + 1, 0);
        for (size_t k = 0; k < gen.size(); ++k) {
            next[k] ^= gen[k];
            next[k + 1] ^= gf.Mul(gen[k], gf.exp[i]);
        }
        gen.swap(next);
    }
    std::vector<unsigned char> rem(static_cast<size_t>(n), 0);
    for (int k = 0; k < length; ++k) {
        const unsigned char factor = data[k] ^ rem[0];
        rem.erase(rem.begin());
        rem.push_back(0);
        for (int m = 0; m < n; ++m)
            rem[static_cast<size_t>(m)] ^= gf.Mul(gen[static_cast<size_t>(m) + 1], factor);
    }
    return rem;
}

// Data codewords cut into blocks, each followed by its error correction, then interleaved
// codeword by codeword over the blocks.
std::vector<unsigned char> Interleave(const Version& v, const std::vector<unsigned char>& data)
{
    struct Block
    {
        const unsigned char* data;
        int length;
        std::vector<unsigned char> ec;
    };
    std::vector<Block> blocks;
    const unsigned char* p = data.data();
    for (int b = 0; b < v.blocks1 + v.blocks2; ++b) {
        const int length = v.data1 + (b < v.blocks1 ? 0 : 1);
        blocks.push_back({p, length, ReedSolomon(p, length, v.ecPerBlock)});
        p += length;
    }
    std::vector<unsigned char> out;
    out.reserve(static_cast<size_t>(v.total));
    for (int k = 0; k <= v.data1; ++k) {
        for (const Block& b : blocks) {
            if (k < b.length)
                out.push_back(b.data[k]);
        }
    }
    for (int k = 0; k < v.ecPerBlock; ++k) {
        for (const Block& b : blocks)
            out.push_back(b.ec[static_cast<size_t>(k)]);
    }
    return out;
}

// Cell flags while the symbol is built.
constexpr unsigned char kFunction = 0x20;
constexpr unsigned char kFunctionDark = 0x10;
constexpr unsigned char kDataDark = 0x02;
constexpr unsigned char kMaskedDark = 0x01;

class Matrix
{
public:
    explicit Matrix(int n) : m_n(n) {}

    void SetFunction(int x, int y, bool dark) { m_cells[x][y] = kFunction | (dark ? kFunctionDark : 0); }
    bool IsFunction(int x, int y) const { return m_cells[x][y] & kFunction; }

    void Finder(int left, int top)
    {
        for (int dy = -1; dy <= 7; ++dy) {
            for (int dx = -1; dx <= 7; ++dx) {
                const int x = left + dx, y = top + dy;
                if (x < 0 || y < 0 || x >= m_n || y >= m_n)
                    continue;
                const int ring = std::max(std::abs(dx - 3), std::abs(dy - 3));
                SetFunction(x, y, ring != 2 && ring != 4);
            }
        }
    }

    void Alignment(int cx, int cy)
    {
        for (int dy = -2; dy <= 2; ++dy) {
            for (int dx = -2; dx <= 2; ++dx)
                SetFunction(cx + dx, cy + dy, std::max(std::abs(dx), std::abs(dy)) != 1);
        }
    }

    // Bit i of the word (0 = least significant) in the two format copies.
    void Format(int word)
    {
        auto bit = [word](int i) { return (word >> i & 1) != 0; };
        for (int i = 0; i <= 5; ++i)
            SetFunction(8, i, bit(i));
        SetFunction(8, 7, bit(6));
        SetFunction(8, 8, bit(7));
        SetFunction(7, 8, bit(8));
        for (int i = 9; i < 15; ++i)
            SetFunction(14 - i, 8, bit(i));
        for (int i = 0; i < 8; ++i)
            SetFunction(m_n - 1 - i, 8, bit(i));
        for (int i = 8; i < 15; ++i)
            SetFunction(8, m_n - 15 + i, bit(i));
        SetFunction(8, m_n - 8, true);
    }

    void VersionInformation(int version)
    {
        // BCH(18,6): the version followed by the remainder of its division by 0x1F25
        int rem = version << 12;
        for (int bit = 17; bit >= 12; --bit) {
            if (rem >> bit & 1)
                rem ^= 0x1F25 << (bit - 12);
        }
        const int word = version << 12 | rem;
        for (int i = 0; i < 18; ++i) {
            const bool dark = (word >> i & 1) != 0;
            const int a = m_n - 11 + i % 3, b = i / 3;
            SetFunction(a, b, dark);
            SetFunction(b, a, dark);
        }
    }

    // Two-column zig-zag from the bottom-right corner, the vertical timing column skipped.
    void PlaceData(const std::vector<unsigned char>& codewords)
    {
        const size_t bits = codewords.size() * 8;
        size_t k = 0;
        bool upward = true;
        for (int right = m_n - 1; right > 0; right -= 2) {
            if (right == 6)
                right = 5;
            for (int step = 0; step < m_n; ++step) {
                const int y = upward ? m_n - 1 - step : step;
                for (int x = right; x >= right - 1; --x) {
                    if (IsFunction(x, y))
                        continue;
                    if (k < bits && (codewords[k / 8] >> (7 - k % 8) & 1))
                        m_cells[x][y] |= kDataDark;
                    ++k;
                }
            }
            upward = !upward;
        }
    }

    void MaskPattern0()
    {
        for (int x = 0; x < m_n; ++x) {
            for (int y = 0; y < m_n; ++y) {
                if (IsFunction(x, y))
                    continue;
                const bool dark = (m_cells[x][y] & kDataDark) != 0;
                if (dark != ((x + y) % 2 == 0))
                    m_cells[x][y] |= kMaskedDark;
            }
        }
    }

    void CopyTo(unsigned char out[][CXQrEncoder::kMaxSize]) const
    {
        for (int x = 0; x < CXQrEncoder::kMaxSize; ++x) {
            for (int y = 0; y < CXQrEncoder::kMaxSize; ++y)
                out[x][y] = (m_cells[x][y] & (kFunctionDark | kMaskedDark)) ? 1 : 0;
        }
    }

private:
    int m_n;
    unsigned char m_cells[CXQrEncoder::kMaxSize][CXQrEncoder::kMaxSize] = {};
};

} // namespace

bool CXQrEncoder::Encode(const char* text)
{
    const size_t length = text ? std::strlen(text) : 0;
    if (length == 0 || length > static_cast<size_t>(kMaxText))
        return false;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);

    // Versions 1-9, then 10 with its wider count fields. Whatever needs more is refused: the
    // module matrix ends at version 10.
    int version = 0;
    BitStream bits;
    for (int group = 0; group < 2 && !version; ++group) {
        std::vector<Segment> segs = SplitIntoRuns(bytes, static_cast<int>(length));
        MergeNumericAlphanumeric(segs, group);
        MergeIntoBytes(segs, group);
        bits = BitStream();
        if (!WriteSegments(bytes, segs, group, bits))
            continue;
        const int needed = (bits.Count() + 7) / 8;
        for (int v = group == 0 ? 1 : 10; v <= (group == 0 ? 9 : 10) && !version; ++v) {
            if (kVersions[v].DataCodewords() >= needed)
                version = v;
        }
    }
    if (!version)
        return false;

    const Version& v = kVersions[version];
    const int capacity = v.DataCodewords() * 8;
    bits.Put(0, std::min(4, capacity - bits.Count()));
    if (bits.Count() % 8)
        bits.Put(0, 8 - bits.Count() % 8);
    std::vector<unsigned char> data(bits.Bytes(), bits.Bytes() + bits.Count() / 8);
    for (bool ec = true; static_cast<int>(data.size()) < v.DataCodewords(); ec = !ec)
        data.push_back(ec ? 0xEC : 0x11);

    const int n = version * 4 + 17;
    Matrix m(n);
    m.Finder(0, 0);
    m.Finder(n - 7, 0);
    m.Finder(0, n - 7);
    m.Format(0); // reserved now, written last
    if (version >= 7)
        m.VersionInformation(version);
    int centres[3] = {6, v.align[0], v.align[1]};
    for (int cx : centres) {
        for (int cy : centres) {
            if (cx && cy && !m.IsFunction(cx, cy))
                m.Alignment(cx, cy);
        }
    }
    for (int i = 8; i < n - 8; ++i) {
        if (!m.IsFunction(i, 6))
            m.SetFunction(i, 6, i % 2 == 0);
        if (!m.IsFunction(6, i))
            m.SetFunction(6, i, i % 2 == 0);
    }
    m.PlaceData(Interleave(v, data));
    m.MaskPattern0();
    m.Format(kFormatWord);

    m_nSize = n;
    m.CopyTo(m_modules);
    return true;
}
