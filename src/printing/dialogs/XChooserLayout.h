#pragma once

#include "CXDialogEx.h"

#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QGridLayout>

// A chooser's list takes the dialog's free height: the grid row holding it stretches
// instead of the space below the controls.
inline void StretchListRow(CXDialogEx& dlg, int row)
{
    auto* outer = qobject_cast<QBoxLayout*>(dlg.Content()->layout());
    if (!outer || outer->count() < 2)
        return;
    outer->setStretch(0, 1);
    outer->setStretch(1, 0);
    if (auto* grid = qobject_cast<QGridLayout*>(outer->itemAt(0)->layout()))
        grid->setRowStretch(row, 1);
}
