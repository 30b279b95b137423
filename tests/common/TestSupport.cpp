#include "TestSupport.h"

ErrorCapture::ErrorCapture()
{
    m_previous = SetErrorSink([this](const XErrorReport& r) { reports.push_back(r); });
}

ErrorCapture::~ErrorCapture() { SetErrorSink(m_previous); }

ScopedHome::ScopedHome() : m_previous(qgetenv("LORVAN_HOME")) { qputenv("LORVAN_HOME", m_dir.path().toLocal8Bit()); }

ScopedHome::~ScopedHome() { qputenv("LORVAN_HOME", m_previous); }
