#pragma once

// Control ids of the relay dialogs not yet in the generated ids header.
enum : int {
    IDC_PROXY_START_TIME = 1124,
    IDC_PROXY_STATUS_LINE = 1256,
    IDC_PROXY_SERVER_INTERNET = 1257,
    IDC_PROXY_SERVER_LOCAL = 1258,
};
