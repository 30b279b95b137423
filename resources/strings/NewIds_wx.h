#pragma once

// Control ids of the WeChat notice dialog, until they join the generated ids header.
enum : int {
    IDC_WXMSG_PREVIEW = 1136,
    IDC_WXMSG_TMPL0 = 1260, // the template choices 1260..1264, one radio group
    IDC_WXMSG_TMPL4 = 1264,
    IDC_WXMSG_USERDEF = 1265,
};
