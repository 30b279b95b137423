#pragma once

#include <QtWidgets/QTextBrowser>

// The pane that shows records as HTML (detail panes, the edit frame's information pane,
// the read-only view of several records). It understands the program's links: "xc:<id>"
// (also "xc:query", "xc:modify") sends a command to the main window, "xl:<module>:<id>"
// asks the main window to show that record; web addresses open in the desktop's browser.
// Images come only from "data:" URIs, which the pane decodes itself.
class CHtmlCtrl : public QTextBrowser
{
    Q_OBJECT
public:
    explicit CHtmlCtrl(QWidget* parent = nullptr);

    // Replaces the icon placeholders ("img?id=modify", ...) by data URIs and shows the HTML.
    void SetHTML(const QString& html);

    // The navigation hook: cancel is set for every "xc:" and "xl:" link, acted on or not;
    // anything else navigates.
    void OnBeforeNavigate2(const QString& url, bool& cancel);

    // The HTML with its placeholders replaced, as SetHTML shows it.
    static QString ReplaceIconPlaceholders(QString html);

    QVariant loadResource(int type, const QUrl& name) override;

protected:
    // The pane's border is a disabled combo-box frame around the page.
    bool event(QEvent* e) override;

private:
    void OnAnchorClicked(const QUrl& url);
};
