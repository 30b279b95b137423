#pragma once

// Installs what the list and link controls ask of the module layer: link actions, the
// record pickers, the scheme modules' edit pages and the list's open and header menus.
void InstallModuleHooks();
