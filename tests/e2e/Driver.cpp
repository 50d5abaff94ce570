#include "Driver.h"

#include <commctrl.h>
#include <commdlg.h>
#include <richedit.h>
#include <shlobj.h>
#include <stdio.h>
#include <string.h>

std::string BesideThisProgram(const char *name)
{
    char path[MAX_PATH];
    GetModuleFileNameA(0, path, sizeof path);
    std::string beside(path, strrchr(path, '\\') + 1);
    return beside + name;
}
#include "tests/common/FileBytes.h"

RunningProgram StartProgram(const char *arguments, const char *windowClass)
{
    ForgetUnsavedWork();
    return StartBeside("OrvelloWord.exe", arguments, windowClass);
}

RunningProgram StartProgramKeepingSnapshots(const char *arguments)
{
    return StartBeside("OrvelloWord.exe", arguments, "OrvelloWord");
}

std::string RecoveryFolderPath()
{
    char base[MAX_PATH] = "";
    SHGetFolderPathA(0, CSIDL_LOCAL_APPDATA, 0, 0, base);
    return std::string(base) + "\\OrvelloWord\\Recovery";
}

std::string TempFolder(const char *name)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string folder = std::string(temp) + name + "\\";
    CreateDirectoryA(folder.c_str(), 0);
    return folder;
}

std::string TitleFor(const std::string &path)
{
    char title[260] = "";
    GetFileTitleA(path.c_str(), title, sizeof title);
    return std::string(title) + " - OrvelloWord";
}

void ForgetUnsavedWork()
{
    std::string folder = RecoveryFolderPath();
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(data.cFileName);
    } while (FindNextFileA(search, &data));
    FindClose(search);
    // A running program's lock cannot be deleted; its other files stay with it.
    for (const std::string &name : names) {
        std::string owner = name.substr(0, name.find('.'));
        std::string lock = folder + "\\" + owner + ".lock";
        if (GetFileAttributesA(lock.c_str()) != INVALID_FILE_ATTRIBUTES &&
            !DeleteFileA(lock.c_str()))
            continue;
        DeleteFileA((folder + "\\" + name).c_str());
    }
}

RunningProgram StartBeside(const char *name, const char *arguments, const char *windowClass)
{
    RunningProgram program;
    memset(&program, 0, sizeof program);
    std::string path = BesideThisProgram(name);
    std::string commandLine = std::string("\"") + path + "\" " + arguments;
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    // Wine now and then refuses a start while the previous program is still ending;
    // a second try a moment later succeeds.
    for (int tries = 0;; ++tries) {
        std::string buffer = commandLine;
        if (CreateProcessA(path.c_str(), &buffer[0], 0, 0, FALSE, 0, 0, 0, &startup,
                           &program.process))
            break;
        fprintf(stderr, "starting %s failed (error %lu)\n", name, GetLastError());
        if (tries == 2)
            return program;
        Sleep(500);
    }
    WaitForInputIdle(program.process.hProcess, 10000);
    for (int k = 0; k < 300 && !program.main; ++k) {
        HWND found = 0;
        while ((found = FindWindowExA(0, found, windowClass, 0))) {
            DWORD owner = 0;
            GetWindowThreadProcessId(found, &owner);
            if (owner == program.process.dwProcessId && IsWindowVisible(found)) {
                program.main = found;
                break;
            }
        }
        if (!program.main)
            Sleep(50);
    }
    Pause(200);
    return program;
}

int RunWithFileInput(const char *name, const char *arguments, const std::string &file,
                     DWORD milliseconds)
{
    std::string path = BesideThisProgram(name);
    std::string commandLine = "\"" + path + "\" " + arguments;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, 0, TRUE};
    HANDLE input = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, &inherit, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, 0);
    if (input == INVALID_HANDLE_VALUE)
        return -1;
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process;
    BOOL started = CreateProcessA(path.c_str(), &commandLine[0], 0, 0, TRUE, 0, 0, 0, &startup,
                                  &process);
    CloseHandle(input);
    if (!started)
        return -1;
    DWORD code = (DWORD)-1;
    if (WaitForSingleObject(process.hProcess, milliseconds) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return (int)code;
}

bool StartPiped(PipedProgram &piped, const char *name, const char *arguments)
{
    std::string path = BesideThisProgram(name);
    std::string commandLine = "\"" + path + "\" " + arguments;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, 0, TRUE};
    HANDLE readEnd, writeEnd;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return false;
    SetHandleInformation(writeEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = readEnd;
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    BOOL started = CreateProcessA(path.c_str(), &commandLine[0], 0, 0, TRUE, 0, 0, 0, &startup,
                                  &piped.process);
    CloseHandle(readEnd);
    if (!started) {
        CloseHandle(writeEnd);
        return false;
    }
    piped.input = writeEnd;
    return true;
}

