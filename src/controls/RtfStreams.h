#pragma once

#include <QtCore/QByteArray>

class QTextEdit;

// Replaces the whole content of the rich edit with the RTF text (up to its first zero
// byte). True when more than 0 characters were read; false for no window.
bool StreamInRtf(QTextEdit* window, const QByteArray& rtf);

// The rich edit's whole content as RTF; empty for no window or no text.
QByteArray StreamOutRtf(QTextEdit* window);
