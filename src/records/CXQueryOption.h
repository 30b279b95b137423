#pragma once

#include "XDateTime.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>

// One condition a user may set on a module's list: the query-map key it writes (also the
// control id of its first control in the custom query form), its kind (QUERY_*), and for
// choice options the choices with the values they write.
class CXQueryOption
{
public:
    // An empty caption takes the display name of the command or module whose id is the key;
    // a zero date defaults to today. Choices and values are "|"-separated; values that do not
    // pair up with the choices become 0, 1, 2 ...; empty choices are dropped with their value.
    CXQueryOption(int kind, int key, int readOnly = 0, const QString& caption = QString(),
                  const QString& choices = QString(), const QString& values = QString(),
                  const XDateTime& defaultDate = XDateTime());

    // The description term of the option for the query ("[开始日期≥2024年3月1日]"); empty when
    // the query does not set the key or the value says nothing worth showing.
    QString GetQueryTerm(const class CXMap& query) const;

    int m_nKey;
    int m_nKind;
    int m_bReadOnly;
    QString m_strCaption;
    QStringList m_arrTexts;
    QList<int> m_arrValues;
    XDateTime m_dtDefault;
};
