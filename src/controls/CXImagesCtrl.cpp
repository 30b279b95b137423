#include "CXImagesCtrl.h"

#include "BinaryColumns.h"
#include "CHead.h"
#include "CXArray.h"
#include "CXDialogEx.h"
#include "CXImage.h"
#include "CXItem.h"
#include "CommandIds.h"
#include "ProgramPaths.h"
#include "Resources.h"
#include "XCmdRow.h"
#include "XDrawing.h"
#include "XUi.h"

#include <algorithm>

#include <QtCore/QFile>
#include <QtGui/QContextMenuEvent>
#include <QtGui/QGuiApplication>
#include <QtGui/QImageReader>
#include <QtGui/QPainter>
#include <QtGui/QPainterPath>

CXImagesCtrl::CXImagesCtrl(QWidget* parent) : QFrame(parent)
{
    setFrameShape(QFrame::StyledPanel);
    struct Def
    {
        int id;
        bool right;
        bool text;
        bool menu;
    };
    const Def defs[] = {{ID_PHOTO_PREV, false, false, true},
                        {ID_PHOTO_POS, false, true, false},
                        {ID_PHOTO_NEXT, false, false, true},
                        {0, true, false, true},
                        {ID_PHOTO_FORWARD, true, false, true},
                        {ID_PHOTO_BACK, true, false, true},
                        {0, true, false, true},
                        {ID_LIST_ADDITEM, true, false, true},
                        {ID_EDIT_DELETE, true, false, true},
                        {ID_PHOTO_VIEW, true, false, true}};
    std::vector<CXCmd*> row;
    for (const Def& d : defs) {
        auto c = std::make_unique<CXCmd>(d.id, d.id != 0, d.menu);
        c->m_bRight = d.right;
        c->m_bTextButton = d.text;
        row.push_back(c.get());
        m_cmds.push_back(std::move(c));
    }
    m_row = new XCmdRow(this);
    m_row->m_bWindowBackground = false;
    m_row->SetCommands(row);
    m_row->onUpdate = [this] { UpdateCommands(); };
    m_row->onClick = [this](int id) { OnCommand(id); };
}

CXImagesCtrl::~CXImagesCtrl() = default;

CXCmd* CXImagesCtrl::Command(int id) const
{
    for (const auto& c : m_cmds)
        if (c->m_nID == id)
            return c.get();
    return nullptr;
}

void CXImagesCtrl::SetImages(CXArray* images, bool hasPhoto)
{
    Q_UNUSED(hasPhoto);
    m_model.SetArray(images);
    UpdateCommands();
    update();
}

bool CXImagesCtrl::IsReadOnly() const { return IsWndReadOnly(this) || (window() && IsWndReadOnly(window())); }

void CXImagesCtrl::UpdateCommands()
{
    for (const auto& c : m_cmds) {
        if (c->m_nID == 0)
            continue;
        c->m_bEnabled = m_model.IsEnabled(c->m_nID, IsReadOnly());
        if (c->m_nID == ID_PHOTO_POS)
            c->m_strText = m_model.PositionText();
    }
    LayoutRow();
}

bool CXImagesCtrl::OnCmdMsg(int id, int code, XCmdUI* ui, bool probeOnly)
{
    const bool own =
        id != 0 && std::any_of(m_cmds.begin(), m_cmds.end(), [id](const auto& c) { return c->m_nID == id; });
    if (!own)
        return XCmdTarget::OnCmdMsg(id, code, ui, probeOnly);
    if (probeOnly)
        return true;
    if (code == XCN_UPDATE) {
        if (!ui)
            return false;
        ui->Enable(m_model.IsEnabled(id, IsReadOnly()));
    } else {
        OnCommand(id);
    }
    return true;
}

void CXImagesCtrl::LayoutRow()
{
    const int s = RowHeight();
    m_row->setGeometry(0, height() - s, width(), s);
    int left = 0;
    int right = width();
    for (const auto& c : m_cmds)
        if (c->m_nID && !c->m_bRight) {
            const int w = c->m_bTextButton ? fontMetrics().horizontalAdvance(c->m_strText) + 5 : s;
            c->m_rc = QRect(left, 0, w, s);
            left += w;
        }
    for (auto it = m_cmds.rbegin(); it != m_cmds.rend(); ++it)
        if ((*it)->m_nID && (*it)->m_bRight) {
            (*it)->m_rc = QRect(right - s, 0, s, s);
            right -= s;
        }
}

void CXImagesCtrl::resizeEvent(QResizeEvent* e)
{
    QFrame::resizeEvent(e);
    LayoutRow();
}

QImage CXImagesCtrl::Placeholder()
{
    QImage img;
    if (img.loadFromData(LoadResourceBytes(IDR_PNG_NO_PHOTO, RT_PNG)))
        return img;
    // a head and shoulders in grey
    img = QImage(120, 150, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(190, 190, 190));
    p.drawEllipse(QRectF(32, 14, 56, 62));
    QPainterPath body;
    body.moveTo(8, 150);
    body.cubicTo(8, 96, 112, 96, 112, 150);
    p.drawPath(body);
    return img;
}

