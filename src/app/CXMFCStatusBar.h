#pragma once

#include <QtGui/QColor>
#include <QtGui/QIcon>
#include <QtWidgets/QStatusBar>

#include <vector>

class QLabel;

// The width a status pane needs: its text plus 4 pixels (24 with an icon), at least the
// minimum given at 96 dpi scaled to the screen's DPI.
int FitPaneWidthFor(int textWidth, bool hasIcon, int minWidth96, int dpi);

// The status bar of the main frame: panes named by their command ids, each with an optional
// icon, a text and a tooltip. Pane 0 is the stretching message pane. Double-clicking a pane
// posts its id as a command to the bar's window.
class CXMFCStatusBar : public QStatusBar
{
    Q_OBJECT
public:
    explicit CXMFCStatusBar(QWidget* parent = nullptr);

    void SetIndicators(const std::vector<int>& ids);
    int GetCount() const { return static_cast<int>(m_panes.size()); }
    // The pane of the command id; -1 for none.
    int CommandToIndex(int id) const;
    int GetItemID(int index) const;

    void SetPaneText(int index, const QString& text);
    QString GetPaneText(int index) const;
    // Sets, replaces or (a null icon) removes the pane's icon.
    void SetPaneIcon(int index, const QIcon& icon);
    bool HasPaneIcon(int index) const;
    QIcon GetPaneIcon(int index) const;
    void SetPaneTextColor(int index, const QColor& color);
    QColor GetPaneTextColor(int index) const;
    // The pane's own tip; without one its command's prompt is shown.
    void SetTipText(int index, const QString& tip);
    QString GetTipText(int index) const;
    // Sizes the pane to its text (FitPaneWidthFor with the screen's DPI kept for the run).
    void FitPaneWidth(int index, int minWidth96);
    int GetPaneWidth(int index) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Pane
    {
        int id = 0;
        QWidget* box = nullptr;
        QLabel* icon = nullptr;
        QLabel* text = nullptr;
        QIcon image;
        QString tip;
        QColor color;
    };
    bool Valid(int index) const { return index >= 0 && index < GetCount(); }
    void UpdateTip(Pane& pane);

    std::vector<Pane> m_panes;
};
