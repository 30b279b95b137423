#pragma once

// What the timetable's field tables share (CDBEduSch.cpp and its lines' part file): the long
// date format and the words of the field table entries.
#include <QtCore/QString>

namespace EduSchHeads {
inline const QString kLongDate = QStringLiteral("%Y年%#m月%#d日");

// Input words: web 1/2 (bits 0-2), editable 8. Column words: D 1, V 8, S 64, B 512. List
// words: sort 1 ascending / 2 descending, grouping << 3, mark 64, title 512.
constexpr unsigned kEdit = 8, kWeb1 = 1, kWeb2 = 2;
constexpr unsigned kColD = 1, kColV = 8, kColS = 64, kColB = 512;
constexpr unsigned kTitle = 512, kMark = 64;
} // namespace EduSchHeads