void CXImagesCtrl::paintEvent(QPaintEvent* e)
{
    QFrame::paintEvent(e);
    QPainter p(this);
    const QRect client(0, 0, width(), height() - RowHeight() - 2);
    if (CXItem* photo = m_model.Current()) {
        photo->m_image.Paint(&p, client, false);
        if (photo->m_dtDate.Day() != 0) {
            const QRect r = client.adjusted(3, 1, -3, -1);
            const QString text = fontMetrics().elidedText(
                FormatDateTime(photo->m_dtDate, QStringLiteral("%Y年%#m月%#d日")), Qt::ElideRight, r.width());
            p.setPen(palette().color(QPalette::Base));
            p.drawText(r, Qt::AlignLeft | Qt::AlignBottom | Qt::TextSingleLine, text);
            p.setPen(palette().color(QPalette::Shadow));
            p.drawText(r.translated(-1, -1), Qt::AlignLeft | Qt::AlignBottom | Qt::TextSingleLine, text);
        }
        return;
    }
    const QImage img = Placeholder();
    const int longer = client.width() * 2 / 3;
    QSize size = img.size().scaled(longer, longer, Qt::KeepAspectRatio);
    p.drawImage(QRect(QPoint(client.center().x() - size.width() / 2, client.center().y() - size.height() / 2), size),
                img);
}

void CXImagesCtrl::OnCommand(int id)
{
    UpdateCommands();
    CXCmd* c = Command(id);
    if (!c || !c->m_bEnabled)
        return;
    switch (id) {
    case ID_PHOTO_PREV:
        m_model.Previous();
        break;
    case ID_PHOTO_NEXT:
        m_model.Next();
        break;
    case ID_PHOTO_FORWARD:
        m_model.MoveForward();
        break;
    case ID_PHOTO_BACK:
        m_model.MoveBack();
        break;
    case ID_LIST_ADDITEM:
        AddPhoto();
        break;
    case ID_EDIT_DELETE:
        DeletePhoto();
        break;
    case ID_PHOTO_VIEW:
        ViewPhoto();
        break;
    default:
        return;
    }
    m_model.RenumberOrders();
    UpdateCommands();
    update();
    m_row->update();
}

QString CXImagesCtrl::PhotoFilter()
{
    QStringList entries{QStringLiteral("所有图片文件 (*.BMP *.JPG *.JPEG *.GIF *.PNG *.bmp *.jpg *.jpeg *.gif *.png)")};
    for (const QByteArray& f : QImageReader::supportedImageFormats()) {
        const QString ext = QString::fromLatin1(f);
        entries << QStringLiteral("%1 (*.%2 *.%3)").arg(ext.toUpper(), ext.toLower(), ext.toUpper());
    }
    return entries.join(QStringLiteral(";;"));
}

void CXImagesCtrl::AddPhoto()
{
    if (IsReadOnly() || !m_model.Array())
        return;
    const QString path = XUi::GetOpenFileName(this, QStringLiteral("添加照片"), QString(), PhotoFilter());
    if (path.isEmpty())
        return;
    CXImage image;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !image.LoadStream(&file)) {
        XUi::MessageBox(this, FormatString(u"打开 “%s” 失败！\r\n%s", path, GetLastErrorText()),
                        QStringLiteral("添加照片"), MB_ICONERROR);
        return;
    }
    ShrinkToSizePreference(image);
    CXItem* photo = m_model.Array()->CreateItem();
    if (!photo)
        return;
    photo->m_image.CopyFrom(image);
    m_model.Append(photo);
}

void CXImagesCtrl::DeletePhoto()
{
    CXItem* photo = m_model.Current();
    if (!photo)
        return;
    const CHeads* heads = m_model.Array()->GetHeads();
    const QString text = FormatString(u"确定要删除选中的 %d %s%s吗？\r\n", 1, heads ? heads->m_strItemUnit : QString(),
                                      heads ? heads->m_strItemType : QString());
    if (XUi::MessageBox(nullptr, text, LoadCommandText(ID_EDIT_DELETE), MB_OKCANCEL | MB_ICONWARNING) != IDOK)
        return;
    m_model.RemoveCurrent();
}

QString CXImagesCtrl::ViewFileName(const XDateTime& now)
{
    return GetExePath(u'\\', QStringLiteral("\\Temp\\")) + FormatDateTime(now, QStringLiteral("%Y%m%d%H%M.jpg"));
}

void CXImagesCtrl::ViewPhoto()
{
    CXItem* photo = m_model.Current();
    if (!photo || photo->m_image.IsNull())
        return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    CreateDirectoryPath(GetExePath(u'\\', QStringLiteral("\\Temp")));
    const QString path = ViewFileName(XDateTime::Now());
    QFile file(path);
    const bool saved =
        file.open(QIODevice::WriteOnly | QIODevice::Truncate) && photo->m_image.SaveStream(&file, XImageFormat::Jpeg);
    file.close();
    QGuiApplication::restoreOverrideCursor();
    if (!saved) {
        XUi::MessageBox(this, FormatString(u"保存 “%s” 失败！\r\n%s", path, GetLastErrorText()),
                        LoadCommandText(ID_PHOTO_VIEW), MB_ICONERROR);
        return;
    }
    XUi::ShellOpen(path);
}

void CXImagesCtrl::mouseDoubleClickEvent(QMouseEvent*)
{
    OnCommand(m_model.Count() > 0 ? int(ID_PHOTO_VIEW) : int(ID_LIST_ADDITEM));
}

void CXImagesCtrl::contextMenuEvent(QContextMenuEvent* e)
{
    XMenuSpec menu;
    for (const auto& c : m_cmds)
        if (c->m_bInMenu)
            menu.push_back(XMenuItem{c->m_nID, c->m_nID ? LoadCommandText(c->m_nID, true) : QString(), {}});
    UpdateCommands();
    if (const int id = XUi::TrackPopupMenu(menu, e->globalPos(), this))
        OnCommand(id);
}
