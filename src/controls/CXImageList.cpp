#include "CXImageList.h"

#include "XAppServices.h"

#include <QtGui/QIcon>
#include <QtGui/QPainter>

int CXImageList::AddCmdIcon(int id, QRgb tint)
{
    if (auto it = m_byId.find(id); it != m_byId.end())
        return it->second;
    const QIcon icon = AppServices().CommandIcon(id, tint, false);
    if (icon.isNull())
        return -1;
    return AddIcon(id, icon.pixmap(16, 16));
}

int CXImageList::AddIcon(int id, const QPixmap& icon16)
{
    if (m_nSize == 16) {
        m_images.push_back(icon16);
    } else {
        QPixmap pm(m_nSize, m_nSize);
        pm.fill(MaskColour());
        QPainter p(&pm);
        p.drawPixmap(m_nSize / 2 - 8, m_nSize / 2 - 8, icon16);
        p.end();
        m_images.push_back(pm);
    }
    const int index = Count() - 1;
    m_byId[id] = index;
    return index;
}
