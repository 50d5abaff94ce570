// tracesend: sends its arguments, joined by spaces, as one line to the output window;
// without arguments, each line of standard input as one line.
#include <stdio.h>
#include <string>

#include "app/TracePrint.h"

// Reads one line without its CR/LF; false at the end of the input with nothing read.
static bool ReadLine(FILE *input, std::string &line)
{
    line.clear();
    int c;
    while ((c = fgetc(input)) != EOF && c != '\n')
        line += (char)c;
    if (c == EOF && line.empty())
        return false;
    while (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

int main(int argc, char **argv)
{
    if (argc > 1) {
        std::string line = argv[1];
        for (int k = 2; k < argc; ++k)
            line += std::string(" ") + argv[k];
        TracePrint("%s", line.c_str());
        return 0;
    }
    std::string line;
    while (ReadLine(stdin, line))
        TracePrint("%s", line.c_str());
    return 0;
}