bool WritePiped(PipedProgram &piped, const std::string &bytes)
{
    // The pipe holds little: the writes go on while the program reads.
    for (size_t done = 0; done < bytes.size();) {
        DWORD written = 0;
        if (!WriteFile(piped.input, bytes.data() + done, (DWORD)(bytes.size() - done), &written, 0))
            return false;
        done += written;
    }
    return true;
}

int FinishPiped(PipedProgram &piped, DWORD milliseconds)
{
    CloseHandle(piped.input);
    DWORD code = (DWORD)-1;
    if (WaitForSingleObject(piped.process.hProcess, milliseconds) == WAIT_OBJECT_0)
        GetExitCodeProcess(piped.process.hProcess, &code);
    else
        TerminateProcess(piped.process.hProcess, 1);
    CloseHandle(piped.process.hProcess);
    CloseHandle(piped.process.hThread);
    return (int)code;
}

int RunWithInput(const char *name, const char *arguments, const std::string &input,
                 DWORD milliseconds)
{
    PipedProgram piped;
    if (!StartPiped(piped, name, arguments))
        return -1;
    WritePiped(piped, input);
    return FinishPiped(piped, milliseconds);
}

bool WaitForExit(RunningProgram &program, DWORD milliseconds)
{
    if (!program.process.hProcess)
        return false;
    bool ended = WaitForSingleObject(program.process.hProcess, milliseconds) == WAIT_OBJECT_0;
    if (!ended)
        TerminateProcess(program.process.hProcess, 1);
    CloseHandle(program.process.hProcess);
    CloseHandle(program.process.hThread);
    program.process.hProcess = 0;
    return ended;
}

bool CloseProgram(RunningProgram &program)
{
    PostMessageA(program.main, WM_CLOSE, 0, 0);
    return WaitForExit(program);
}

namespace {
struct ChildSearch {
    const char *className;
    HWND found;
};

BOOL CALLBACK MatchChild(HWND window, LPARAM data)
{
    ChildSearch *search = (ChildSearch *)data;
    char name[64];
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpiA(name, search->className) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND FindChild(HWND parent, const char *className)
{
    ChildSearch search = {className, 0};
    EnumChildWindows(parent, MatchChild, (LPARAM)&search);
    return search.found;
}

namespace {
struct DescendantSearch {
    const char *classPrefix;  // or null
    int id;                   // or 0
    HWND found;
};

BOOL CALLBACK MatchDescendant(HWND window, LPARAM data)
{
    DescendantSearch *search = (DescendantSearch *)data;
    if (search->classPrefix && !ClassStarts(window, search->classPrefix))
        return TRUE;
    if (search->id && GetDlgCtrlID(window) != search->id)
        return TRUE;
    search->found = window;
    return FALSE;
}

struct TopSearch {
    DWORD process;
    const char *className;
    int requiredChild;   // a descendant with this id must exist; 0 for none
    int excludedChild;   // no descendant may have this id; 0 for none
    HWND found;
};

BOOL CALLBACK MatchTop(HWND window, LPARAM data)
{
    TopSearch *search = (TopSearch *)data;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->process || !IsWindowVisible(window))
        return TRUE;
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpiA(name, search->className) != 0)
        return TRUE;
    if (search->requiredChild && !FindDescendant(window, 0, search->requiredChild))
        return TRUE;
    if (search->excludedChild && FindDescendant(window, 0, search->excludedChild))
        return TRUE;
    search->found = window;
    return FALSE;
}
}  // namespace

bool ClassStarts(HWND window, const char *prefix)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return _strnicmp(name, prefix, strlen(prefix)) == 0;
}

HWND FindDescendant(HWND parent, const char *classPrefix, int id)
{
    DescendantSearch search = {classPrefix, id, 0};
    EnumChildWindows(parent, MatchDescendant, (LPARAM)&search);
    return search.found;
}

HWND FindDirectChild(HWND parent, const char *className, int id)
{
    HWND child = 0;
    while ((child = FindWindowExA(parent, child, className, 0)))
        if (GetDlgCtrlID(child) == id)
            return child;
    return 0;
}

HWND FindTopWindow(DWORD process, const char *className, int requiredChild, int excludedChild)
{
    TopSearch search = {process, className, requiredChild, excludedChild, 0};
    EnumWindows(MatchTop, (LPARAM)&search);
    return search.found;
}

HWND WaitForTopWindow(DWORD process, const char *className, int requiredChild,
                      int excludedChild, DWORD milliseconds)
{
    DWORD start = GetTickCount();
    do {
        if (HWND found = FindTopWindow(process, className, requiredChild, excludedChild))
            return found;
        Sleep(5);
    } while (GetTickCount() - start < milliseconds);
    return 0;
}

