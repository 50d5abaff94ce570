#include "app/OutputWindow.h"

LRESULT ReceiveTraceLine(HWND window, const COPYDATASTRUCT *data)
{
    return 0;
}
