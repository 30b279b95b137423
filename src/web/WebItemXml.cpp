#include "WebItemXml.h"

#include "CXItem.h"
#include "CXXmlDoc.h"

#include <utility>

void WriteWebItemXml(CXItem& item, CXXmlDoc& doc, int mode, int spec, const CXItem* user)
{
    const bool isDefault = item.GetPassword(true).isEmpty();
    QString hash = std::exchange(item.m_strPassword, QString());
    item.WriteXml(doc, mode, spec, user);
    item.m_strPassword = std::move(hash);
    if (mode != 2)
        doc.SetAttribute(doc.m_nMainPos, QStringLiteral("isdefaultpwd"),
                         isDefault ? QStringLiteral("1") : QStringLiteral("0"));
}
