#include "CLorvanDoc.h"

#include "CLorvanView.h"
#include "CModule.h"
#include "CXPropBar.h"
#include "FormatString.h"
#include "Settings.h"
#include "XAppServices.h"
#include "XDrawing.h"

QString CLorvanDoc::PropBarWidthKey(int mduId, int dpi)
{
    return FormatString(u"Module.%d.Propbar.Width.dpi%d", mduId, dpi);
}

QString CLorvanDoc::PropBarVisibleKey(int mduId) { return FormatString(u"Module.%d.Propbar.Visible", mduId); }

void CLorvanDoc::OnCloseDocument(const CLorvanView& view)
{
    const CXItem* user = AppServices().User();
    if (!user || !view.m_wndPropBar)
        return;
    const QString section = user->m_strName;
    const int mdu = m_module.GetMduID();
    const bool visible = !view.m_wndPropBar->isHidden();
    if (visible && ReadScreenDpi() == ScreenDpi())
        WriteSetting(section, PropBarWidthKey(mdu, ScreenDpi()), QString::number(view.m_wndPropBar->width()));
    WriteSetting(section, PropBarVisibleKey(mdu), visible ? QStringLiteral("1") : QStringLiteral("0"));
}
