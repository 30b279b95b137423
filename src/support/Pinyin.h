#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QString>

// Upper-case pinyin without tones, by a character's GB 2312 position, for finding names by
// their spelling or initials.

// The syllable of a qu-wei code ((lead - 0xA0) * 100 + trail - 0xA0): level-2 characters
// (5601 on) from their own table, level-1 characters from the range of their syllable
// (1601-5589); "?" for anything else.
const char* GetPinyinSyllable(int code);

// GBK bytes with each GB 2312 character replaced by its syllable; ASCII is copied. A GBK
// character outside GB 2312 gives "?"; a stray high byte is dropped.
QByteArray GbkToPinyin(const QByteArray& bytes);

// Each character above 127 converted alone to code page 936 and spelled; other characters
// kept. With initials, only the first letter of each spelling and no other characters:
// "张三" gives "ZHANGSAN" or "ZS", "A张b" gives "AZHANGb" or "Z".
QString GetPinyin(const QString& text, bool initials);
