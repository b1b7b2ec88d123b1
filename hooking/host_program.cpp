// The host's command line, written by Hushpane.exe and read by the host.
#include "host_program.h"

// Appends text, or its first `count` characters, at *at, keeping one
// character for the end; false when full.
static bool HostProgram_Append(char *line, size_t size, size_t *at, const char *text,
                               size_t count = (size_t)-1)
{
    for (; *text && count > 0; ++text, --count) {
        if (*at + 1 >= size)
            return false;
        line[(*at)++] = *text;
    }
    line[*at] = '\0';
    return true;
}

static bool HostProgram_AppendNumber(char *line, size_t size, size_t *at, uint32_t value)
{
    char digits[12];
    char *first = digits + sizeof digits - 1;
    *first = '\0';
    do {
        *--first = (char)('0' + value % 10u);
        value /= 10u;
    } while (value != 0);
    return HostProgram_Append(line, size, at, first);
}

bool HostProgram_FormatCommandLine(char *line, size_t size, const char *programPath, uint32_t window,
                                   uint32_t processId)
{
    size_t folderLength = 0;
    for (size_t i = 0; programPath[i]; ++i)
        if (programPath[i] == '\\')
            folderLength = i + 1;
    size_t at = 0;
    return size > 0 && HostProgram_Append(line, size, &at, "\"") &&
           HostProgram_Append(line, size, &at, programPath, folderLength) &&
           HostProgram_Append(line, size, &at, HOST_PROGRAM_NAME "\" ") &&
           HostProgram_AppendNumber(line, size, &at, window) && HostProgram_Append(line, size, &at, " ") &&
           HostProgram_AppendNumber(line, size, &at, processId);
}

static const char *HostProgram_SkipBlanks(const char *at)
{
    while (*at == ' ' || *at == '\t')
        ++at;
    return at;
}

// A non-zero decimal number of 32 bits, then a blank or the end; NULL otherwise.
static const char *HostProgram_ReadNumber(const char *at, uint32_t *value)
{
    uint64_t read = 0;
    const char *first = at;
    for (; *at >= '0' && *at <= '9'; ++at) {
        read = read * 10u + (uint64_t)(*at - '0');
        if (read > 0xFFFFFFFFu)
            return NULL;
    }
    if (at == first || read == 0 || (*at != '\0' && *at != ' ' && *at != '\t'))
        return NULL;
    *value = (uint32_t)read;
    return at;
}

bool HostProgram_ParseCommandLine(const char *line, uint32_t *window, uint32_t *processId)
{
    const char *at = HostProgram_SkipBlanks(line);
    if (*at == '"') {
        do
            ++at;
        while (*at && *at != '"');
        if (*at++ != '"')
            return false;
    } else {
        while (*at && *at != ' ' && *at != '\t')
            ++at;
    }
    at = HostProgram_ReadNumber(HostProgram_SkipBlanks(at), window);
    at = at ? HostProgram_ReadNumber(HostProgram_SkipBlanks(at), processId) : NULL;
    return at && *HostProgram_SkipBlanks(at) == '\0';
}
