#include "IdentityChecks.h"

#include "XDateTime.h"

#include <QtCore/QRegularExpression>

QString ClassifyPersonText(const QString& text)
{
    static const QRegularExpression mobile(QStringLiteral("\\A1[3-9][0-9]{9}\\z"));
    if (mobile.match(text).hasMatch())
        return QStringLiteral("手机号");
    if (CheckIdCardNumber(text))
        return QStringLiteral("身份证号");
    return QStringLiteral("姓名");
}

bool CheckIdCardNumber(const QString& text, int* sex, XDateTime* birthDate)
{
    static constexpr int kWeights[17] = {7, 9, 10, 5, 8, 4, 2, 1, 6, 3, 7, 9, 10, 5, 8, 4, 2};
    static constexpr char kCheck[] = "10X98765432";

    if (text.size() != 18)
        return false;
    int sum = 0;
    for (int i = 0; i < 17; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return false;
        sum += (c - u'0') * kWeights[i];
    }
    const QChar check = text[17].toUpper();
    if (check != QLatin1Char(kCheck[sum % 11]))
        return false;

    if (birthDate) {
        *birthDate = XDateTime(0.0);
        const XDateTime date(text.mid(6, 4).toInt(), text.mid(10, 2).toInt(), text.mid(12, 2).toInt());
        if (date.IsValid())
            *birthDate = date;
    }
    if (sex)
        *sex = (text[16].unicode() - u'0') % 2 == 0 ? 1 : 0;
    return true;
}
