#pragma once

#include <initializer_list>
#include <utility>

#include "CXCmd.h"
#include "FormatString.h"
#include "XAppServices.h"
#include "XCmdTarget.h"
#include "XCtrlProps.h"
#include "XDialogLogic.h"
#include "XDlgTemplate.h"
#include "XReadOnly.h"

#include <QtCore/QPointer>
#include <QtWidgets/QDialog>

#include <map>
#include <vector>

class CHead;
class CXBase;
class CXArray;
class CXImage;
class CXTimeSpan;
class XDateTime;
class CXEditNumber;
class CXItem;
class QBoxLayout;
class QScrollBar;
class QSizeGrip;

// The direction of one data exchange: load the record into the controls, or store them.
struct XDataExchange
{
    bool m_bSaveAndValidate = false;
};

// The base of every dialog and edit page: builds its controls from an ordered control
// table, binds them to record members, keeps their enabled and read-only state from the
// record's field access, the update handlers and the radio and check boxes, validates on
// OK, remembers its size and scrolls when its content is larger than its window.
class CXDialogEx : public QDialog, public XCmdTarget, public IXReadOnly
{
    Q_OBJECT
    X_DECLARE_MESSAGE_MAP()
public:
    struct _BindVari
    {
        int nID = 0;
        CXItem* pItem = nullptr;
        unsigned nOffset = 0;
    };

    CXDialogEx(bool bAddNew, const XDlgTemplate* templ, QWidget* parent = nullptr);
    ~CXDialogEx() override;

    // Builds the controls and initialises the dialog once; DoModal does it itself.
    bool Create();
    // Runs the dialog; a dialog that ended itself while initialising returns that result at
    // once, without being shown.
    int DoModal();
    void EndDialog(int result);
    static CXDialogEx* FromControl(const QWidget* control);

    // Controls in table order (which is the tab order).
    QWidget* GetDlgItem(int id) const;
    const QList<QWidget*>& ZOrder() const { return m_zorder; }
    QWidget* NextInZOrder(const QWidget* w) const;
    QWidget* PrevInZOrder(const QWidget* w) const;
    int FirstFreeId(int from) const;
    void InsertControlAfter(QWidget* prev, QWidget* w, int id, const QString& wndClass, unsigned style);
    // The control of the id as a T: the placeholder is replaced once, keeping its place in
    // the layout and the control order, its id, style, text and state.
    template <class T> T* EnsureControl(int id);
    QWidget* Content() const { return m_content; }
    // The dialog's spare height goes to these rows of its grid, each with its share, instead
    // of below the grid, so the lists in them grow with the dialog.
    void GiveSpareHeightToRows(std::initializer_list<std::pair<int, int>> rowShares);
    const XDlgTemplate* Template() const { return m_pTemplate; }
    bool IsChild() const;
    bool IsScrollable() const;

    // Binding.
    bool BindVari(int id, CXItem* item, const void* member);
    void BindStatic(XDataExchange& dx, int id, CXItem* item, const void* member);
    void BindDate(XDataExchange& dx, int id, CXItem* item, XDateTime* member, int weekdayMode = -1);
    void BindBirthday(XDataExchange& dx, int id, CXItem* item, XDateTime* member, int* estimated);
    void BindTimeSpan(XDataExchange& dx, int id, CXItem* item, CXTimeSpan* member);
    void BindInt(XDataExchange& dx, int id, CXItem* item, int* member);
    void BindDouble(XDataExchange& dx, int id, CXItem* item, double* member);
    void BindText(XDataExchange& dx, int id, CXItem* item, QString* member, int extraCmd = 0);
    void BindChoice(XDataExchange& dx, int id, CXItem* item, int* member);
    void BindList(XDataExchange& dx, int id, CXItem* item, CXArray* member, int listStyle = 0);
    void BindImages(XDataExchange& dx, int id, CXItem* item, CXArray* member);
    void BindImage(XDataExchange& dx, int id, CXItem* item, CXImage* member);
    void BindLink(XDataExchange& dx, int id, CXItem* item, CXBase* member);
    bool UpdateData(bool save);
    const std::map<int, _BindVari>& BindingsByID() const { return m_mapByID; }
    const std::map<unsigned, _BindVari>& BindingsByMember() const { return m_mapByMember; }
    const CHead* FindHead(const _BindVari& b) const;

    virtual void UpdateControls();
    virtual CXItem* GetItem();
    virtual int GetScrollLines() const { return 10; }
    virtual int GetCmdID() const { return -1; }
    virtual bool Validate();
    // The first page of a record edit frame (null for other dialogs).
    virtual CXDialogEx* FirstPage() const { return nullptr; }

    // An update pass soon, at most one however often asked; what change notices of
    // controls call so that a load never recurses through them.
    void RequestUpdate();

