#pragma once

#include <QHash>
#include <QString>
#include <cstdint>
#include <deque>
#include <memory>
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
    void set(int row, int column, const QString& text);
    QString at(int row, int column) const;
    void clear();

private:
    // One column's texts stored so far, to store a repeated one only once.
    struct Dictionary {
        QHash<QString, std::uint32_t> handles;
        bool givenUp = false;
    };

    bool inGrid(int row, int column) const {
        return row >= 0 && row < rows_ && column >= 0 && column < columns_;
    }
    std::uint32_t stored(const QString& text);
    std::uint32_t storedInBlock(const QString& text);
    std::uint32_t storedAside(const QString& text);
    char* reserve(std::size_t bytes, std::uint32_t& handle);

    int columns_ = 0;
    int rows_ = 0;
    std::deque<std::uint32_t> cells_; // row by row
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::size_t used_ = 0;       // bytes used in the last block
    std::vector<QString> aside_; // texts too long for a block, and any once the blocks run out
    std::vector<Dictionary> dictionaries_;
};

} // namespace convodesk::ui
