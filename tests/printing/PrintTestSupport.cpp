#include "PrintTestSupport.h"

#include "CommandIds.h"
#include "CXDBSession.h"
#include "OpenDatabase.h"

#include <QtCore/QHash>
#include <QtGui/QFont>
#include <QtGui/QRawFont>

void PrintSchoolTest::SetUp()
{
    SchoolTest::SetUp();
    m_templModule = std::make_unique<CModuleTempl>();
    RegisterModule(m_templModule.get());
    CXDBSession session;
    session.Connect();
    ASSERT_TRUE(MarkWritableColumns(session, *CDBTempl::StaticHeads()));
}

void PrintSchoolTest::TearDown()
{
    UnregisterModule(m_templModule.get());
    m_templModule.reset();
    SchoolTest::TearDown();
}

std::unique_ptr<CDBTempl> PrintSchoolTest::BuiltIn(int resourceId, int mduId)
{
    auto templ = std::make_unique<CDBTempl>();
    templ->m_strName = LoadCommandText(resourceId);
    templ->m_nTemplMduID = mduId;
    templ->m_templ = LoadResourceBytes(resourceId, RT_RTF);
    EXPECT_FALSE(templ->m_templ.isEmpty()) << resourceId;
    return templ;
}

QString PdfText(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!p.waitForFinished(30000))
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString FoldRadicals(const QString& text)
{
    // the radical code points some fonts share glyphs with, to the ideographs of those glyphs
    static const QHash<QChar, QChar> fold = [] {
        QHash<QChar, QChar> map;
        const QRawFont font = QRawFont::fromFont(QFont(QStringLiteral("Noto Sans CJK SC")));
        QHash<quint32, QChar> ideographs;
        for (char16_t cp = 0x4E00; cp <= 0x9FFF; ++cp) {
            const QList<quint32> g = font.glyphIndexesForString(QString(QChar(cp)));
            if (!g.isEmpty() && g[0] && !ideographs.contains(g[0]))
                ideographs.insert(g[0], QChar(cp));
        }
        for (char16_t cp = 0x2E80; cp <= 0x2FDF; ++cp) {
            const QList<quint32> g = font.glyphIndexesForString(QString(QChar(cp)));
            if (!g.isEmpty() && ideographs.contains(g[0]))
                map.insert(QChar(cp), ideographs.value(g[0]));
        }
        return map;
    }();
    QString out = text;
    for (QChar& c : out)
        c = fold.value(c, c);
    return out;
}
