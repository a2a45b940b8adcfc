#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace convodesk::ui {

// Memory handed out in pieces of kPieceSize bytes that live until clear(), for stores filled
// front to back (a list of a million rows). The first pieces are allocated one by one; once a
// large page's worth is held, pieces are cut from slabs aligned to a large page that the system
// may back with large pages, so that filling them costs one page fault each 2 MiB rather than
// each 4 KiB. Pieces are not cleared.
class PieceArena {
public:
    static constexpr std::size_t kPieceSize = std::size_t(1) << 16;
    static constexpr std::size_t kSlabSize = std::size_t(1) << 21;

    // Throws std::bad_alloc when the memory cannot be had.
    char* newPiece();
    std::size_t pieceCount() const { return pieces_; }
    void clear();

private:
    struct Release {
        std::size_t bytes = 0; // 0: one piece from the heap, else a mapped slab
        void operator()(char* memory) const;
    };
    using Memory = std::unique_ptr<char[], Release>;
    static Memory largePageSlab();

    std::vector<Memory> memory_;
    std::size_t pieces_ = 0;
};

} // namespace convodesk::ui
