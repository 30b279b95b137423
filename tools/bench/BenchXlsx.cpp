// The list export against libxlsxwriter writing the same cells bare.
// Usage: bench_xlsx [rows=100000] [runs=5]            runs both in fresh processes, medians
//        bench_xlsx list|bare <rows> <file>              one run: seconds and peak memory
// "list" fills a record list (CXListCtrl, offscreen) and times OpenInExcel only; "bare"
// writes the same texts, numbers and formats straight through libxlsxwriter in
// constant-memory mode. Memory is the process's peak resident size, and for the list also
// its growth during the export (the list's records and texts exist before it starts).
#include "CHead.h"
#include "CXItem.h"
#include "CXListCtrl.h"
#include "XUi.h"

#include <xlsxwriter.h>

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace {

class CBenchLesson : public CXItemT<MDU_STUDENT>
{
public:
    static CHeads* StaticHeads()
    {
        return BuildHeadsOnce<CBenchLesson>([](CHeads& h) {
            const QString none;
            h.m_strItemType = QStringLiteral("课程");
            h.AddMemberHead({}, QStringLiteral("名称"), XSW, XOFFSET(CBenchLesson, m_strName), none, none, 0, 584, 10,
                            none);
            h.AddMemberHead({}, QStringLiteral("状态"), XIN, XOFFSET(CBenchLesson, m_nState),
                            QStringLiteral("停用|启用"), none, 0, 584, 0, none);
            CHead* fee = h.AddMemberHead({}, QStringLiteral("实收"), XNU, XOFFSET(CBenchLesson, m_fFee),
                                         QStringLiteral("%1.2f"), none, 0, 584, 8, none);
            fee->m_strPrefix = QStringLiteral("¥");
            h.AddMemberHead({}, QStringLiteral("日期"), XDT, XOFFSET(CBenchLesson, m_dtDate),
                            QStringLiteral("%Y-%m-%d"), none, 0, 584, 10, none);
            h.AddMemberHead({}, QStringLiteral("课时"), XIN, XOFFSET(CBenchLesson, m_nCount), QStringLiteral("%d"),
                            none, 0, 584, 4, none);
        });
    }
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CBenchLesson; }
    int m_nState = 0;
    double m_fFee = 0;
    int m_nCount = 0;
};

QString Name(int i) { return QStringLiteral("学员%1").arg(i); }

long PeakKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

long CurrentKb()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() > 1 ? parts[1].toLong() * 4 : 0;
}

