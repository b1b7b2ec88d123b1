// The record of blocks as plain memory work: the interlocked claim and the
// mapping are the callers'.
#include "block_log.h"

// Orders the stores around the completion mark for the compiler; x86 keeps
// stores in order by itself, so this emits no instruction.
static inline void StoreOrder(void)
{
    __atomic_signal_fence(__ATOMIC_SEQ_CST);
}

static void CopyCut(volatile char *to, const char *from, uint32_t size)
{
    uint32_t i = 0;
    for (; from && from[i] && i + 1 < size; ++i)
        to[i] = from[i];
    for (; i < size; ++i)
        to[i] = '\0';
}

void BlockLog_Write(struct BlockLog *log, uint32_t claim, uint32_t tick, uint32_t processId, uint32_t rule,
                    const char *className, const char *program)
{
    volatile struct BlockEntry *entry = &log->slots[claim % BLOCK_LOG_SLOTS];
    entry->sequence = 0;
    StoreOrder();
    entry->tick = tick;
    entry->processId = processId;
    entry->rule = rule;
    CopyCut(entry->className, className, BLOCK_CLASS_SIZE);
    CopyCut(entry->program, program, BLOCK_PROGRAM_SIZE);
    StoreOrder();
    entry->sequence = claim + 1;
}

// A copy taken while no writer was at the slot: its mark the same before and
// after, and set.
static bool CopyComplete(const volatile struct BlockEntry *entry, struct BlockEntry *copy)
{
    const uint32_t before = entry->sequence;
    StoreOrder();
    copy->tick = entry->tick;
    copy->processId = entry->processId;
    copy->rule = entry->rule;
    for (uint32_t i = 0; i < BLOCK_CLASS_SIZE; ++i)
        copy->className[i] = entry->className[i];
    for (uint32_t i = 0; i < BLOCK_PROGRAM_SIZE; ++i)
        copy->program[i] = entry->program[i];
    StoreOrder();
    copy->sequence = before;
    return before != 0 && entry->sequence == before;
}

uint32_t BlockLog_ReadNewestFirst(const struct BlockLog *log, struct BlockEntry *out, uint32_t ruleCount)
{
    const uint32_t claimed = ((const volatile struct BlockLog *)log)->claimed;
    uint32_t count = 0;
    // The newest claims first; a slot overwritten meanwhile by a later claim
    // carries another number and is skipped.
    for (uint32_t back = 1; back <= BLOCK_LOG_SLOTS && back <= claimed; ++back) {
        const uint32_t claim = claimed - back;
        struct BlockEntry *copy = &out[count];
        if (!CopyComplete(&log->slots[claim % BLOCK_LOG_SLOTS], copy) || copy->sequence != claim + 1)
            continue;
        copy->className[BLOCK_CLASS_SIZE - 1] = '\0';
        copy->program[BLOCK_PROGRAM_SIZE - 1] = '\0';
        if (copy->rule >= ruleCount)
            copy->rule = 0;
        ++count;
    }
    return count;
}
