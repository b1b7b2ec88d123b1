/* Exits at once through int $0x80: runs only where i386 code can run. */
void _start(void) { __asm__ volatile("movl $1, %eax; xorl %ebx, %ebx; int $0x80"); }
