// Answers the next message box of this thread the way a user would: a thread timer
// fires inside the box's own message loop, reads its text and presses a button.
#pragma once
#include <windows.h>
#include <string.h>
#include <string>

struct ModalAnswer {
    static int button;          // the button to press, 0 when none is expected
    static int shown;           // boxes seen since Expect
    static std::string text;    // the last box's message
    static std::string caption; // and its title

    static UINT_PTR timer;

    static void Expect(int pressing)
    {
        Stop();
        button = pressing;
        shown = 0;
        text.clear();
        caption.clear();
        timer = SetTimer(0, 0, 30, Tick);
    }

    static void Stop()
    {
        if (timer)
            KillTimer(0, timer);
        timer = 0;
    }

    static BOOL CALLBACK FindBox(HWND window, LPARAM found)
    {
        char name[16] = "";
        GetClassNameA(window, name, sizeof name);
        if (IsWindowVisible(window) && strcmp(name, "#32770") == 0) {
            *(HWND *)found = window;
            return FALSE;
        }
        return TRUE;
    }

    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD)
    {
        HWND box = 0;
        EnumThreadWindows(GetCurrentThreadId(), FindBox, (LPARAM)&box);
        if (!box || !button)
            return;
        char buffer[1024] = "";
        GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
        text = buffer;
        GetWindowTextA(box, buffer, sizeof buffer);
        caption = buffer;
        ++shown;
        Stop();
        PostMessageA(box, WM_COMMAND, button, 0);
    }
};

inline UINT_PTR ModalAnswer::timer = 0;
inline int ModalAnswer::button = 0;
inline int ModalAnswer::shown = 0;
inline std::string ModalAnswer::text;
inline std::string ModalAnswer::caption;
