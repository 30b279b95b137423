#pragma once

#include "XErrorReporter.h"

#include <QtCore/QByteArray>
#include <QtCore/QString>
#include <QtCore/QTemporaryDir>

#include <ostream>
#include <vector>

// gtest prints QStrings readably.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QByteArray& b, std::ostream* os) { *os << '"' << b.toStdString() << '"'; }
QT_END_NAMESPACE

// Collects error reports for the life of the object.
class ErrorCapture
{
public:
    ErrorCapture();
    ~ErrorCapture();
    std::vector<XErrorReport> reports;

private:
    XErrorSink m_previous;
};

// A program folder of its own for one test (LORVAN_HOME), restored afterwards.
class ScopedHome
{
public:
    ScopedHome();
    ~ScopedHome();
    QString Path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
};