int RunList(int argc, char** argv, int rows)
{
    QTemporaryDir home;
    qputenv("LORVAN_HOME", home.path().toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    CXArrayT<CBenchLesson> items;
    items.Reserve(rows);
    for (int i = 0; i < rows; ++i) {
        auto* l = new CBenchLesson;
        l->m_strName = Name(i);
        l->m_nState = i % 2;
        l->m_fFee = i * 0.5;
        l->m_dtDate = XDateTime(46000.0 + i % 365);
        l->m_nCount = i % 30;
        items.Add(l);
    }
    CXListCtrl list;
    list.resize(800, 600);
    list.m_bGroupable = 0;
    list.SetItems(&items, CBenchLesson::StaticHeads(), 0, 0);
    XUiTestHooks ui; // the written book is not opened
    const long before = CurrentKb();
    const auto t0 = std::chrono::steady_clock::now();
    QString path;
    list.OpenInExcel(path);
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (path.isEmpty())
        return 1;
    std::printf("%.4f %ld %ld\n", s, PeakKb(), PeakKb() - before);
    return 0;
}

int RunBare(int rows, const char* file)
{
    const auto t0 = std::chrono::steady_clock::now();
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* book = workbook_new_opt(file, &options);
    lxw_worksheet* sheet = workbook_add_worksheet(book, "课程");
    worksheet_gridlines(sheet, LXW_HIDE_ALL_GRIDLINES);
    worksheet_freeze_panes(sheet, 1, 0);
    lxw_format* header = workbook_add_format(book);
    format_set_pattern(header, LXW_PATTERN_SOLID);
    format_set_bg_color(header, 0xF0F0F0);
    lxw_format* fills[2][4];
    const char* numFormats[4] = {nullptr, nullptr, "¥0.00", "yyyy-mm-dd"};
    for (int p = 0; p < 2; ++p)
        for (int k = 0; k < 4; ++k) {
            lxw_format* f = workbook_add_format(book);
            format_set_pattern(f, LXW_PATTERN_SOLID);
            format_set_bg_color(f, p ? 0xF9F9F9 : 0xFFFFFF);
            format_set_align(f, LXW_ALIGN_VERTICAL_CENTER);
            if (numFormats[k])
                format_set_num_format(f, numFormats[k]);
            fills[p][k] = f;
        }
    for (int c = 0; c < 5; ++c)
        worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c), 12, nullptr);
    const char* captions[5] = {"名称", "状态", "实收", "日期", "课时"};
    worksheet_set_row(sheet, 0, 18, nullptr);
    for (int c = 0; c < 5; ++c)
        worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(c), captions[c], header);
    for (int i = 0; i < rows; ++i) {
        const auto r = static_cast<lxw_row_t>(i + 1);
        lxw_format** f = fills[i % 2];
        worksheet_set_row(sheet, r, 18, nullptr);
        worksheet_write_string(sheet, r, 0, Name(i).toUtf8().constData(), f[0]);
        worksheet_write_string(sheet, r, 1, i % 2 ? "启用" : "停用", f[1]);
        worksheet_write_number(sheet, r, 2, i * 0.5, f[2]);
        worksheet_write_number(sheet, r, 3, 46000.0 + i % 365, f[3]);
        worksheet_write_number(sheet, r, 4, i % 30, f[0]);
    }
    if (workbook_close(book) != LXW_NO_ERROR)
        return 1;
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::printf("%.4f %ld %ld\n", s, PeakKb(), 0L);
    return 0;
}

struct Result
{
    double seconds = 0;
    long peakKb = 0;
    long growthKb = 0;
};

bool RunChild(const char* self, const char* mode, int rows, const std::string& file, Result& out)
{
    const std::string n = std::to_string(rows);
    const std::string cmd = std::string("'") + self + "' " + mode + " " + n + " '" + file + "'";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p)
        return false;
    const int got = std::fscanf(p, "%lf %ld %ld", &out.seconds, &out.peakKb, &out.growthKb);
    return pclose(p) == 0 && got == 3;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "list")
        return RunList(argc, argv, std::atoi(argv[2]));
    if (argc == 4 && std::string(argv[1]) == "bare")
        return RunBare(std::atoi(argv[2]), argv[3]);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    QTemporaryDir dir;
    const std::string file = (dir.path() + QStringLiteral("/bare.xlsx")).toStdString();
    std::vector<Result> list, bare;
    for (int i = 0; i < runs; ++i) {
        Result l, b;
        if (!RunChild(argv[0], "list", rows, file, l) || !RunChild(argv[0], "bare", rows, file, b)) {
            std::fprintf(stderr, "a run failed\n");
            return 1;
        }
        list.push_back(l);
        bare.push_back(b);
    }
    auto median = [](std::vector<Result> v, auto field) {
        std::sort(v.begin(), v.end(), [&](const Result& a, const Result& b) { return a.*field < b.*field; });
        return v[v.size() / 2].*field;
    };
    const double ls = median(list, &Result::seconds), bs = median(bare, &Result::seconds);
    std::printf("%d rows, %d runs, medians\n", rows, runs);
    std::printf("list export (OpenInExcel, constant memory): %.3f s, peak %ld KB (growth during export %ld KB)\n", ls,
                median(list, &Result::peakKb), median(list, &Result::growthKb));
    std::printf("bare libxlsxwriter (constant memory):       %.3f s, peak %ld KB\n", bs, median(bare, &Result::peakKb));
    std::printf("time ratio list / bare: %.2f\n", ls / bs);
    return 0;
}
