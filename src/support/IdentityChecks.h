#pragma once

#include <QtCore/QString>

class XDateTime;

// What a login name is: "手机号" for a mobile number (1, a digit 3-9, nine digits, nothing
// else), else "身份证号" when CheckIdCardNumber accepts it, else "姓名".
QString ClassifyPersonText(const QString& text);

// An 18-character resident identity number: 17 ASCII digits and the check character of
// their weighted sum ("X" or "x" for 10). On success, *birthDate (when given) is the date of
// characters 7-14, or day 0 when no such date exists, and *sex (when given) is 1 when the
// 17th digit is even, else 0.
bool CheckIdCardNumber(const QString& text, int* sex = nullptr, XDateTime* birthDate = nullptr);
