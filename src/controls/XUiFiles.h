#pragma once

#include <QtCore/QString>

class QWidget;

namespace XUi {

// A save-file dialog opening at the proposed file; the default suffix is added to a name
// typed without one. An existing file is replaced only after the user agreed to a question
// asked through MessageBox (so tests see and answer it). Empty when cancelled or not agreed.
QString GetSaveFileNameConfirmed(QWidget* owner, const QString& caption, const QString& proposed, const QString& filter,
                                 const QString& defaultSuffix);

} // namespace XUi