std::string LocateProgram(const char *const candidates[], const char *bare)
{
    for (int i = 0; candidates[i]; ++i) {
        char path[MAX_PATH];
        ExpandEnvironmentStringsA(candidates[i], path, sizeof path);
        if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
            return path;
    }
    char found[MAX_PATH];
    if (SearchPathA(0, bare, 0, sizeof found, found, 0))
        return found;
    return bare;
}

HWND WaitForDialog(const char *title, DWORD milliseconds)
{
    for (DWORD waited = 0; waited < milliseconds; waited += 50) {
        HWND dialog = FindWindowA("#32770", title);
        if (dialog && IsWindowVisible(dialog))
            return dialog;
        Sleep(50);
    }
    return 0;
}

bool WaitForGone(HWND window, DWORD milliseconds)
{
    for (DWORD waited = 0; IsWindow(window); waited += 50) {
        if (waited >= milliseconds)
            return false;
        Sleep(50);
    }
    return true;
}

void PressButton(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    if (button)
        PostMessageA(button, BM_CLICK, 0, 0);
}

void PressKey(HWND window, WORD key, WORD modifier)
{
    SetForegroundWindow(window);
    Pause(100);
    INPUT input[4];
    memset(input, 0, sizeof input);
    int count = 0;
    auto add = [&](WORD vk, DWORD flags) {
        input[count].type = INPUT_KEYBOARD;
        input[count].ki.wVk = vk;
        input[count++].ki.dwFlags = flags;
    };
    if (modifier)
        add(modifier, 0);
    add(key, 0);
    add(key, KEYEVENTF_KEYUP);
    if (modifier)
        add(modifier, KEYEVENTF_KEYUP);
    SendInput(count, input, sizeof input[0]);
}

std::string WindowText(HWND window)
{
    // WM_GETTEXT is carried across processes; GetWindowTextA would only give captions.
    char text[512] = "";
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 5000,
                        &result);
    return text;
}

std::vector<COLORREF> ScreenPixels(HWND window, int step)
{
    RECT area;
    GetClientRect(window, &area);
    MapWindowPoints(window, 0, (POINT *)&area, 2);
    std::vector<COLORREF> pixels;
    HDC screen = GetDC(0);
    for (int y = area.top; y < area.bottom; y += step)
        for (int x = area.left; x < area.right; x += step)
            pixels.push_back(GetPixel(screen, x, y));
    ReleaseDC(0, screen);
    return pixels;
}

std::string LongWindowText(HWND window, size_t limit)
{
    std::string text(limit + 1, '\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, text.size(), (LPARAM)&text[0], SMTO_ABORTIFHUNG,
                        60000, &copied);
    text.resize(strlen(text.c_str()));
    return text;
}

std::string WaitForWindowText(HWND window, const std::string &text, DWORD milliseconds)
{
    std::string now = LongWindowText(window, text.size() + 64);
    for (DWORD waited = 0; now != text && waited < milliseconds; waited += 20) {
        Sleep(20);
        now = LongWindowText(window, text.size() + 64);
    }
    return now;
}

int WindowTextLength(HWND window)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &result))
        return -1;
    return (int)result;
}

bool Answers(HWND window, DWORD milliseconds)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, milliseconds, &result) != 0;
}

bool StillRunsAfter(HWND dialog, const RunningProgram &program)
{
    // The answered box is gone once the code that showed it goes on; the next message
    // the window answers comes after that code has finished.
    if (!WaitForGone(dialog) || !Answers(program.main))
        return false;
    return IsWindow(program.main) &&
           WaitForSingleObject(program.process.hProcess, 0) == WAIT_TIMEOUT;
}

bool WaitForTextLength(HWND main, int length, DWORD milliseconds)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < milliseconds; Sleep(50))
        if (Answers(main) && WindowTextLength(FindChild(main, "RichEdit20A")) == length)
            return true;
    return false;
}

std::string ProfileText(const char *file, const char *section, const char *key)
{
    char value[512];
    GetPrivateProfileStringA(section, key, "<absent>", value, sizeof value, file);
    return value;
}

void ClearSection(const char *file, const char *section)
{
    WritePrivateProfileStringA(section, 0, 0, file);
}

void Pause(DWORD milliseconds)
{
    Sleep(milliseconds);
}

std::string MessageText(HWND box)
{
    return WindowText(GetDlgItem(box, 0xFFFF));
}

HWND WaitForMessageBox(const char *caption, const char *text, DWORD milliseconds)
{
    for (DWORD waited = 0; waited < milliseconds; waited += 50) {
        HWND box = 0;
        while ((box = FindWindowExA(0, box, "#32770", caption)))
            if (IsWindowVisible(box) && MessageText(box).find(text) != std::string::npos)
                return box;
        Sleep(50);
    }
    return 0;
}

