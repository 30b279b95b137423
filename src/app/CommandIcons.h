#pragma once

#include <span>

class CLorvanApp;

// One command's icon file under ":/icons/16/" and ":/icons/32/".
struct XCommandIcon
{
    int id;
    const char* file;
};

// The command icons, by command id; for an id listed twice the first row wins.
std::span<const XCommandIcon> CommandIconTable();

// Puts every icon of the table, at both sizes, into the application's cache. Runs before
// any other thread exists.
void LoadCommandIcons(CLorvanApp& app);
