#pragma once

#include <QtGui/QColor>
#include <QtGui/QPixmap>

#include <map>
#include <vector>

// The icons of commands for list controls and tool rows, added on first use. Icons larger
// than 16 pixels get the 16-pixel icon centred on the mask colour.
class CXImageList
{
public:
    explicit CXImageList(int size = 16) : m_nSize(size) {}
    static QColor MaskColour() { return QColor(192, 192, 192); }
    // The icon's index; -1 when the command has no icon.
    int AddCmdIcon(int id, QRgb tint = 0);
    int Size() const { return m_nSize; }
    int Count() const { return static_cast<int>(m_images.size()); }
    const QPixmap& Image(int index) const { return m_images[static_cast<std::size_t>(index)]; }
    // The index of a 16-pixel picture added as the command's icon.
    int AddIcon(int id, const QPixmap& icon16);

private:
    int m_nSize;
    std::vector<QPixmap> m_images;
    std::map<int, int> m_byId;
};
