#include "shell/heap_tuning.h"

#include <malloc.h>

void keep_freed_memory_for_redraws() {
  // Setting the thresholds also stops the C library from adjusting them.
  mallopt(M_TRIM_THRESHOLD, 32 * 1024 * 1024);
  mallopt(M_MMAP_THRESHOLD, 16 * 1024 * 1024);
}
