// Resource identifiers of OrvelloWord. #defines only, grouped by kind.
#pragma once

// Menus and accelerators
#define IDM_EDITOR              100
#define IDM_OUTPUT              107
#define IDA_MAIN                103

// Bitmaps and icons
#define IDB_TOOLBAR             101
#define IDI_EDITOR              102
#define IDI_OUTPUT              106
// The toolbar strip for 125, 150 and 200 % (101 is 100 %)
#define IDB_TOOLBAR_20          121
#define IDB_TOOLBAR_24          122
#define IDB_TOOLBAR_32          123

// Dialogs
#define IDD_SAVE_FORMAT         104
#define IDD_GOTO                105
#define IDD_TEXT_FORMAT         108
#define IDD_PRINT_PREVIEW       109
#define IDD_FIND                110
#define IDD_SPELL               111
#define IDD_LINE_SORT           113

// Controls
#define IDC_SAVE_FORMAT_LIST    1000

// --- Find / Replace, Goto Line, Line Sort ---
#define IDC_GOTO_NUMBER         1001
#define IDC_GOTO_LINE           1016
#define IDC_GOTO_CHAR           1017
#define IDC_FIND_TEXT           1021
#define IDC_REPLACE_TEXT        1022
#define IDC_WHOLE_WORD          1023
#define IDC_MATCH_CASE          1024
#define IDC_SEARCH_UP           1025
#define IDC_SEARCH_DOWN         1026
#define IDC_FIND_NEXT_BUTTON    1027
#define IDC_REPLACE             1028
#define IDC_REPLACE_ALL         1029
#define IDC_FIND_ESCAPES        1030
#define IDC_REPLACE_ESCAPES     1031
#define IDC_SORT_REVERSE        1032
#define IDC_SORT_CASE           1033


// --- Text Format dialog and colour menu ---
#define IDC_FORMAT_LEFT         1002
#define IDC_FORMAT_RIGHT        1003
#define IDC_FORMAT_FIRST_LINE   1004
#define IDC_FORMAT_TABS         1005
#define IDC_FORMAT_ALIGNMENT    1006
#define IDC_FORMAT_BULLETS      1007
#define IDC_FORMAT_BOLD         1008
#define IDC_FORMAT_ITALIC       1009
#define IDC_FORMAT_UNDERLINE    1010
#define IDC_FORMAT_FACE         1011
#define IDC_FORMAT_STRIKEOUT    1012
#define IDC_FORMAT_SIZE         1013
#define IDC_FORMAT_OFFSET       1014
#define IDC_FORMAT_COLOR        1015


// --- Spell Check ---
#define IDC_SPELL_WORD          1021
#define IDC_SPELL_SUGGESTIONS   1022
#define IDC_SPELL_FIND_NEXT     1027
#define IDC_SPELL_REPLACE       1028
#define IDC_SPELL_ADD           1029
#define IDC_SPELL_IGNORE        1030
#define IDR_WORD_LIST           200


// --- Printing and print preview ---
#define IDC_PREVIEW_PAGES_AREA  1018
#define IDC_PREVIEW_PAGE_COUNT  1019
#define IDC_PREVIEW_FIRST_PAGE  1020


// --- About box ---
#define IDC_ABOUT_LINK          50
#define IDC_ABOUT_TEXT          51
#define IDC_ABOUT_LOGO          52


// --- Documents ---


// Commands (40000-40049)
#define IDC_RECENT_FIRST        40000
#define IDC_RECENT_LAST         40003
#define IDC_SAVE_AS             40004
#define IDC_EXIT                40005
#define IDC_OPEN                40006
#define IDC_UNUSED_40007        40007
#define IDC_SAVE                40008
#define IDC_STATUSBAR           40009
#define IDC_TOOLBAR             40010
#define IDC_PRINT               40011
#define IDC_CUT                 40012
#define IDC_COPY                40013
#define IDC_PASTE               40014
#define IDC_NEW                 40015
#define IDC_SELECT_ALL          40016
#define IDC_UNDO                40017
#define IDC_DELETE              40018
#define IDC_FIND                40019
#define IDC_FIND_NEXT           40020
#define IDC_GOTO                40021
#define IDC_REDO                40022
#define IDC_OUTPUT              40023
#define IDC_TITLE_OUTPUT        40024
#define IDC_ALWAYS_ON_TOP       40025
#define IDC_BOLD                40026
#define IDC_ITALIC              40027
#define IDC_UNDERLINE           40028
#define IDC_ALIGN_LEFT          40029
#define IDC_CENTER              40030
#define IDC_ALIGN_RIGHT         40031
#define IDC_COLOR               40032
#define IDC_BULLETS             40033
#define IDC_TEXT_FORMAT         40034
#define IDC_PAGE_SETUP          40035
#define IDC_NO_WRAP             40036
#define IDC_WRAP_PAGE           40037
#define IDC_PLAIN_TEXT          40038
#define IDC_WRAP_WINDOW         40039
#define IDC_RICH_TEXT           40040
#define IDC_PRINT_PREVIEW       40041
#define IDC_FIXED_FONT          40042
#define IDC_SPELL               40043
#define IDC_SPELL_CLIPBOARD     40044
#define IDC_SORT_LINES          40045
#define IDC_ABOUT               40049

// Line Ends menu (40100-40109: its own range, clear of the commands above and of
// 40046-40048, which the dispatcher keeps as doing nothing)
#define IDC_LINE_ENDS_CRLF      40100
#define IDC_LINE_ENDS_LF        40101
#define IDC_LINE_ENDS_CR        40102

// Output window menu (40110-40119: its own range)
#define IDC_CLEAR_OUTPUT        40110
#define IDC_LOG_TO_FILE         40111
