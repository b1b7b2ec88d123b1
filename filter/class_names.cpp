// Case-blind class name comparisons, in ASCII.
#include "class_names.h"

static char FoldCase(char c)
{
    return (c >= 'a' && c <= 'z') ? (char)(c - 'a' + 'A') : c;
}

bool ClassName_Equals(const char *a, const char *b)
{
    while (*a && FoldCase(*a) == FoldCase(*b)) {
        ++a;
        ++b;
    }
    return FoldCase(*a) == FoldCase(*b);
}

bool ClassName_StartsWith(const char *name, const char *prefix)
{
    for (; *prefix; ++name, ++prefix) {
        if (*name == '\0' || FoldCase(*name) != FoldCase(*prefix))
            return false;
    }
    return true;
}
