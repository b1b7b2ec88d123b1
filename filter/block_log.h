// The record of blocks: the session's last vetoes, written by the creation
// hook in every process of both bitnesses (sandboxed browser tabs included)
// and only read by the tray program. Writers claim a slot through an
// interlocked counter and take no lock; a slot is readable once its writer
// has marked it complete. Its layout is the same in both builds.
#ifndef HUSHPANE_BLOCK_LOG_H
#define HUSHPANE_BLOCK_LOG_H

#include <stddef.h>
#include <stdint.h>
#include "session_namespace.h"

static const struct SessionObjectName BLOCK_RECORD = SESSION_OBJECT_NAME("SnapveilBlockLog");
#define BLOCK_LOG_SLOTS 32
#define BLOCK_CLASS_SIZE 64     // longer class names are cut to 63 characters
#define BLOCK_PROGRAM_SIZE 64   // and so are program file names

struct BlockEntry {
    uint32_t sequence;   // the claim's number + 1 once complete; 0 while written
    uint32_t tick;
    uint32_t processId;
    uint32_t rule;       // a BlockRule
    char className[BLOCK_CLASS_SIZE];
    char program[BLOCK_PROGRAM_SIZE];
};

struct BlockLog {
    uint32_t claimed;    // claims made so far; the next claim is this number
    uint32_t reserved;
    struct BlockEntry slots[BLOCK_LOG_SLOTS];
};

static_assert(sizeof(struct BlockEntry) == 144 && offsetof(BlockEntry, sequence) == 0 &&
              offsetof(BlockEntry, tick) == 4 && offsetof(BlockEntry, processId) == 8 &&
              offsetof(BlockEntry, rule) == 12 && offsetof(BlockEntry, className) == 16 &&
              offsetof(BlockEntry, program) == 80, "a block entry's layout");
static_assert(sizeof(struct BlockLog) == 8 + BLOCK_LOG_SLOTS * 144 && offsetof(BlockLog, slots) == 8,
              "the block record's layout");

// Writes one veto into the slot of claim number `claim` (the counter's value
// before the writer's own increment), strings cut to their sizes.
void BlockLog_Write(struct BlockLog *log, uint32_t claim, uint32_t tick, uint32_t processId, uint32_t rule,
                    const char *className, const char *program);

// Copies the complete entries, newest first, into out (room for
// BLOCK_LOG_SLOTS); returns how many. Whatever the record holds, each copy's
// strings end within their sizes and its rule is below ruleCount, or 0.
uint32_t BlockLog_ReadNewestFirst(const struct BlockLog *log, struct BlockEntry *out, uint32_t ruleCount);

#endif
