#pragma once

#include <cstddef>

namespace convodesk::jet4 {

// Keeps the process alive when a file it reads through a memory mapping is cut short
// underneath it (a copy made over the file in place truncates it first). Reading a page that
// is no longer in the file raises SIGBUS; for a registered mapping the page is replaced by a
// page of zeros and the mapping is marked, so its reader can report the file as changed
// instead of the program ending. Faults anywhere else go on to the handler that was there
// before (or end the program as they would have).
class MappingGuard {
public:
    // Registers [begin, begin + length); returns the slot, or -1 when the guard cannot help
    // (no slot free, or not on this platform).
    static int add(const void* begin, std::size_t length);
    static void remove(int slot);
    // True once a page of the slot's mapping has been found missing.
    static bool pagesLost(int slot);
};

} // namespace convodesk::jet4
