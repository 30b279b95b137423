#pragma once

#include <QtWidgets/QScrollArea>

class CXPrintView;
class QLabel;
class QResizeEvent;

// The pages of a rendering, one or two side by side, at a zoom level, on the frame colour.
// With two pages shown the pair never ends past the last page.
class CXPrintPreview : public QScrollArea
{
    Q_OBJECT
public:
    explicit CXPrintPreview(QWidget* parent = nullptr);

    // Shows the view's pages from the first (the view stays the caller's).
    void SetView(const CXPrintView* view, bool twoPages);
    // The view's pages changed (a new view mode): painted again, the current page kept.
    void Refresh();

    int GetCurrentPage() const { return m_current; } // 1-based; 0 without pages
    int GetPageCount() const;
    bool IsTwoPages() const { return m_twoPages; }
    double GetZoom() const { return m_zoom; }
    QString GetPageText() const; // "%d/%d"
    bool CanNext() const { return m_current < GetPageCount(); }
    bool CanPrev() const { return m_current > 1; }

    void Next();
    void Prev();
    void ZoomIn();
    void ZoomOut(); // two pages side by side when there are several

signals:
    void PageChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    double FitZoom() const;
    void ApplyTwoPageRule();
    void Render();
    QImage RenderPage(int page) const;

    const CXPrintView* m_view = nullptr;
    QLabel* m_canvas;
    int m_current = 0;
    bool m_twoPages = false;
    bool m_allowTwo = false;
    double m_zoom = 0; // screen pixels per pixel of 1/96 inch; 0 fits the sheet into the window
};
