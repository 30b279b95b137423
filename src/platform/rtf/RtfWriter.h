#pragma once

#include <QtCore/QByteArray>

class QImage;
class QTextDocument;

// The document as 7-bit RTF: "{\rtf1\ansi\ansicpg936\deff0{\fonttbl...}{\colortbl;...}
// {\*\generator ...}\viewkind4\uc1" and the body; every table row as "\trowd", its cell
// definitions and "\cellx" words, then its cells and "\row"; each cell border definition
// ends with a blank; text outside ASCII as "\uN?".
QByteArray WriteRtf(const QTextDocument& doc);

// A picture group "{\pict\pngblip|\jpegblip\picwgoalW\pichgoalH <hex>}": PNG when the
// picture has an alpha channel, JPEG otherwise, in lower-case hex; it is shown at its pixel
// size x 15 twips, with the height held to 8..1280 pixels and the width in proportion.
QByteArray RtfPictFromImage(const QImage& image, bool hasAlpha);
