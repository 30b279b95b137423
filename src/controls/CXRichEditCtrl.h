#pragma once

#include <QtCore/QMargins>
#include <QtCore/QSizeF>
#include <QtWidgets/QTextEdit>

#include <optional>
#include <vector>

// How far each edge of the rich edit's client area moves in for paper margins given in
// millimetres, at d dots per inch: d x mm x 10 / 254 pixels, truncated.
QMargins RichEditInset(int dpi, const QMargins& marginsMm);

// The print-template editor's page: the client area shows the printable part of the paper
// (inset by the template's margins) and short marks outside it show the corners.
class CXRichEditCtrl : public QTextEdit
{
    Q_OBJECT

public:
    explicit CXRichEditCtrl(QWidget* parent = nullptr);

    // The template's MarginLeft/Top/Right/Bottom in millimetres; none: no inset.
    void SetTemplateMargins(std::optional<QMargins> marginsMm);

    // Where pages end, in pixels from the top of the text; drawn as dashed lines across it.
    void SetPageEnds(std::vector<int> ends);
    const std::vector<int>& PageEnds() const { return m_pageEnds; }

    // The screen's dots per inch, read once.
    static int ScreenDpi();

signals:
    // Asked on every change of the text, with the size of the content.
    void requestResize(const QSizeF& size);

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    void PaintMarks();

    std::optional<QMargins> m_marginsMm;
    std::vector<int> m_pageEnds;
};
