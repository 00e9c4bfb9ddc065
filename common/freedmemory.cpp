#include "freedmemory.h"

// Any C library header says whether this is glibc.
#include <cstdlib>

#ifdef __GLIBC__
#include <malloc.h>
#endif

void keepLargeBuffersReturnable()
{
#ifdef __GLIBC__
    // glibc's own starting value, fixed: setting it turns the raising off.
    static const bool done = mallopt(M_MMAP_THRESHOLD, 128 * 1024) == 1;
    (void)done;
#endif
}

void releaseFreedMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}
