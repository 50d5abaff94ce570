// The status bar's part for the document itself, beside "Ln, col": the format a save
// writes and its line ends ("UTF-8 | LF", "ANSI | CR LF", "Rich Text").
#pragma once
#include <string>

// The text the part shows now: "Rich Text" while the document is rich text (as the
// Save As list offers first) or is saved as RTF, else the text format and line ends.
std::string DocumentStatusText();
// Brings the part up to date (the editor's status bar only); cheap when nothing changed.
void ShowDocumentStatus();
