#pragma once

class CModule;

// What a layer above the records keeps per module (its command target) goes with the
// module: that layer adds a callback, run by the module's destructor once the module has
// left the module list. UI thread, like the modules themselves.
using XModuleGoneCallback = void (*)(CModule* module);
// Adds the callback; adding it again does nothing.
void AddModuleGoneCallback(XModuleGoneCallback callback);
