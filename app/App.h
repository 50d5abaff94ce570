// Process-wide state of the application shell, set up by start-up.
#pragma once
#include <windows.h>

// ModeFlags bits of the output window.
enum {
    MODE_ACTIVE = 1,
    MODE_OUTPUT = 2,
    MODE_TITLE_OUTPUT = 4,
    MODE_FIXED_FONT = 8,
    MODE_ALWAYS_ON_TOP = 16,
};

extern const char *AppName;    // "OrvelloWord", or "OXR" in the output window
extern int ModeFlags;          // non-zero means the output window
extern const char *FileFilter; // double-zero-terminated filter list
extern int FontMode;
extern HFONT ProportionalFont;
extern HFONT FixedFont;
extern HFONT GuiFont;
extern HFONT DocumentFont;
extern HWND MainWindow;
extern HACCEL Accelerators;
extern HWND ModelessDialog;    // the one open modeless dialog, or 0
// Brings the status bar, toolbar buttons and combos in line with the selection: the main
// window's FollowSelection. Folders below app/ call SelectionChanged after moving it.
extern void (*OnSelectionChanged)();
inline void SelectionChanged()
{
    if (OnSelectionChanged)
        OnSelectionChanged();
}

inline bool OutputWindowMode() { return ModeFlags != 0; }

// Builds a font from a font description such as "fixed; font=courier new".
void ParseFontDescription(const char *description, LOGFONTA *font);

// Start-up up to the message loop: builds the main window in the personality the
// command line chooses. Returns the main window, or 0 when a window could not be made.
HWND StartMainWindow(HINSTANCE instance, const char *commandLine);
// Opens the file a command line names (nothing for a switch), here or, with
// inAnotherWindow, in a new OrvelloWord process.
void OpenCommandLineFile(HWND main, const char *commandLine, bool inAnotherWindow);
// Starts another OrvelloWord process with these arguments; 1 when it started.
int StartAnotherWindow(const char *arguments);
// Runs the message loop until WM_QUIT; returns its wParam.
int RunMessageLoop();
