// How the editor's heap treats memory that a redraw frees.
#pragma once

// A drag redraws the plot for every pointer motion, and every redraw
// allocates and frees the same few hundred kilobytes (paths, polygons,
// trapezoids). By default the C library gives such memory back to the
// system when it is freed and faults it in again page by page on the next
// redraw, which costs as much as the drawing itself. This keeps up to 32 MB
// of freed memory for reuse and serves allocations up to 16 MB from the
// heap. Called once, before the toolkit starts.
void keep_freed_memory_for_redraws();
