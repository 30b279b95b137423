#pragma once

#include "CXCmd.h"
#include "XBoundControls.h"
#include "XCmdTarget.h"
#include "XReadOnly.h"

#include <QtCore/QList>
#include <QtWidgets/QLabel>

#include <memory>
#include <vector>

class CModule;
class CXArray;
class CXBase;
class CXItem;
class CXMap;

// What the link list asks of the module layer: edit frames and record pickers. The
// application installs its implementation; without one the buttons and record links do
// nothing.
class XLinkActions
{
public:
    virtual ~XLinkActions() = default;
    // The module's edit frame for a new record, modal; true on OK with the new record.
    virtual bool CreateNew(CModule& module, CXBase& created) = 0;
    // The one-record picker over the query, starting at current; true on OK.
    virtual bool ChooseOne(CModule& module, const CXMap& query, const CXBase& current, CXBase& chosen) = 0;
    // The several-record picker starting with the given records chosen; true on OK, with
    // the chosen records (references) appended to chosen.
    virtual bool ChooseMany(CModule& module, const CXArray& current, CXArray& chosen) = 0;
    // Opens records read from the module, view-only.
    virtual int OpenItems(CModule& module, CXArray& items, bool bViewOnly) = 0;
};
// Installs the actions (not owned; null for none) and returns the previous ones.
XLinkActions* SetLinkActions(XLinkActions* actions);

// A link field of a record, or a list of links, as clickable record titles: its text is
// one or more anchors "<a href="xl:<module>:<id>">title</a>" separated by a blank. With a
// client edge it can carry command buttons at the right (new, choose one, choose several).
// Its cue text (the template's text) shows in grey while it holds no text.
class CXLinkCtrl : public QLabel, public XCmdTarget, public IXLinkControl, public IXReadOnly
{
    Q_OBJECT
    X_DECLARE_MESSAGE_MAP()
public:
    explicit CXLinkCtrl(QWidget* parent = nullptr);
    // Takes the place of a template's link: its text becomes the cue text.
    explicit CXLinkCtrl(const QString& templateText, QWidget* parent = nullptr);
    ~CXLinkCtrl() override;

    // Shows the reference's anchor when it names a record of an existing module; else no text.
    void SetLink(const CXBase& ref);
    // Reads the first anchor back (module, ID and title); false, and the reference reset,
    // when the text holds no "xl:" anchor of three parts.
    bool GetLink(CXBase& ref) const;
    // The module linked to: the control id when it is a module id, else the first anchor's
    // module when it exists, else 0.
    int GetModuleID() const;

    void AddCmd(int id);
    bool HasButtons() const;

    // Button places within the window rectangle (shrunk by 1) for buttons of size s: a row
    // at the top right (first rightmost) when the height is below s x count, else a column
    // at the right (first on top). Returns the width the client area loses at the right.
    static int LayoutButtons(const QRect& window, int s, const std::vector<CXCmd*>& cmds);

    // A click on a link: "xc:<id>" sends the command to the main window, "xl:" opens the
    // record view-only, anything else opens with the desktop.
    void OnLinkClicked(const QString& url);
    // A button's command, or one posted to the control.
    void OnCommand(int id);

    // IXLinkControl
    void AddLinkButtons(const CXItem* record, const CXBase* link) override;
    void ShowLink(const CXBase& link) override { SetLink(link); }
    void ParseLink(CXBase& link) override { GetLink(link); }
    // IXReadOnly
    void OnReadOnlyChanged(bool readOnly) override;

    std::vector<std::unique_ptr<CXCmd>> m_cmds;
    QString m_strCue;

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    void OnUpdateNew(XCmdUI* ui);
    void OnUpdateChoose(XCmdUI* ui);
    void OnNew();
    void OnChooseOne();
    void OnChooseMany();
    bool ClientEdge() const;
    bool ButtonsActive() const;
    void RecalcFrame();
    CXCmd* ButtonAt(const QPoint& pos) const;
    std::vector<CXCmd*> ShownCmds() const;

    CXItem* m_pItem = nullptr; // the bound record and link member, from the binder
    CXBase* m_pLink = nullptr;
};
