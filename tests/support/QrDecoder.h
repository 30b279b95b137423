#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QString>
#include <QtGui/QImage>

// Reads QR codes back with Debian's zbarimg (zbar-tools), so that the symbols are checked by
// an independent decoder.
bool HaveQrDecoder();

// The decoded bytes of the one symbol in the image; empty when none was read.
QByteArray DecodeQr(const QImage& image);

// The encoder's current matrix drawn black on white with a quiet zone of four modules.
QImage RenderQrModules(int moduleSize = 4);
