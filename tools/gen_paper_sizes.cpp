// One-off generator of resources/csv/430-papers.csv (not part of the build).
//
// The list is the printer paper list in its usual numeric order. Sizes of numbered papers
// come from Qt's page-size table (QPageSize::id of the numeric paper id), turned for the
// rotated kinds; papers that table lacks or sizes differently from the published list, and
// the driver-specific papers at the end, are given here in millimetres or inches.
//
// Build and run:
//   g++ -std=c++20 -fPIC tools/gen_paper_sizes.cpp -o /tmp/gen_paper_sizes \
//       $(pkg-config --cflags --libs Qt6Gui)
//   /tmp/gen_paper_sizes > resources/csv/430-papers.csv
#include <QtCore/QSizeF>
#include <QtGui/QPageSize>

#include <cmath>
#include <cstdio>

namespace {

struct Paper
{
    int windowsId; // 0: size given below
    bool rotated;
    double w, h; // used when windowsId is 0 or the table's size is not the published one
    bool inches;
    const char* name;
};

constexpr double kIn = 25.4;

const Paper kPapers[] = {
    {1, false, 0, 0, false, "信纸"},
    {3, false, 0, 0, false, "Tabloid"},
    {4, false, 0, 0, false, "Ledger"},
    {5, false, 0, 0, false, "法律专用纸"},
    {6, false, 0, 0, false, "Statement"},
    {7, false, 0, 0, false, "Executive"},
    {8, false, 0, 0, false, "A3"},
    {9, false, 0, 0, false, "A4"},
    {11, false, 0, 0, false, "A5"},
    {12, false, 0, 0, false, "B4 (JIS)"},
    {13, false, 0, 0, false, "B5 (JIS)"},
    {0, false, 8.5, 13, true, "Folio"},
    {0, false, 215, 275, false, "Quarto"},
    {16, false, 0, 0, false, "10x14"},
    {19, false, 0, 0, false, "信封 #9"},
    {20, false, 0, 0, false, "信封 #10"},
    {21, false, 0, 0, false, "信封 #11"},
    {22, false, 0, 0, false, "信封 #12"},
    {23, false, 0, 0, false, "信封 #14"},
    {0, false, 17, 22, true, "C size sheetData"},
    {0, false, 22, 34, true, "D size sheetData"},
    {0, false, 34, 44, true, "E size sheetData"},
    {27, false, 0, 0, false, "信封 DL"},
    {28, false, 0, 0, false, "信封 C5"},
    {29, false, 0, 0, false, "信封 C3"},
    {30, false, 0, 0, false, "信封 C4"},
    {31, false, 0, 0, false, "信封 C6"},
    {32, false, 0, 0, false, "信封 C65"},
    {33, false, 0, 0, false, "信封 B4"},
    {34, false, 0, 0, false, "信封 B5"},
    {35, false, 0, 0, false, "信封 B6"},
    {36, false, 0, 0, false, "信封"},
    {37, false, 0, 0, false, "信封 Monarch"},
    {38, false, 0, 0, false, "6 3/4 信封"},
    {39, false, 0, 0, false, "美国标准 Fanfold"},
    {40, false, 0, 0, false, "德国标准 Fanfold"},
    {43, false, 0, 0, false, "日式明信片"},
    {44, false, 0, 0, false, "9x11"},
    {45, false, 0, 0, false, "10x11"},
    {46, false, 0, 0, false, "15x11"},
    {47, false, 0, 0, false, "信封邀请函"},
    {50, false, 0, 0, false, "特大信纸"},
    {51, false, 0, 0, false, "特大法律专用纸"},
    {52, false, 0, 0, false, "Tabloid Extra"},
    {53, false, 0, 0, false, "A4 特大"},
    {57, false, 0, 0, false, "Super A"},
    {58, false, 0, 0, false, "Super B"},
    {59, false, 0, 0, false, "信纸加大"},
    {60, false, 0, 0, false, "A4 加大"},
    {63, false, 0, 0, false, "A3 特大"},
    {64, false, 0, 0, false, "A5 特大"},
    {65, false, 0, 0, false, "B5 (ISO) 特大"},
    {66, false, 0, 0, false, "A2"},
    {69, false, 0, 0, false, "日式往返明信片"},
    {70, false, 0, 0, false, "A6"},
    {71, false, 0, 0, false, "日式信封 Kaku #2"},
    {72, false, 0, 0, false, "日式信封 Kaku #3"},
    {73, false, 0, 0, false, "日式信封 Chou #3"},
    {74, false, 0, 0, false, "日式信封 Chou #4"},
    {75, true, 0, 0, false, "信纸旋转"},
    {76, true, 0, 0, false, "A3 旋转"},
    {77, true, 0, 0, false, "A4 旋转"},
    {78, true, 0, 0, false, "A5 旋转"},
    {79, true, 0, 0, false, "B4 (JIS) 旋转"},
    {80, true, 0, 0, false, "B5 (JIS) 旋转"},
    {81, true, 0, 0, false, "日式明信片旋转"},
    {82, true, 0, 0, false, "双层日式明信片旋转"},
    {83, true, 0, 0, false, "A6 旋转"},
    {84, true, 0, 0, false, "日式信封 Kaku #2 旋转"},
    {85, true, 0, 0, false, "日式信封 Kaku #3 旋转"},
    {86, true, 0, 0, false, "日式信封 Chou #3 旋转"},
    {87, true, 0, 0, false, "日式信封 Chou #4 旋转"},
    {88, false, 0, 0, false, "B6 (JIS)"},
    {89, true, 0, 0, false, "B6 (JIS) 旋转"},
    {90, false, 0, 0, false, "12x11"},
    {91, false, 0, 0, false, "日式信封 You #4"},
    {92, true, 0, 0, false, "日式信封 You #4 旋转"},
    {0, false, 188, 260, false, "PRC 16K"},
    {94, false, 0, 0, false, "PRC 32K"},
    {95, false, 0, 0, false, "PRC 32K(Big)"},
    {96, false, 0, 0, false, "PRC 信封 #1"},
    {97, false, 0, 0, false, "PRC 信封 #2"},
    {98, false, 0, 0, false, "PRC 信封 #3"},
    {99, false, 0, 0, false, "PRC 信封 #4"},
    {101, false, 0, 0, false, "PRC 信封 #6"},
    {102, false, 0, 0, false, "PRC 信封 #7"},
    {103, false, 0, 0, false, "PRC 信封 #8"},
    {0, false, 260, 188, false, "PRC 16K 旋转"},
    {107, true, 0, 0, false, "PRC 32K 旋转"},
    {108, true, 0, 0, false, "PRC 32K(大)旋转"},
    {109, true, 0, 0, false, "PRC 信封 #1 旋转"},
    {110, true, 0, 0, false, "PRC 信封 #2 旋转"},
    {112, true, 0, 0, false, "PRC 信封 #4 旋转"},
    {113, true, 0, 0, false, "PRC 信封 #5 旋转"},
    {114, true, 0, 0, false, "PRC 信封 #6 旋转"},
    {115, true, 0, 0, false, "PRC 信封 #7 旋转"},
    {116, true, 0, 0, false, "PRC 信封 #8 旋转"},
    {117, true, 0, 0, false, "PRC 信封 #9 旋转"},
    {118, true, 0, 0, false, "PRC 信封 #10 旋转"},
    {0, false, 4, 6, true, "North America 4×6"},
    {0, false, 127, 178, false, "Japan 2 LPhoto"},
    {0, false, 8, 10, true, "North America 8×10"},
    {0, false, 4, 7, true, "Paper 4×7"},
    {0, false, 89, 127, false, "Japan LPhoto"},
    {0, false, 5, 8, true, "Index Card 5×8"},
    {0, false, 3.5, 5, true, "3.5×5 in"},
    {0, false, 100, 148, false, "Postcard 100×148 mm"},
    {0, false, 210, 12 * kIn, false, "A4 Fanfold"},
    {0, false, 210, 305, false, "Fanfold 210×305 毫米"},
    {0, false, 148, 105, false, "卡片 148×105 毫米"},
    {0, false, 10.0 / 3, 4, true, "复写 3 1/3×4 英寸"},
    {0, false, 7.8, 4 + 5.0 / 7, true, "复写 7 4/5×4 5/7 英寸"},
    {0, false, 9, 5, true, "复写 9×5 英寸"},
    {0, false, 9, 3 + 2.0 / 3, true, "复写 9×3 2/3 英寸"},
    {0, false, 9.5, 4, true, "复写 9.5×4 英寸"},
    {0, false, 9.5, 5, true, "复写 9.5×5 英寸"},
    {0, false, 9.5, 5.5, true, "复写 9.5×5.5 英寸"},
    {0, false, 9.5, 6, true, "复写 9.5×6 英寸"},
    {0, false, 9.5, 11, true, "复写 9.5×11 英寸"},
    {0, false, 329, 483, false, "A3+"},
    {0, false, 353, 500, false, "B3"},
    {0, false, 0, 0, false, "自定义"},
};

int Tenths(double mm) { return static_cast<int>(std::lround(mm * 10)); }

} // namespace

int main()
{
    static_assert(std::size(kPapers) == 122);
    std::printf("; width,height,name: paper sizes in tenths of a millimetre\n");
    for (const Paper& p : kPapers) {
        double w = p.w, h = p.h;
        if (p.windowsId) {
            const QSizeF mm = QPageSize(QPageSize::id(p.windowsId)).size(QPageSize::Millimeter);
            w = p.rotated ? mm.height() : mm.width();
            h = p.rotated ? mm.width() : mm.height();
            if (w <= 0 || h <= 0) {
                std::fprintf(stderr, "no size for paper %d\n", p.windowsId);
                return 1;
            }
        } else if (p.inches) {
            w *= kIn;
            h *= kIn;
        }
        std::printf("%d,%d,%s\n", Tenths(w), Tenths(h), p.name);
    }
    return 0;
}
