#pragma once

#include "PieceArena.h"

#include <QHashFunctions>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace convodesk::ui {

// A grid of texts kept compactly for lists of a million rows: each cell is a 32-bit handle,
// each text is stored once in large blocks (one byte a character when every character is
// Latin-1, else UTF-16) and a text repeated in a column (a programme, a status) is stored only
// the first time. A cell becomes a QString only when it is read.
class PackedTextGrid {
public:
    explicit PackedTextGrid(int columns) : columns_(columns), dictionaries_(std::size_t(columns)) {}

    int rowCount() const { return rows_; }
    int columnCount() const { return columns_; }
    // Appends a row of empty cells; returns its number.
    int appendRow();
    // Cells outside the grid are ignored / read as the empty text.
    void set(int row, int column, QStringView text);
    QString at(int row, int column) const;
    void clear();

private:
    // Texts looked up as views, so that a text already stored costs no string.
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(QStringView text) const { return qHash(text, std::size_t(0)); }
    };
    struct TextEqual {
        using is_transparent = void;
        bool operator()(QStringView a, QStringView b) const { return a == b; }
    };
    // One column's texts stored so far, to store a repeated one only once.
    struct Dictionary {
        std::unordered_map<QString, std::uint32_t, TextHash, TextEqual> handles;
        bool givenUp = false;
    };

    bool inGrid(int row, int column) const {
        return row >= 0 && row < rows_ && column >= 0 && column < columns_;
    }
    std::uint32_t stored(QStringView text);
    std::uint32_t storedInBlock(QStringView text);
    std::uint32_t storedAside(QStringView text);
    char* reserve(std::size_t bytes, std::uint32_t& handle);

    std::uint32_t* cellChunk(int row, int column, std::size_t& offset) const {
        const std::size_t index = std::size_t(row) * std::size_t(columns_) + std::size_t(column);
        offset = index % kCellsPerChunk;
        return cellChunks_[index / kCellsPerChunk];
    }

    static constexpr std::size_t kCellsPerChunk = PieceArena::kPieceSize / sizeof(std::uint32_t);

    int columns_ = 0;
    int rows_ = 0;
    PieceArena arena_;                       // holds the cells and the blocks
    std::vector<std::uint32_t*> cellChunks_; // row by row, kCellsPerChunk a chunk
    std::size_t cellCount_ = 0;
    std::vector<char*> blocks_;
    std::size_t used_ = 0;       // bytes used in the last block
    std::vector<QString> aside_; // texts too long for a block, and any once the blocks run out
    std::vector<Dictionary> dictionaries_;
};

} // namespace convodesk::ui
