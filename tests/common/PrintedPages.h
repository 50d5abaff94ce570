// The test printer: a CUPS queue "PDF" whose jobs land as PDF files, with their text
// beside them, in the folder ORVELLO_PRINT_DIR names (set by the test run when CUPS
// runs). Reads a finished job back, page by page.
#pragma once
#include <windows.h>
#include <set>
#include <string>
#include <vector>

struct PrintedJob {
    std::vector<std::string> pages;  // text of each page, lines split by '\n'
    std::string words;               // the words with their boxes (pdftotext -bbox)
    std::string fonts;               // the fonts the PDF uses (pdffonts)
    bool found = false;
};

// Why there is no test printer this run, as the script that sets it up found it.
inline std::string NoPrinterReason()
{
    char reason[512] = "";
    if (!GetEnvironmentVariableA("ORVELLO_PRINTER_SKIP", reason, sizeof reason))
        return "No test printer: ORVELLO_PRINT_DIR is not set (run the tests with make test)";
    return std::string("No test printer: ") + reason;
}

// The Windows path of the printed-jobs folder, or "" when there is no test printer.
inline std::string PrintFolder()
{
    char unixPath[MAX_PATH] = "";
    if (!GetEnvironmentVariableA("ORVELLO_PRINT_DIR", unixPath, sizeof unixPath))
        return "";
    std::string path = std::string("Z:") + unixPath;
    for (char &c : path)
        if (c == '/')
            c = '\\';
    return path;
}

inline std::string ReadWholeFile(const std::string &path)
{
    std::string data;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, 0,
                              OPEN_EXISTING, 0, 0);
    if (file == INVALID_HANDLE_VALUE)
        return data;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, 0) && got)
        data.append(buffer, got);
    CloseHandle(file);
    return data;
}

// Names of the jobs finished so far (their text files).
inline std::set<std::string> PrintedJobNames()
{
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((PrintFolder() + "\\*.pdf.txt").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.insert(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// Waits for a job that is not among before and reads it back; found is false when none
// came within the wait. pump runs the caller's messages meanwhile.
inline PrintedJob WaitForPrintedJob(const std::set<std::string> &before, DWORD milliseconds = 60000)
{
    PrintedJob job;
    for (DWORD waited = 0; waited < milliseconds && !job.found; waited += 100) {
        for (const std::string &name : PrintedJobNames()) {
            if (before.count(name))
                continue;
            std::string base = PrintFolder() + "\\" + name.substr(0, name.size() - 4);
            std::string text = ReadWholeFile(base + ".txt");
            job.words = ReadWholeFile(base + ".html");
            job.fonts = ReadWholeFile(base + ".fonts");
            // pdftotext ends every page with a form feed.
            size_t start = 0, feed;
            while ((feed = text.find('\f', start)) != std::string::npos) {
                job.pages.push_back(text.substr(start, feed - start));
                start = feed + 1;
            }
            job.found = true;
            break;
        }
        if (!job.found) {
            MSG message;
            while (PeekMessageA(&message, 0, 0, 0, PM_REMOVE))
                DispatchMessageA(&message);
            Sleep(100);
        }
    }
    return job;
}

// The non-empty lines of a page, without the spaces around them.
inline std::vector<std::string> PageLines(const std::string &page)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= page.size()) {
        size_t end = page.find('\n', start);
        if (end == std::string::npos)
            end = page.size();
        std::string line = page.substr(start, end - start);
        size_t first = line.find_first_not_of(" \r\t");
        if (first != std::string::npos)
            lines.push_back(line.substr(first, line.find_last_not_of(" \r\t") - first + 1));
        start = end + 1;
    }
    return lines;
}
