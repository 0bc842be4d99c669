// Start-up: the Qt application, the splash window, the application object made by
// the program, 'odoc' for each document handed over (else 'oapp'), the splash's
// 3000 ms, then the main loop until the application quits.
#pragma once

#include <functional>
#include <string>
#include <vector>

class XGAppCore;

struct XGStartupOptions {
    bool splash = true;
    // No frame and no windows: errors go to standard error (a batch run).
    bool headless = false;
    // A folder of resource files read over the built-in ones (empty: none).
    std::string resources;
    std::vector<std::string> documents;
};

// Returns the process's exit status: 1 when the application could not be made or,
// in a headless run, when an error was reported; else 0.
int XGStartup(int& argc, char** argv, const std::function<XGAppCore*()>& create, const XGStartupOptions& options);
