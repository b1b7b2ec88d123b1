// The programs Hushpane leaves alone: their file names, without folders,
// compared ignoring case, kept as the REG_MULTI_SZ value "Exceptions" in the
// settings key. Plain work on bytes, shared by both binaries and unit-tested
// on the build machine.
#ifndef HUSHPANE_EXCEPTIONS_H
#define HUSHPANE_EXCEPTIONS_H

#include <stdint.h>

#define EXCEPTIONS_VALUE_NAME "Exceptions"
#define EXCEPTION_MAX_COUNT 32
#define EXCEPTION_NAME_SIZE 64          // 63 characters and the end
#define EXCEPTIONS_TYPE_MULTI_SZ 7u     // REG_MULTI_SZ
// What a load reads at most: a full table with its terminators (2,049 bytes)
// and room beyond, so that a value a little past the table is still read up
// to it; under a page, as it lives on the stack of a library without a runtime.
#define EXCEPTIONS_READ_SIZE 3072u

// The same layout for both bitnesses: it lives in the shared settings record.
struct ExceptionTable {
    uint32_t count;
    char names[EXCEPTION_MAX_COUNT][EXCEPTION_NAME_SIZE];
};
static_assert(sizeof(struct ExceptionTable) == 4 + EXCEPTION_MAX_COUNT * EXCEPTION_NAME_SIZE,
              "the exception table's layout");

// What a load left out, as flags; 0 when the value was read whole (or is missing).
enum ExceptionsCut {
    EXCEPTIONS_CUT_TYPE = 1,           // not REG_MULTI_SZ: nothing taken
    EXCEPTIONS_CUT_UNTERMINATED = 2,   // no final empty string: a name cut by the end is dropped
    EXCEPTIONS_CUT_BAD_NAME = 4,       // a blank name, one too long, or one with a folder: dropped
    EXCEPTIONS_CUT_TOO_MANY = 8,       // more names than the table holds: the first ones kept
    EXCEPTIONS_CUT_TOO_LARGE = 16      // more than EXCEPTIONS_READ_SIZE bytes: nothing taken
};

// Fills the table from a value's type and its size bytes of data, never
// reading past them; returns the ExceptionsCut flags of what it left out.
uint32_t Exceptions_Parse(const unsigned char *data, uint32_t size, uint32_t type,
                          struct ExceptionTable *table);

// The table as REG_MULTI_SZ data in out: the number of bytes, or 0 when they
// do not fit in size.
uint32_t Exceptions_Format(const struct ExceptionTable *table, unsigned char *out, uint32_t size);

// A file name as the table holds it: 1 to 63 printable characters, no folder.
bool Exceptions_IsValidName(const char *name);

// What follows the last folder separator of a path.
const char *Exceptions_FileName(const char *path);
// That file name copied into name, cut to size - 1 characters and ended.
void Exceptions_CopyFileName(const char *path, char *name, uint32_t size);

bool Exceptions_Contains(const struct ExceptionTable *table, const char *name);
// False when the name is not valid or the table is full; a name already
// there is left as it is.
bool Exceptions_Add(struct ExceptionTable *table, const char *name);
void Exceptions_Remove(struct ExceptionTable *table, const char *name);

#endif
