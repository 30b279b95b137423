#include "RtfStreams.h"

#include "RtfReader.h"
#include "RtfWriter.h"

#include <QtGui/QTextDocument>
#include <QtWidgets/QTextEdit>

bool StreamInRtf(QTextEdit* window, const QByteArray& rtf)
{
    if (!window)
        return false;
    const qsizetype zero = rtf.indexOf('\0');
    return ReadRtf(zero >= 0 ? rtf.left(zero) : rtf, *window->document()) > 0;
}

QByteArray StreamOutRtf(QTextEdit* window)
{
    if (!window || window->document()->isEmpty())
        return QByteArray();
    return WriteRtf(*window->document());
}
