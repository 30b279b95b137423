#pragma once

#include "CModuleEduRcd.h"
#include "CModuleEduSch.h"
#include "CModuleReceipt.h"
#include "CXDBSession.h"

#include <QtCore/QString>
#include <QtCore/QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <functional>
#include <initializer_list>
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

// What the teaching benchmarks run on: a temporary program folder whose database the program
// made, today fixed at 2026-06-15 10:00, the generated school in it, and the class-record,
// timetable and receipt modules registered over it (with any others the benchmark needs, all
// unregistered again at the end).
class XBenchSchoolSetUp
{
    QTemporaryDir m_home; // first: the folder outlives the connection to its database
    std::vector<CModule*> m_registered;

public:
    ~XBenchSchoolSetUp();
    // The folder, the database and the school, then `extraRows` in the same database; prints
    // what was generated and how long it took. False after a failed step (printed).
    bool Open(const std::function<bool(CXDBSession&, const XBenchSchool&)>& extraRows = {});
    // The three modules and `more` after them, then the columns their records write.
    bool RegisterModules(std::initializer_list<CModule*> more = {});

    CXDBSession session;
    XBenchSchool school;
    CModuleEduRcd classes;
    CModuleEduSch schedules;
    CModuleReceipt receipts;
};

// The month both benchmarks read: May 2026.
CXMap BenchMonthQuery();
