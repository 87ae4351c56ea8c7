#pragma once

// Hands memory the allocator keeps after a large list is freed back to the
// system, so that clearing a million rows shrinks the program again.
void ReturnFreedMemory();
