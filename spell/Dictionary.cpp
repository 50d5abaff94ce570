#include "spell/Dictionary.h"

#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "res/resource.h"
#include "spell/FolderText.h"
#include "spell/SpecialFolder.h"

char WordListPath[260] = "";
const void *WordListStream = 0;
size_t WordListStreamSize = 0;

// The compressed list: the stand-in when one is set, else the RCDATA resource.
static const void *EmbeddedStream(size_t *size)
{
    if (WordListStream) {
        *size = WordListStreamSize;
        return WordListStream;
    }
    *size = 0;
    HMODULE module = GetModuleHandleA(0);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(IDR_WORD_LIST), (LPCSTR)RT_RCDATA);
    HGLOBAL loaded = found ? LoadResource(module, found) : 0;
    const void *data = loaded ? LockResource(loaded) : 0;
    if (data)
        *size = SizeofResource(module, found);
    return data;
}

static bool WriteWholeFile(const char *path, const void *data, size_t size)
{
    FILE *file = fopen(path, "wb");
    if (!file)
        return false;
    bool written = fwrite(data, 1, size, file) == size;
    return fclose(file) == 0 && written;
}

// Inflates the embedded list into a file beside the word list and renames it into
// place only when the whole stream arrived and was written, so a full disk or a
// damaged stream never leaves a half list to be loaded next time.
static bool CreateWordListFile(const char *path)
{
    char packed[270], inflated[270];
    snprintf(packed, sizeof packed, "%s.lzw", path);
    snprintf(inflated, sizeof inflated, "%s.new", path);
    size_t size = 0;
    const void *stream = EmbeddedStream(&size);
    bool made = false;
    if (stream && size && WriteWholeFile(packed, stream, size)) {
        FILE *input = fopen(packed, "rb");
        FILE *output = input ? fopen(inflated, "wb") : 0;
        if (input && output) {
            long total = InflateFile(input, output);
            made = fclose(output) == 0 && total > 0;
        } else if (output) {
            fclose(output);
        }
        if (input)
            fclose(input);
        made = made && MoveFileExA(inflated, path, MOVEFILE_REPLACE_EXISTING);
    }
    DeleteFileA(packed);
    DeleteFileA(inflated);
    return made;
}

bool LoadDictionary()
{
    char appData[260] = "", program[MAX_PATH] = "", folder[260];
    GetSpecialFolder("AppData", appData, HKEY_CURRENT_USER);
    DWORD named = GetModuleFileNameA(0, program, sizeof program);
    if (named == 0 || named >= sizeof program)
        program[0] = 0;
    // Without an application-data folder the list goes beside the program; never to
    // a folder at the root of whatever drive is current.
    WordListPath[0] = 0;
    if (!WordListBaseFolder(appData, program, folder, sizeof folder))
        return false;
    char path[sizeof WordListPath];
    int length = snprintf(path, sizeof path, "%s\\OrvelloWord", folder);
    if (length < 0 || length >= (int)sizeof path)
        return false;
    CreateDirectoryA(path, 0);
    length = snprintf(path, sizeof path, "%s\\OrvelloWord\\Dictionary.txt", folder);
    if (length < 0 || length >= (int)sizeof path)
        return false;
    memcpy(WordListPath, path, sizeof WordListPath);

    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES && !CreateWordListFile(path))
        return false;
    FILE *file = fopen(path, "rb");
    if (!file)
        return false;
    ReadWordList(file);
    fclose(file);
    return true;
}

int AddUserWord(char *word)
{
    AddWord(word);
    if (!word || !WordListPath[0])
        return 0;
    FILE *file = fopen(WordListPath, "a+b");
    if (!file)
        return 0;
    // A list edited by hand may lack its last line end; the word must not join that line.
    bool joined = false;
    if (fseek(file, -1, SEEK_END) == 0)
        joined = fgetc(file) != '\n';
    fseek(file, 0, SEEK_END);
    if (joined)
        fputs("\r\n", file);
    fputs(word, file);
    fputs("\r\n", file);
    bool failed = ferror(file) != 0;
    return fclose(file) == 0 && !failed;
}
