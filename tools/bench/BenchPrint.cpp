// Rendering a receipt into the built-in enrolment-receipt template and printing it to PDF,
// against the office suite converting the same filled RTF to PDF.
//
//   cmake --build <dir> --target bench_print && <dir>/tools/bench/bench_print
#include "CDBReceipt.h"
#include "CXPrintView.h"
#include "Resources.h"
#include "RtfWriter.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtGui/QGuiApplication>
#include <QtGui/QTextDocument>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    CXPrintView view;
    view.m_templ.m_strName = QStringLiteral("报名收据");
    view.m_templ.m_templ = LoadResourceBytes(452, RT_RTF);
    CDBReceipt receipt;
    receipt.FillPrintKeywords(view.m_keywords, 1, nullptr); // the demonstration receipt

    // warm-up: fonts are loaded once per process
    view.BuildRtf(-1, -1);
    view.WritePdf(dir.filePath(QStringLiteral("warm.pdf")), QString());
    const int runs = 20;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < runs; ++i) {
        view.BuildRtf(-1, -1);
        view.WritePdf(dir.filePath(QStringLiteral("ours.pdf")), QString());
    }
    const double ours = t.nsecsElapsed() / 1e6 / runs;

    QFile rtf(dir.filePath(QStringLiteral("filled.rtf")));
    rtf.open(QIODevice::WriteOnly);
    rtf.write(WriteRtf(view.Document()));
    rtf.close();
    double office = 0;
    const int officeRuns = 3;
    for (int i = 0; i < officeRuns; ++i) {
        QProcess p;
        t.restart();
        p.start(QStringLiteral("soffice"),
                {QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("pdf"),
                 QStringLiteral("--outdir"), dir.path(), rtf.fileName()});
        if (!p.waitForFinished(120000) || p.exitCode() != 0) {
            std::printf("soffice failed or is missing\n");
            return 1;
        }
        office += t.nsecsElapsed() / 1e6;
    }
    office /= officeRuns;
    std::printf("ours: %.1f ms per receipt (%d pages)\noffice suite: %.1f ms\nratio: %.3f\n", ours, view.GetPageCount(),
                office, ours / office);
    return 0;
}
