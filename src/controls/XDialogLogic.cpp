#include "XDialogLogic.h"

#include "CommandIds.h"
#include "FormatString.h"
#include "RecordConsts.h"
#include "XWinStyles.h"

#include <algorithm>

namespace {

bool IsRadio(const XCtrlSnapshot& c)
{
    return c.cls == QLatin1String("Button") && (c.style & 0xFFFF) == BS_AUTORADIOBUTTON;
}
bool IsCheck(const XCtrlSnapshot& c)
{
    return c.cls == QLatin1String("Button") && (c.style & 0xFFFF) == BS_AUTOCHECKBOX;
}
bool IsGroup(const XCtrlSnapshot& c) { return (c.style & WS_GROUP) != 0; }
bool IsStatic(const XCtrlSnapshot& c) { return c.cls == QLatin1String("Static"); }
bool IsInput(const XCtrlSnapshot& c)
{
    return c.cls == QLatin1String("Edit") || c.cls == QLatin1String("ComboBox") || c.cls == QLatin1String("SysLink") ||
           c.cls == QLatin1String("SysDateTimePick32");
}

// Controls the read-only sweep leaves usable: the closing buttons and the edit frame's
// re-edit, preview, print and detail-pane buttons.
bool KeepsWorking(int id)
{
    return id == -1 || id == 1 || id == 2 || id == IDC_EDIT_REEDIT || id == IDC_PROOF_PREVIEW ||
           id == IDC_PROOF_PRINT || id == ID_VIEW_DETAIL;
}

} // namespace

std::vector<int> RadioGroup(const std::vector<XCtrlSnapshot>& ctrls, int start)
{
    std::vector<int> group;
    const int n = static_cast<int>(ctrls.size());
    for (int i = start; i < n; ++i) {
        if (i > start && IsGroup(ctrls[i]))
            break;
        if (IsRadio(ctrls[i]))
            group.push_back(i);
    }
    return group;
}

XControlDecisions ComputeControlDecisions(const XDialogSnapshot& snap)
{
    const auto& c = snap.ctrls;
    const int n = static_cast<int>(c.size());
    XControlDecisions d;
    d.enable.assign(c.size(), -1);
    d.readOnly.assign(c.size(), -1);
    d.caption.assign(c.size(), QString());

    // update handlers
    for (int i = 0; i < n; ++i)
        if (c[i].cmdEnable >= 0)
            d.enable[i] = c[i].cmdEnable;

    // field access of the bindings
    for (const XBindSnapshot& b : snap.binds) {
        if (b.index < 0 || b.index >= n || b.access == -2)
            continue;
        int access = b.access;
        if (access == 1 && snap.readOnly)
            access = 0;
        const int enabled = access != -1 ? 1 : 0;
        const int k = b.index;
        if (k > 0 && IsGroup(c[k - 1]) && IsStatic(c[k - 1]) && c[k - 1].enabled != (enabled != 0))
            d.enable[k - 1] = enabled;
        if (k + 1 < n && !IsGroup(c[k + 1]) && IsStatic(c[k + 1]) && c[k + 1].enabled != (enabled != 0))
            d.enable[k + 1] = enabled;
        if (!IsRadio(c[k])) {
            d.readOnly[k] = access == 0 ? 1 : 0;
            d.enable[k] = enabled;
            continue;
        }
        const std::vector<int> group = RadioGroup(c, k);
        for (int r : group) {
            d.readOnly[r] = access == 0 ? 1 : 0;
            d.enable[r] = enabled;
        }
        if (access != -1 && b.options.size() == static_cast<int>(group.size())) {
            for (std::size_t j = 0; j < group.size(); ++j) {
                const QString& text = b.options[static_cast<int>(j)];
                if (text.isEmpty())
                    d.enable[group[j]] = 0;
                else if (text != c[group[j]].caption)
                    d.caption[group[j]] = text;
            }
        }
    }

    // controls that depend on a radio or a group-start check box
    auto follow = [&d](int k, bool on) {
        if (!on)
            d.enable[k] = 0;
        else if (d.enable[k] == -1)
            d.enable[k] = 1;
    };
    for (int i = 0; i < n;) {
        if (IsRadio(c[i])) {
            const bool on = c[i].checked;
            int j = i + 1;
            for (; j < n && !IsRadio(c[j]) && !IsGroup(c[j]); ++j)
                follow(j, on);
            i = j;
        } else if (IsCheck(c[i]) && IsGroup(c[i])) {
            const bool on = c[i].checked;
            int j = i + 1;
            while (j < n && !(IsGroup(c[j]) && !IsRadio(c[j]))) {
                if (IsCheck(c[j]) && j + 1 < n && !IsGroup(c[j + 1]) && IsInput(c[j + 1])) {
                    follow(j, on);
                    follow(j + 1, on && c[j].checked);
                    j += 2;
                    continue;
                }
                follow(j, on);
                ++j;
            }
            i = j;
        } else {
            ++i;
        }
    }

    // the read-only sweep
    for (int i = 0; i < n; ++i) {
        if (c[i].isDialog)
            continue;
        if (snap.readOnly) {
            if (d.enable[i] != 0 && !KeepsWorking(c[i].id))
                d.readOnly[i] = 1;
        } else if (c[i].readOnly && d.readOnly[i] == -1) {
            d.readOnly[i] = 0;
        }
    }

    // closing buttons of a top-level dialog
    const bool hasOk = std::any_of(c.begin(), c.end(), [](const XCtrlSnapshot& x) { return x.id == 1; });
    const bool hasCancel = std::any_of(c.begin(), c.end(), [](const XCtrlSnapshot& x) { return x.id == 2; });
    if (snap.topLevel && hasOk && hasCancel) {
        d.okVisible = snap.readOnly ? 0 : 1;
        d.cancelClose = snap.readOnly ? 1 : 0;
    }
    return d;
}

