// The exception table and its REG_MULTI_SZ form.
#include "exceptions.h"

static char FoldCase(char c)
{
    return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
}

// Never past a name's room: a table in shared memory may be caught mid-write.
static bool SameName(const char *a, const char *b)
{
    for (uint32_t i = 0; i < EXCEPTION_NAME_SIZE; ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i]))
            return false;
        if (a[i] == '\0')
            return true;
    }
    return false;
}

static bool IsSeparator(char c)
{
    return c == '\\' || c == '/' || c == ':';
}

bool Exceptions_IsValidName(const char *name)
{
    uint32_t length = 0;
    bool blank = true;
    for (; name[length]; ++length) {
        const unsigned char c = (unsigned char)name[length];
        if (length + 1 >= EXCEPTION_NAME_SIZE || c < 0x20 || IsSeparator((char)c))
            return false;
        blank = blank && c == ' ';
    }
    return !blank;
}

const char *Exceptions_FileName(const char *path)
{
    const char *name = path;
    for (; *path; ++path)
        if (IsSeparator(*path))
            name = path + 1;
    return name;
}

void Exceptions_CopyFileName(const char *path, char *name, uint32_t size)
{
    const char *file = Exceptions_FileName(path);
    uint32_t i = 0;
    for (; file[i] && i + 1 < size; ++i)
        name[i] = file[i];
    name[i] = '\0';
}

bool Exceptions_Contains(const struct ExceptionTable *table, const char *name)
{
    for (uint32_t i = 0; i < table->count && i < EXCEPTION_MAX_COUNT; ++i)
        if (SameName(table->names[i], name))
            return true;
    return false;
}

bool Exceptions_Add(struct ExceptionTable *table, const char *name)
{
    if (!Exceptions_IsValidName(name))
        return false;
    if (Exceptions_Contains(table, name))
        return true;
    if (table->count >= EXCEPTION_MAX_COUNT)
        return false;
    char *slot = table->names[table->count++];
    uint32_t i = 0;
    for (; name[i]; ++i)
        slot[i] = name[i];
    slot[i] = '\0';
    return true;
}

void Exceptions_Remove(struct ExceptionTable *table, const char *name)
{
    uint32_t kept = 0;
    for (uint32_t i = 0; i < table->count && i < EXCEPTION_MAX_COUNT; ++i) {
        if (SameName(table->names[i], name))
            continue;
        if (kept != i)
            for (uint32_t c = 0; c < EXCEPTION_NAME_SIZE; ++c)
                table->names[kept][c] = table->names[i][c];
        ++kept;
    }
    table->count = kept;
}

uint32_t Exceptions_Parse(const unsigned char *data, uint32_t size, uint32_t type,
                          struct ExceptionTable *table)
{
    table->count = 0;
    if (size == 0)
        return 0;   // a missing or empty value: no exceptions, nothing cut
    if (type != EXCEPTIONS_TYPE_MULTI_SZ)
        return EXCEPTIONS_CUT_TYPE;
    if (size > EXCEPTIONS_READ_SIZE)
        return EXCEPTIONS_CUT_TOO_LARGE;
    uint32_t cut = 0;
    uint32_t at = 0;
    for (;;) {
        if (at >= size)
            return cut | EXCEPTIONS_CUT_UNTERMINATED;   // the list ran out without its empty string
        uint32_t end = at;
        while (end < size && data[end] != 0)
            ++end;
        if (end == at)
            return cut;   // the empty string ends the list
        if (end == size)
            return cut | EXCEPTIONS_CUT_UNTERMINATED;   // a name cut by the end is not taken
        char name[EXCEPTION_NAME_SIZE];
        const uint32_t length = end - at;
        bool fits = length < EXCEPTION_NAME_SIZE;
        if (fits) {
            for (uint32_t i = 0; i < length; ++i)
                name[i] = (char)data[at + i];
            name[length] = '\0';
        }
        if (!fits || !Exceptions_IsValidName(name))
            cut |= EXCEPTIONS_CUT_BAD_NAME;
        else if (!Exceptions_Add(table, name))
            cut |= EXCEPTIONS_CUT_TOO_MANY;
        at = end + 1;
    }
}

uint32_t Exceptions_Format(const struct ExceptionTable *table, unsigned char *out, uint32_t size)
{
    uint32_t at = 0;
    for (uint32_t i = 0; i < table->count && i < EXCEPTION_MAX_COUNT; ++i) {
        const char *name = table->names[i];
        do {
            if (at >= size)
                return 0;
            out[at++] = (unsigned char)*name;
        } while (*name++);
    }
    if (at >= size)
        return 0;
    out[at++] = 0;
    return at;
}
