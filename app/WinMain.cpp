#include <string.h>

#include "app/App.h"
#include "document/Recovery.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    const char *arguments = commandLine ? commandLine : "";
    HWND main = StartMainWindow(instance, arguments);
    if (!main)
        return 0;
    // Unsaved work is kept for the editor's documents, not for the output window's log
    // nor for a clipboard check.
    int restored = 0;
    if (!OutputWindowMode() && !strstr(arguments, "/spell"))
        restored = StartRecovery(main, arguments);
    OpenCommandLineFile(main, arguments, restored != 0);
    return RunMessageLoop();
}
