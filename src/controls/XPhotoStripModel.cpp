#include "XPhotoStripModel.h"

#include "CXArray.h"
#include "CXItem.h"
#include "CommandIds.h"

void XPhotoStripModel::SetArray(CXArray* photos)
{
    m_pPhotos = photos;
    m_nCur = Count() > 0 ? 1 : 0;
}

int XPhotoStripModel::Count() const { return m_pPhotos ? m_pPhotos->GetSize() : 0; }

CXItem* XPhotoStripModel::Current() const
{
    return m_nCur >= 1 && m_nCur <= Count() ? m_pPhotos->GetAt(m_nCur - 1) : nullptr;
}

bool XPhotoStripModel::IsEnabled(int id, bool readOnly) const
{
    switch (id) {
    case ID_PHOTO_PREV:
    case ID_PHOTO_FORWARD:
        return m_nCur > 1;
    case ID_PHOTO_NEXT:
    case ID_PHOTO_BACK:
        return m_nCur < Count();
    case ID_PHOTO_VIEW:
        return Count() > 0;
    case ID_EDIT_DELETE:
        return Count() > 0 && !readOnly;
    case ID_LIST_ADDITEM:
        return !readOnly;
    default:
        return true;
    }
}

QString XPhotoStripModel::PositionText() const { return QStringLiteral("%1/%2").arg(m_nCur).arg(Count()); }

void XPhotoStripModel::Previous()
{
    if (m_nCur > 1)
        --m_nCur;
}

void XPhotoStripModel::Next()
{
    if (m_nCur < Count())
        ++m_nCur;
}

void XPhotoStripModel::MoveForward()
{
    if (m_nCur <= 1 || m_nCur > Count())
        return;
    m_pPhotos->Swap(m_nCur - 1, m_nCur - 2);
    --m_nCur;
}

void XPhotoStripModel::MoveBack()
{
    if (m_nCur < 1 || m_nCur >= Count())
        return;
    m_pPhotos->Swap(m_nCur - 1, m_nCur);
    ++m_nCur;
}

void XPhotoStripModel::Append(CXItem* photo)
{
    if (!m_pPhotos || !photo)
        return;
    m_pPhotos->Add(photo); // made by the array, which adopted it when it owns its records
    m_nCur = Count();
}

void XPhotoStripModel::RemoveCurrent()
{
    if (!Current())
        return;
    m_pPhotos->RemoveAt(m_nCur - 1);
    if (Count() == 0 || m_nCur > 1)
        --m_nCur;
}

void XPhotoStripModel::RenumberOrders()
{
    for (int i = 0; i < Count(); ++i)
        m_pPhotos->GetAt(i)->m_nDispOrder = i;
}
