// The committed corpus: files written the way our editor and the older one write them, the
// same content saved by LibreOffice Writer, and a table as Word writes it.
#include "RtfReader.h"
#include "RtfWriter.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QStandardPaths>
#include <QtCore/QTemporaryDir>
#include <QtCore/QUrl>
#include <QtGui/QTextDocument>

namespace {

const char* const kCorpus[] = {"ours-text.rtf",  "ours-table.rtf",   "ours-pict.rtf", "ours-cp1252.rtf",
                               "word-table.rtf", "lo-text.rtf",      "lo-table.rtf",  "lo-pict.rtf",
                               "lo-cp1252.rtf",  "lo-word-table.rtf"};

QByteArray Fixture(const QString& name)
{
    QFile f(QStringLiteral(LORVAN_TEST_DATA "/") + name);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
    return f.readAll();
}

// The document's text as lines, without pictures and empty lines (cells and paragraphs
// alike end a line).
QStringList Lines(QString text)
{
    text.remove(QChar(0xFEFF)).remove(QChar::ObjectReplacementCharacter).remove(QLatin1Char('\r'));
    for (const char16_t end : {u'\u2029', u'\u2028', u'\uFDD0', u'\uFDD1'})
        text.replace(QChar(end), QLatin1Char('\n'));
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList DocumentLines(const QByteArray& rtf)
{
    QTextDocument doc;
    EXPECT_GT(ReadRtf(rtf, doc), 0);
    return Lines(doc.toRawText());
}

TEST(RtfCorpus, WriterReaderWriterIsStable)
{
    for (const char* name : kCorpus) {
        QTextDocument doc;
        ASSERT_GT(ReadRtf(Fixture(name), doc), 0) << name;
        const QByteArray first = WriteRtf(doc);
        QTextDocument again;
        ReadRtf(first, again);
        EXPECT_EQ(again.toRawText(), doc.toRawText()) << name;
        EXPECT_EQ(WriteRtf(again), first) << name;
    }
}

TEST(RtfCorpus, FilesSavedByLibreOfficeReadAsTheirSource)
{
    for (const char* name : {"text.rtf", "table.rtf", "pict.rtf", "cp1252.rtf"})
        EXPECT_EQ(DocumentLines(Fixture(QStringLiteral("lo-") + name)),
                  DocumentLines(Fixture(QStringLiteral("ours-") + name)))
            << name;
    EXPECT_EQ(DocumentLines(Fixture("lo-word-table.rtf")), DocumentLines(Fixture("word-table.rtf")));
    EXPECT_EQ(DocumentLines(Fixture("ours-text.rtf")).value(0), "收据 [机构名称]");
}

TEST(RtfCorpus, LibreOfficeReadsOurTextBack)
{
    const QString soffice = QStandardPaths::findExecutable("soffice");
    if (soffice.isEmpty())
        GTEST_SKIP() << "soffice not found: install libreoffice-writer-nogui to check our RTF against LibreOffice";
    QTemporaryDir dir;
    QStringList files;
    std::vector<QStringList> expected;
    for (const char* name : kCorpus) {
        QTextDocument doc;
        ReadRtf(Fixture(name), doc);
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(WriteRtf(doc));
        files << path;
        expected.push_back(Lines(doc.toRawText()));
    }
    QProcess lo;
    lo.setProcessChannelMode(QProcess::MergedChannels);
    lo.start(soffice, QStringList{"--headless",
                                  "-env:UserInstallation=" + QUrl::fromLocalFile(dir.filePath("profile")).toString(),
                                  "--convert-to", "txt:Text (encoded):UTF8", "--outdir", dir.filePath("txt")} +
                          files);
    ASSERT_TRUE(lo.waitForFinished(120000)) << "soffice did not finish";
    for (qsizetype i = 0; i < files.size(); ++i) {
        QFile txt(dir.filePath("txt/" + QFileInfo(files[i]).completeBaseName() + ".txt"));
        ASSERT_TRUE(txt.open(QIODevice::ReadOnly)) << kCorpus[i] << lo.readAll().constData();
        QStringList lines = Lines(QString::fromUtf8(txt.readAll()));
        for (QString& l : lines)
            l.remove(QChar(0x2028)); // LibreOffice keeps a line break inside its line
        EXPECT_EQ(lines, expected[static_cast<size_t>(i)]) << kCorpus[i];
    }
}

} // namespace
