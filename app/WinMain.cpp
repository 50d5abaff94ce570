#include "app/App.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    if (!StartMainWindow(instance, commandLine ? commandLine : ""))
        return 0;
    return RunMessageLoop();
}
