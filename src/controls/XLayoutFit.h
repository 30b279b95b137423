#pragma once

class QLayout;

// Forgets the size hints a layout and every layout nested in it have cached: controls put
// into a dialog after its first sizing (its own controls in place of template slots) ask
// for their room only once the hints are taken again.
void InvalidateLayouts(QLayout* layout);
