// The About box: a modal dialog built in memory, with the animated logo, a link to the
// program's web site, the version text and a Close button.
#pragma once
#include <windows.h>
#include <stddef.h>

// The program's own web site: the link button shows the host, and opens the URL.
extern const char ABOUT_SITE_HOST[];
extern const char ABOUT_SITE_URL[];

// Ticks of the logo's turn: falls by 1 every 100 ms while an About box is open and
// carries on from there the next time one opens.
extern int animationClock;

// Handed to the dialog as its initialisation value.
struct AboutRecord {
    HICON icon;        // class icon while the box is open, 0 for none
    DWORD unused;
    char text[4088];   // product name, 0, about text, 0
};

// Runs the About box for product and version (major in the low word, minor in the high
// word); icon 0 keeps the class icon; size (content pixels) 0 for the default. Returns
// when the box closes.
INT_PTR ShowAboutBox(HWND owner, const char *product, DWORD version, HICON icon,
                     const SIZE *size, DWORD unused);
INT_PTR CALLBACK AboutDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The block that holds the template, with its size and the size of the template now in it.
const void *AboutTemplateBlock(size_t *blockSize, size_t *templateSize);
