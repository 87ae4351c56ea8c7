#include "app/core/ReturnFreedMemory.h"

#include <cstdlib>  // defines __GLIBC__ where the C library is glibc

#ifdef __GLIBC__
#include <malloc.h>
#endif

void ReturnFreedMemory()
{
#ifdef __GLIBC__
    ::malloc_trim(0);
#endif
}
