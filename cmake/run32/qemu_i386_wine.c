/* binfmt_misc interpreter for i386 ELF programs: runs them under qemu-i386
   with the trap number fix preloaded in the guest. "$LIB" lets the loader
   pick the i386 copy for 32-bit processes (an empty x86-64 twin answers for
   64-bit ones that inherit the variable). */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    static const char fix[] = "/usr/local/$LIB/libwinetrapfix.so";
    const char *old = getenv("LD_PRELOAD");
    char env[4096];
    if (old && *old && !strstr(old, "libwinetrapfix"))
        snprintf(env, sizeof env, "LD_PRELOAD=%s:%s", fix, old);
    else
        snprintf(env, sizeof env, "LD_PRELOAD=%s", fix);
    char **args = calloc(argc + 4, sizeof *args);
    int n = 0;
    args[n++] = "qemu-i386";
    args[n++] = "-E";
    args[n++] = env;
    for (int i = 1; i < argc; i++)
        args[n++] = argv[i];
    execv("/usr/bin/qemu-i386", args);
    perror("execv /usr/bin/qemu-i386");
    return 127;
}
