/* The trial program of tools/lib/wow64.sh: built for 32-bit and for 64-bit
   Windows, it prints one line, which tells that Windows code of its width
   runs on this machine. */
#include <stdio.h>

int main(void)
{
    printf("pixtor trial: %u-bit Windows code runs\n", (unsigned)(8 * sizeof(void *)));
    return 0;
}
