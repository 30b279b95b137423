#pragma once

#include "CXAccessor.h"
#include "CXDBSession.h"
#include "TestSupport.h"

#include <QtCore/QString>

#include <functional>
#include <thread>

// A program folder of its own with a fresh database made from the schema; the shared
// connection is dropped on both ends, so no test sees another test's file.
class TempDatabase
{
public:
    TempDatabase();
    ~TempDatabase();
    QString Path() const { return m_path; }
    QString Home() const { return m_home.Path(); }

private:
    ScopedHome m_home;
    QString m_path;
};

// Runs the function on a thread that is not the UI thread and waits for it.
inline void OnWorker(const std::function<void()>& fn)
{
    std::thread t(fn);
    t.join();
}

// The first column of the first row of a query on a connection of the calling thread
// ("" for a NULL, "<error>" when it fails).
QString QueryText(const QString& sql);
double QueryNumber(const QString& sql);
bool Exec(const QString& sql);

// The stored-version row set directly (empty: removed).
void SetStoredVersion(const QString& version);
