// Control-character escapes of the Find / Replace fields (no Win32 here).
#pragma once

// Rewrites text in place: backslash t becomes TAB, then backslash r becomes CR, then
// backslash n becomes CR (the editor holds line ends as CR). Nothing else is an escape,
// and a doubled backslash does not protect the next one.
void TranslateEscapes(char *text);
