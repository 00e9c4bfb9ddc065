#pragma once

// How the window's process hands the memory of a finished text back to the
// system. A batch of a thousand reports makes a text of several megabytes,
// built from large buffers (the text box's document, the reports joined
// between two edits of it) and from many small reports made on the
// describer's worker threads.

// Keeps large buffers in mappings of their own, returned to the system as
// soon as they are freed. By default glibc raises that threshold to the size
// of the largest such buffer freed, so from the second batch on the text's
// buffers land on the heap, where the holes they leave are not given back:
// each batch of a thousand files left a few megabytes more. Process-wide;
// calling it again does nothing more.
void keepLargeBuffersReturnable();

// Gives back what is free in every malloc arena, the worker threads' too
// (glibc gives an arena's memory back only from its top, and rarely).
void releaseFreedMemory();
