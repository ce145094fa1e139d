#pragma once

#include "platform/browserlauncher.h"
#include "platform/messagebox.h"
#include "platform/webview.h"

#include <functional>

namespace tovakidoviv {

// Everything ambient that the windows use, handed to them at construction:
// main() passes the real ones, tests pass fakes.
struct PlatformBundle {
    WebViewFactory makeWebView;
    BrowserLauncher *launcher = nullptr;
    MessageBox *messageBox = nullptr;
    // Ends the program at once with the exit status.
    std::function<void(int status)> endProgram;
    // The program's own directory (where loading.html is).
    QString programDirectory;
};

} // namespace tovakidoviv
