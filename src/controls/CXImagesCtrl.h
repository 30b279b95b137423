#pragma once

#include "CXCmd.h"
#include "XBoundControls.h"
#include "XCmdTarget.h"
#include "XPhotoStripModel.h"
#include "XReadOnly.h"

#include <QtWidgets/QFrame>

#include <memory>
#include <vector>

class XCmdRow;

// The photo strip of person pages: one photo of the bound array at a time with its date,
// and a button row to browse, reorder, add, delete and open the photos.
class CXImagesCtrl : public QFrame, public IXImagesControl, public XCmdTarget, public IXReadOnly
{
    Q_OBJECT
public:
    explicit CXImagesCtrl(QWidget* parent = nullptr);
    ~CXImagesCtrl() override;

    void SetImages(CXArray* images, bool hasPhoto) override;
    void OnReadOnlyChanged(bool readOnly) override
    {
        Q_UNUSED(readOnly);
        update();
    }
    // Runs a command of the row or the context menu.
    void OnCommand(int id);
    void UpdateCommands();
    // The strip's own commands, for its context menu: enabled as its buttons are.
    bool OnCmdMsg(int id, int code, XCmdUI* ui, bool probeOnly = false) override;
    const XPhotoStripModel& Model() const { return m_model; }
    CXCmd* Command(int id) const;
    XCmdRow* Row() const { return m_row; }
    // The file the view command writes: Temp/<yyyyMMddHHmm>.jpg under the program folder.
    static QString ViewFileName(const XDateTime& now);
    // The add dialog's filter: the common picture types, then every type the decoders read,
    // in both cases (file dialogs may match case-sensitively).
    static QString PhotoFilter();
    // The picture shown without photos, its longer side two thirds of the width.
    static QImage Placeholder();

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    void LayoutRow();
    bool IsReadOnly() const;
    void AddPhoto();
    void DeletePhoto();
    void ViewPhoto();

    std::vector<std::unique_ptr<CXCmd>> m_cmds;
    XPhotoStripModel m_model;
    XCmdRow* m_row = nullptr;
};
