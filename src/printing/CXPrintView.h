#pragma once

#include "CDBTempl.h"
#include "CXItem.h"

#include <QtCore/QRectF>
#include <QtGui/QPageLayout>

#include <functional>
#include <memory>
#include <vector>

class QPainter;
class QPagedPaintDevice;
class QTextDocument;

// View modes of a rendering.
enum : int {
    PRINTVIEW_ALL = 0,      // the template with its keywords replaced
    PRINTVIEW_REPLACED = 1, // only the replaced texts, for pre-printed forms
    PRINTVIEW_TEMPLATE = 2, // only the template's own text
    PRINTVIEW_RAW = 3,      // the template as stored
};

// Renders a record into its print template: the template's markers become logos, repeated
// table rows and pages, its keywords the record's texts, and the pages are painted on any
// paged device (PDF writer, printer) or into images for the preview. No widget is involved,
// so a web connection thread can print with it.
class CXPrintView
{
public:
    CXPrintView();
    ~CXPrintView();
    CXPrintView(const CXPrintView&) = delete;
    CXPrintView& operator=(const CXPrintView&) = delete;

    // Rebuilds the document from the template copy: a mode >= 0 becomes the view mode, a
    // mark value >= 0 the mark flag, -1 keeps each. False when the RTF reads as nothing.
    bool BuildRtf(int nMode, int nMark);

    int GetMode() const { return m_templ.m_nPrintReplace; }
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    bool HasPageBreak() const { return m_pages.size() > 1; }
    // The filled document, all pages with their page-break markers.
    const QTextDocument& Document() const { return *m_doc; }
    // The plain text of a page (0-based).
    QString PageText(int page) const;
    // The laid-out text of a page (0-based), at the width it is printed.
    const QTextDocument& PageDocument(int page) const { return *m_pages.at(static_cast<std::size_t>(page)); }

    // The paper as the printer gets it: the template's size with its orientation, no margins
    // (the view applies them itself).
    QPageLayout GetPageLayout() const;
    // The paper of the screen: landscape lays the long side across; in mm.
    QSizeF GetPaperSize() const;
    // The sheet inside the template's margins, in document units (1/96 inch).
    QSizeF GetTextArea() const;
    // Paints one page (0-based) onto the painter, whose rectangle paper covers the whole sheet.
    void PaintPage(QPainter& painter, int page, const QRectF& paper) const;
    // Prints every page on the device; false when nothing could be painted.
    bool PrintTo(QPagedPaintDevice& device) const;
    // Prints every page into a PDF file titled title; false when it could not be written.
    bool WritePdf(const QString& path, const QString& title) const;

    CDBTempl m_templ;          // the template copy; PrintReplace holds the view mode
    int m_bSample = 0;         // a sample record (a template preview)
    XPrintKeywords m_keywords; // keyword (with brackets) to text
    int m_bMark = 0;           // mark replaced and unreplaced keywords

    // --- passes over the RTF source text, public for their tests --------------------------
    // Replaces every marker "[<word><digits>]" (control words between the digits allowed) by
    // pict(number); a marker without digits or without a closing "]" stays.
    static QString ReplaceLogoMarkers(QString text, const QString& word, const std::function<QString(int)>& pict);
    // Makes every cell border white, adding white to (or a table to) the colours as needed.
    static QString WhitenBorders(QString text);
    // Repeats the table row holding the first "[ID]" n times, perPage rows a page, with the
    // text before and after it on every page and "[PAGEBREAK]" between pages. False (text
    // unchanged) when the row cannot be cut out of the text safely.
    static bool RepeatRowsInText(QString& text, int n, int perPage);
    // "[PAGENUM]" becomes the number of the page it stands on, "[PAGECOUNT]" the page count.
    static QString NumberPages(QString text);

private:
    void RepeatRowsInDocument(int n, int perPage);
    void ReplaceKeywords();
    void MarkUnreplaced();
    void ApplyReplacedMode();
    void SplitPages();

    std::unique_ptr<QTextDocument> m_doc;
    std::vector<std::unique_ptr<QTextDocument>> m_pages;
};

// A sheet's size in device pixels for a size in mm at a resolution.
inline double MmToPixels(double mm, double dpi) { return mm * dpi / 25.4; }
