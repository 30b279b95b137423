#include "XLayoutFit.h"

#include <QtWidgets/QLayout>

void InvalidateLayouts(QLayout* layout)
{
    if (!layout)
        return;
    layout->invalidate();
    for (int i = 0; i < layout->count(); ++i)
        InvalidateLayouts(layout->itemAt(i)->layout());
}
