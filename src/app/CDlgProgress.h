#pragma once

#include "XAppServices.h"

#include <QtWidgets/QDialog>

class QLabel;
class QProgressBar;

// A modeless wait window for long work on the UI thread: a text and a bar stepped by the
// work. The user cannot close it (Esc and the close box do nothing); it closes with the
// object.
class CDlgProgress : public QDialog, public XProgress
{
    Q_OBJECT
public:
    // range < 1: a bar that never moves, only the text changes.
    CDlgProgress(const QString& title, int range, QWidget* parent = nullptr);

    // Sets the text when it is not empty, steps the bar when there is a range, then lets
    // the program repaint (commands that arrive meanwhile are handled from here).
    void Step(const QString& text) override;

    QLabel* m_pText;
    QProgressBar* m_pBar;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override {}

private:
    int m_nRange;
};
