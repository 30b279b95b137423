#pragma once

#include "CXDBSession.h"

#include <QtCore/QString>

#include <algorithm>
#include <chrono>
#include <vector>

// The generated school the teaching benchmarks share (today fixed at 2026-06-15 by the
// caller): 50 teachers, 500 students, 20 courses each with a 48-lesson package at ¥100,
// 120 weekly timetables of one teacher and four students, each student with a receipt of the
// course, and a year of stored classes, all on time and each consuming its receipt.
struct XBenchSchool
{
    int teachers = 50, students = 500, timetables = 120, courses = 20, perClass = 4;
    int storedClasses = 0; // filled by the build
};

// Writes the school into the session's database in one transaction; false after a failed
// statement (printed).
bool BuildBenchSchool(CXDBSession& s, XBenchSchool& school);
// Runs statements that return no rows, printing the statement and error on failure.
bool BenchExec(CXDBSession& s, const QString& sql);

inline double Seconds(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

inline double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
