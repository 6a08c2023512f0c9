#pragma once

/// Starts this program once more, with the same arguments, asking the C library to back its
/// heap with transparent huge pages; returns only where that was already asked for or cannot
/// be done, and the program then goes on as it is.
void RestartWithHugePageHeap(char** argv);
