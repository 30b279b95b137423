// A record written as a web page's XML in a process that has only a core application: the
// text colour of each field must not ask a GUI application that is not there.
#include "CDBSetup.h"
#include "CXXmlDoc.h"

#include <QtCore/QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    CDBSetup setup;
    setup.m_strName = QStringLiteral("星光艺术学校");
    CXXmlDoc doc(QStringLiteral("<r/>"));
    doc.FindElement();
    setup.WriteXml(doc, 1, 0, nullptr);
    const QString xml = doc.GetDocText();
    if (!xml.contains(QStringLiteral("星光艺术学校")) || !xml.contains(QStringLiteral("color=\""))) {
        std::fprintf(stderr, "the record's XML lacks its fields: %s\n", qPrintable(xml.left(400)));
        return 1;
    }
    std::puts("a record's XML is written without a GUI application");
    return 0;
}