    bool HasCommandHandler(int id, int code) const;
    QString GetControlText(int id) const;
    QString GetItemLabel(int id) const;
    template <class... A> void ShowItemTip(int type, int id, const char* format, const A&... args)
    {
        ShowItemTipText(type, id, (format && *format) ? FormatString(format, args...) : QString());
    }
    void ShowItemTipText(int type, int id, const QString& text);
    QString TooltipText(const QWidget* control) const;

    // Size and scrolling.
    void RestoreSize();
    QString SizeKey() const;
    void SetScrollSize(int cx, int cy);
    void OnVScroll(int request, int track = 0);
    void OnHScroll(int request, int track = 0);
    bool OnMouseWheel(int delta);
    void ScrollToLine(int n);
    // The smallest size the user may drag the dialog to: its size when it opened.
    void OnGetMinMaxInfo();
    XScrollModel ScrollModel(bool vertical) const { return vertical ? m_vmodel : m_hmodel; }
    int ScrollPos(bool vertical) const;
    QPoint ContentOffset() const;

    // Moves and sizes a window (not in a layout) by percentages of the dialog's growth.
    void AddLayoutItem(QWidget* w, int moveX, int moveY, int sizeX, int sizeY);

    void OnReadOnlyChanged(bool readOnly) override;

    QString m_strCaption;
    int m_bAddNew = 0;
    QSize m_sizeMin;
    int m_nHelpId = 0;

protected:
    virtual void DoDataExchange(XDataExchange& dx) { Q_UNUSED(dx); }
    virtual void PreInitDialog();
    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void OnDestroy();
    // A command from a control or a menu: routed through the command maps, then a radio
    // or check box click runs an update pass.
    virtual void OnCommand(int id);
    // Shows the text as a balloon at the control bound to the member; false when none is.
    virtual bool ShowMemberTip(int member, int type, const QString& text);
    // Acts on a validation decision: the stop balloon, or the confirmation of the alerts
    // (Cancel shows the first bound warning). True when the record may be saved.
    bool ApplyValidation(const CXItem& item, const XValidationAction& a);

    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    QSize sizeHint() const override;

private:
    void BuildControls();
    QWidget* MakeControl(const XCtrlDef& def);
    void ReplaceControl(QWidget* old, QWidget* w);
    XDialogSnapshot TakeSnapshot(std::vector<QWidget*>& ctrls);
    void LayoutContent();
    void ApplyScroll();
    void ScrollTo(bool vertical, int pos);
    // The number edit of a binding, its spin placed after it and its field's range and
    // texts set; null when the control does not exist.
    CXEditNumber* PrepareNumberEdit(int id, CXItem* item, const void* member);
    // A text binding's control the first time: the history combo box, or the edit with
    // its buttons (dialogs with DS_LOCALEDIT keep plain edits).
    QWidget* SubclassTextControl(QWidget* w, int id, CXItem* item, const void* member, int extraCmd);

    const XDlgTemplate* m_pTemplate;
    QWidget* m_content = nullptr;
    QList<QWidget*> m_zorder;
    std::map<int, _BindVari> m_mapByID;
    std::map<unsigned, _BindVari> m_mapByMember;
    bool m_bCreated = false;
    bool m_bDestroyed = false;
    bool m_bInitialising = false;
    bool m_bEndedInInit = false; // EndDialog ran inside OnInitDialog; DoModal returns m_nInitResult
    int m_nInitResult = 0;
    bool m_bLoading = false;
    int m_nUpdateDepth = 0;
    bool m_bUpdatePosted = false;
    bool m_bShowMaximized = false;
    QPointer<QSizeGrip> m_wndGrip;
    QScrollBar* m_vbar = nullptr;
    QScrollBar* m_hbar = nullptr;
    XScrollModel m_vmodel;
    XScrollModel m_hmodel;
    QSize m_contentSize;
    struct LayoutItem
    {
        QPointer<QWidget> w;
        QRect ref;
        int mx, my, sx, sy;
    };
    std::vector<LayoutItem> m_layout;
    QSize m_layoutRef;
};

template <class T> T* CXDialogEx::EnsureControl(int id)
{
    QWidget* old = GetDlgItem(id);
    if (!old)
        return nullptr;
    if (auto* t = qobject_cast<T*>(old))
        return t;
    auto* w = new T(old->parentWidget());
    ReplaceControl(old, w);
    return w;
}

// Own-window wrapper for AddLayoutItem as the layout code calls it.
void AddLayoutItem(QWidget* w, CXDialogEx* dlg, int moveX, int moveY, int sizeX, int sizeY);

// Puts a control of the program's own into a template's placeholder (a Custom slot), filling
// it margin pixels in from each side. Widgets added to the box returned stand below it.
QBoxLayout* FillSlot(QWidget* slot, QWidget* w, int margin = 0);
