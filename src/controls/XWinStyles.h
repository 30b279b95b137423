#pragma once

// Style bits of dialog tables and controls, with the values the program's tables were
// written against. WS_MAXIMIZEBOX shares its bit with WS_TABSTOP and WS_GROUP with
// WS_MINIMIZEBOX: test dialog styles on dialogs only and control styles on controls only.
enum : unsigned {
    WS_CHILD = 0x40000000,
    WS_VISIBLE = 0x10000000,
    WS_DISABLED = 0x08000000,
    WS_VSCROLL = 0x00200000,
    WS_HSCROLL = 0x00100000,
    WS_GROUP = 0x00020000,
    WS_TABSTOP = 0x00010000,
    WS_MAXIMIZEBOX = 0x00010000,
    WS_EX_CLIENTEDGE = 0x00000200,

    DS_LOCALEDIT = 0x20,

    BS_PUSHBUTTON = 0x0,
    BS_AUTOCHECKBOX = 0x3,
    BS_AUTORADIOBUTTON = 0x9,
    BS_GROUPBOX = 0x7,

    ES_MULTILINE = 0x4,
    ES_OEMCONVERT = 0x400,
    ES_READONLY = 0x800,
    ES_WANTRETURN = 0x1000,
    CBS_OEMCONVERT = 0x80,
    DTS_SHOWNONE = 0x2,
    LVS_NOCOLUMNHEADER = 0x4000,
    LVS_NOSORTHEADER = 0x8000,

    // the spin of a number edit: child, visible, align right, arrow keys, no thousands, hot
    XSPIN_STYLE = 0x500001A4,
};

// Balloon and message types.
enum : int { TTI_INFO = 1, TTI_WARNING = 2, TTI_ERROR = 3 };

// Combo box kinds: a drop-down with an edit, a drop-down list without.
enum : unsigned { CBS_DROPDOWN = 0x2, CBS_DROPDOWNLIST = 0x3 };
