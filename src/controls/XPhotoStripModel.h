#pragma once

// What the photo strip decides, over the record array it edits: the position (1-based, 0
// when empty), which commands apply, moving, deleting and the stored display orders.
#include <QtCore/QString>

class CXArray;
class CXItem;

class XPhotoStripModel
{
public:
    void SetArray(CXArray* photos);
    CXArray* Array() const { return m_pPhotos; }
    int Count() const;
    int Position() const { return m_nCur; }
    CXItem* Current() const;

    // Command ids: ID_PHOTO_PREV/NEXT/BACK/FORWARD/VIEW, ID_EDIT_DELETE, ID_LIST_ADDITEM.
    bool IsEnabled(int id, bool readOnly) const;
    // "%d/%d" of position and count.
    QString PositionText() const;

    void Previous();
    void Next();
    void MoveForward(); // swaps with the one before, the position follows
    void MoveBack();    // swaps with the one after
    // Appends a record the array made and shows it.
    void Append(CXItem* photo);
    // Removes the current record (deleted by an owning array); the position moves one back
    // when the array became empty or it was above 1.
    void RemoveCurrent();
    // Display orders become the array indices.
    void RenumberOrders();

private:
    CXArray* m_pPhotos = nullptr;
    int m_nCur = 0;
};
