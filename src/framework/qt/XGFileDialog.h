// Choosing a file: the platform's open and save dialogs with filters written as
// "Name|*.ext|All Files|*.*". A hook (for tests and scripted runs) may answer instead.
#pragma once

#include <functional>
#include <string>

class QString;

struct XGFileRequest {
    bool save = false;
    std::string filter;
    std::string defaultExtension;
    std::string proposedName; // a name, or a path whose folder the dialog starts in
    bool confirmOverwrite = true; // a save dialog asks before an existing file is chosen
};

// Returns the chosen path, "" for cancel.
using XGFileHook = std::function<std::string(const XGFileRequest& request)>;
XGFileHook XGSetFileHook(XGFileHook hook);

// The chosen path, or "" when the user cancelled.
std::string XGChooseFile(const XGFileRequest& request);
// An existing file to open, through the filter.
std::string XGChooseFileToOpen(const std::string& filter, const std::string& defaultExtension);

// "Name|*.ext|All Files|*.*" as Qt's "Name (*.ext *.EXT);;All Files (*)"; patterns
// match either case, as they do on the platform the filters were written for.
QString XGConvertFilter(const std::string& filter);