QString CleanItemLabel(QString text)
{
    const int amp = text.indexOf(QLatin1String("(&"));
    if (amp >= 0) {
        const int close = text.indexOf(u')', amp);
        text = close >= 0 ? text.left(amp) + text.mid(close + 1) : text.left(amp);
    }
    while (text.endsWith(u'.'))
        text.chop(1);
    return text.trimmed();
}

QString StripLabelColons(QString text)
{
    while (text.endsWith(u':'))
        text.chop(1);
    while (text.endsWith(QChar(0xFF1A)))
        text.chop(1);
    return text;
}

QString CutTooltip(const QString& text) { return text.size() >= 80 ? text.left(75) + QStringLiteral(" ...") : text; }

int TextLimit(bool multiLine) { return multiLine ? 2000 : 255; }

QString DialogSizeKey(int templateId, int helpId, int dpi)
{
    return FormatString(u"dlg.%d.%d.%d", templateId, helpId, dpi);
}

QString FormatDialogSize(int width, int height, int showCmd)
{
    return FormatString(u"%d,%d,%d", width, height, showCmd);
}

bool ParseDialogSize(const QString& value, int& width, int& height, int& showCmd)
{
    int v[3] = {0, 0, 0};
    const QStringList parts = value.split(u',');
    int got = 0;
    for (int i = 0; i < 3 && i < parts.size(); ++i) {
        bool ok = false;
        const int x = parts[i].trimmed().toInt(&ok);
        if (!ok)
            break;
        v[i] = x;
        ++got;
    }
    width = v[0];
    height = v[1];
    showCmd = v[2];
    return got > 0;
}

int XScrollModel::Offset(int pos) const
{
    const int r = Range();
    if (r <= 0)
        return 0;
    return static_cast<int>(static_cast<long long>(pos) * nMax / r);
}

int XScrollModel::Clamp(int pos) const { return std::clamp(pos, 0, std::max(Range(), 0)); }

XScrollModel ComputeScrollModel(int content, int client)
{
    XScrollModel m;
    content = std::max(content, 1);
    m.nMax = std::max(content - client, 0);
    m.nPage = static_cast<int>(static_cast<long long>(m.nMax) * client / content);
    return m;
}

int ScrollRequestPos(const XScrollModel& m, int request, int pos, int track, int lines)
{
    const int r = m.Range();
    lines = std::max(lines, 1);
    switch (request) {
    case SB_LINEUP:
        pos -= r / lines;
        break;
    case SB_LINEDOWN:
        pos += r / lines;
        break;
    case SB_PAGEUP:
        pos -= r / 2;
        break;
    case SB_PAGEDOWN:
        pos += r / 2;
        break;
    case SB_THUMBTRACK:
        pos = track;
        break;
    case SB_TOP:
        pos = 0;
        break;
    case SB_BOTTOM:
        pos = r;
        break;
    default:
        break;
    }
    return m.Clamp(pos);
}

XScrollBars FitScrollBars(QSize content, QSize client, int vbarWidth, int hbarHeight)
{
    XScrollBars bars;
    const int w = std::max(content.width(), 1);
    const int h = std::max(content.height(), 1);
    if (client.height() < h) {
        bars.vertical = true;
        client.rwidth() -= vbarWidth;
    }
    if (client.width() < w) {
        bars.horizontal = true;
        client.rheight() -= hbarHeight;
        if (!bars.vertical && client.height() < h) {
            bars.vertical = true;
            client.rwidth() -= vbarWidth;
        }
    }
    bars.client = client;
    return bars;
}

XValidationAction DecideValidation(const std::vector<XValidationMessage>& messages,
                                   const std::vector<int>& boundMembers)
{
    auto bound = [&boundMembers](int member) {
        return member != 0 && std::find(boundMembers.begin(), boundMembers.end(), member) != boundMembers.end();
    };
    XValidationAction a;
    for (const XValidationMessage& m : messages) {
        if (m.level == ST_STOP && bound(m.member)) {
            a.kind = XValidationAction::StopAt;
            a.member = m.member;
            a.text = m.text;
            return a;
        }
    }
    QStringList alerts;
    for (const XValidationMessage& m : messages)
        if (m.level >= ST_WARN)
            alerts << m.text;
    if (alerts.isEmpty())
        return a;
    a.kind = XValidationAction::Confirm;
    a.text = alerts.join(QStringLiteral("\r\n"));
    for (const XValidationMessage& m : messages) {
        if (m.level == ST_WARN && bound(m.member)) {
            a.warnMember = m.member;
            a.warnText = m.text;
            break;
        }
    }
    return a;
}