bool SetClipboardText(const char *text)
{
    if (!OpenClipboard(0))
        return false;
    EmptyClipboard();
    bool done = true;
    if (text) {
        size_t size = strlen(text) + 1;
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
        memcpy(GlobalLock(memory), text, size);
        GlobalUnlock(memory);
        done = SetClipboardData(CF_TEXT, memory) != 0;
    }
    CloseClipboard();
    return done;
}

std::string ClipboardText()
{
    std::string text = "<none>";
    if (!OpenClipboard(0))
        return "<no clipboard>";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        text = (const char *)GlobalLock(data);
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

bool WaitForText(HWND window, const std::string &want, DWORD milliseconds)
{
    for (DWORD waited = 0; waited < milliseconds; waited += 50) {
        if (WindowText(window) == want)
            return true;
        Sleep(50);
    }
    return false;
}

namespace {
struct IdSearch {
    int id;
    HWND found;
};

BOOL CALLBACK MatchId(HWND window, LPARAM data)
{
    IdSearch *search = (IdSearch *)data;
    if (GetDlgCtrlID(window) == search->id && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

DWORD WINAPI SendFromThread(void *data)
{
    SentMessage *sent = (SentMessage *)data;
    sent->result = SendMessageA(sent->window, sent->message, sent->wParam, sent->lParam);
    return 0;
}
}  // namespace

HWND FindById(HWND parent, int id)
{
    IdSearch search = {id, 0};
    EnumChildWindows(parent, MatchId, (LPARAM)&search);
    return search.found;
}

HWND FileNameField(HWND dialog)
{
    for (int i = 0; i < 40; ++i) {
        HWND name = FindById(dialog, 1148);
        if (!name)
            name = FindById(dialog, 1152);
        if (name)
            return name;
        Sleep(50);
    }
    return 0;
}

std::string WaitForFile(const std::string &path)
{
    std::string last = "<missing>";
    for (int i = 0; i < 100; ++i) {
        std::string now = ReadBytes(path);
        if (now != "<missing>" && now == last)
            return now;
        last = now;
        Sleep(50);
    }
    return last;
}

bool WaitForBytes(const std::string &path, const std::string &bytes, DWORD milliseconds)
{
    for (DWORD waited = 0; ReadBytes(path) != bytes; waited += 50) {
        if (waited >= milliseconds)
            return false;
        Sleep(50);
    }
    return true;
}

void TypeText(HWND editor, const char *text)
{
    SendMessageA(editor, WM_SETTEXT, 0, (LPARAM)text);
    SendMessageA(editor, EM_SETMODIFY, TRUE, 0);
}

bool SaveAsThroughDialog(HWND main, const std::string &path, int formatItem, int *shownItem)
{
    PostMessageA(main, WM_COMMAND, 40004, 0);
    HWND dialog = WaitForDialog("Save As");
    if (!dialog)
        return false;
    HWND name = FileNameField(dialog), list = FindById(dialog, 1000);
    if (!list || !name)
        return false;
    if (shownItem)
        *shownItem = (int)SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (formatItem >= 0)
        SendMessageA(list, CB_SETCURSEL, formatItem, 0);
    SendMessageA(name, WM_SETTEXT, 0, (LPARAM)path.c_str());
    PressButton(dialog, path.empty() ? IDCANCEL : IDOK);
    for (int i = 0; i < 100 && IsWindow(dialog); ++i)
        Sleep(50);
    return !IsWindow(dialog);
}

void StartSending(SentMessage &sent)
{
    sent.result = 0;
    sent.thread = CreateThread(0, 0, SendFromThread, &sent, 0, 0);
}

bool FinishSending(SentMessage &sent, DWORD milliseconds)
{
    bool done = WaitForSingleObject(sent.thread, milliseconds) == WAIT_OBJECT_0;
    CloseHandle(sent.thread);
    sent.thread = 0;
    return done;
}

std::string StatusPartText(HWND status, int part)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(status, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                                 FALSE, processId);
    if (!process)
        return "<no access>";
    const SIZE_T size = 1024;
    void *remote = VirtualAllocEx(process, 0, size, MEM_COMMIT, PAGE_READWRITE);
    std::string text = "<no memory>";
    if (remote) {
        DWORD length = LOWORD(SendMessageA(status, SB_GETTEXTLENGTHA, part, 0));
        char local[1024] = "";
        if (length < size) {
            SendMessageA(status, SB_GETTEXTA, part, (LPARAM)remote);
            SIZE_T read = 0;
            ReadProcessMemory(process, remote, local, length + 1, &read);
            local[length] = 0;
        }
        text = local;
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return text;
}
