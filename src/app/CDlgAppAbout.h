#pragma once

#include <QtWidgets/QDialog>

#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// The about box: the program's name and version, the release notes of the latest version
// document known, the notice, and the update check and update commands.
class CDlgAppAbout : public QDialog
{
    Q_OBJECT
public:
    explicit CDlgAppAbout(QWidget* parent);

    // Fills name line, release notes and the update button from the latest version document.
    void UpdateControls();

    // The application's handlers of the update check and the update (set by the application).
    std::function<void()> m_onUpdateCheck;
    std::function<void()> m_onUpdateNow;

    QLabel* m_pName;
    QPlainTextEdit* m_pNotes;
    QLabel* m_pNotice;
    QPushButton* m_pCheck;
    QPushButton* m_pUpdate;
};
