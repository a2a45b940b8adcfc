#include "PackedTextGrid.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

namespace convodesk::ui {

namespace {

// A handle is 0 for the empty text; with the top bit set, the index of a text kept aside;
// otherwise block << kBlockShift | offset of the stored text's header in that block.
constexpr int kBlockShift = 16;
constexpr std::size_t kBlockSize = std::size_t(1) << kBlockShift;
static_assert(kBlockSize == PieceArena::kPieceSize);
constexpr std::uint32_t kAside = 0x80000000U;
constexpr std::size_t kMaxBlocks = kAside >> kBlockShift;
// Texts longer than this go aside, so that a block is never left mostly empty.
constexpr qsizetype kLongestInBlock = 4096;
// A column's dictionary is given up once it holds this many texts and they are more than half
// its rows (IDs, phone numbers); it stops growing at kDictionaryMost (names repeat, but without end).
constexpr qsizetype kDictionaryLimit = 64;
constexpr qsizetype kDictionaryMost = 4096;
constexpr qsizetype kLongestShared = 128;

bool latin1(QStringView text) {
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x100; });
}

// Header: the length in characters times two, plus one for UTF-16, in 7-bit groups.
char* putHeader(char* p, std::uint32_t header) {
    for (; header >= 0x80; header >>= 7)
        *p++ = static_cast<char>((header & 0x7F) | 0x80);
    *p++ = static_cast<char>(header);
    return p;
}

const char* getHeader(const char* p, std::uint32_t& header) {
    header = 0;
    for (int shift = 0;; shift += 7) {
        const auto byte = static_cast<std::uint8_t>(*p++);
        header |= std::uint32_t(byte & 0x7F) << shift;
        if (!(byte & 0x80))
            return p;
    }
}

} // namespace

int PackedTextGrid::appendRow() {
    cellCount_ += std::size_t(columns_);
    while (cellChunks_.size() * kCellsPerChunk < cellCount_)
        cellChunks_.push_back(::new (arena_.newPiece()) std::uint32_t[kCellsPerChunk]()); // all empty
    return rows_++;
}

void PackedTextGrid::set(int row, int column, QStringView text) {
    if (!inGrid(row, column))
        return;
    std::uint32_t handle = 0;
    if (!text.isEmpty()) {
        Dictionary& dictionary = dictionaries_[std::size_t(column)];
        const bool sharable = !dictionary.givenUp && text.size() <= kLongestShared;
        if (const auto found = sharable ? dictionary.handles.find(text) : dictionary.handles.end();
            found != dictionary.handles.end()) {
            handle = found->second;
        } else {
            handle = stored(text);
            if (sharable && std::ssize(dictionary.handles) < kDictionaryMost) {
                dictionary.handles.emplace(text.toString(), handle);
                if (const auto held = std::ssize(dictionary.handles);
                    held >= kDictionaryLimit && held > rows_ / 2) {
                    dictionary.givenUp = true;
                    dictionary.handles = {};
                }
            }
        }
    }
    std::size_t offset = 0;
    cellChunk(row, column, offset)[offset] = handle;
}

QString PackedTextGrid::at(int row, int column) const {
    if (!inGrid(row, column))
        return {};
    std::size_t offset = 0;
    const std::uint32_t handle = cellChunk(row, column, offset)[offset];
    if (handle == 0)
        return {};
    if (handle & kAside)
        return aside_[handle & ~kAside];
    std::uint32_t header = 0;
    const char* p = getHeader(blocks_[handle >> kBlockShift] + (handle & (kBlockSize - 1)), header);
    const auto length = static_cast<qsizetype>(header >> 1);
    if (!(header & 1))
        return QString::fromLatin1(p, length);
    QString text(length, Qt::Uninitialized);
    std::memcpy(text.data(), p, std::size_t(length) * 2);
    return text;
}

void PackedTextGrid::clear() {
    rows_ = 0;
    cellCount_ = 0;
    std::vector<std::uint32_t*>().swap(cellChunks_);
    std::vector<char*>().swap(blocks_);
    arena_.clear();
    used_ = 0;
    std::vector<QString>().swap(aside_);
    dictionaries_.assign(std::size_t(columns_), Dictionary{});
}

std::uint32_t PackedTextGrid::stored(QStringView text) {
    if (text.size() > kLongestInBlock)
        return storedAside(text);
    return storedInBlock(text);
}

std::uint32_t PackedTextGrid::storedInBlock(QStringView text) {
    const bool narrow = latin1(text);
    const auto length = static_cast<std::uint32_t>(text.size());
    const std::uint32_t header = length << 1 | (narrow ? 0 : 1);
    const std::size_t bytes = 5 + std::size_t(length) * (narrow ? 1 : 2);
    std::uint32_t handle = 0;
    char* p = reserve(bytes, handle);
    if (!p)
        return storedAside(text);
    char* start = p;
    p = putHeader(p, header);
    if (narrow)
        for (QChar c : text)
            *p++ = static_cast<char>(c.unicode());
    else {
        std::memcpy(p, text.constData(), std::size_t(length) * 2);
        p += std::size_t(length) * 2;
    }
    used_ += std::size_t(p - start);
    return handle;
}

char* PackedTextGrid::reserve(std::size_t bytes, std::uint32_t& handle) {
    if (blocks_.empty() || used_ + bytes > kBlockSize) {
        if (blocks_.size() == kMaxBlocks)
            return nullptr;
        blocks_.push_back(arena_.newPiece());
        // Offset 0 of the first block would read as the empty text's handle.
        used_ = blocks_.size() == 1 ? 1 : 0;
    }
    handle = static_cast<std::uint32_t>(((blocks_.size() - 1) << kBlockShift) | used_);
    return blocks_.back() + used_;
}

std::uint32_t PackedTextGrid::storedAside(QStringView text) {
    if (aside_.size() >= kAside)
        throw std::length_error("too many long texts in one list");
    aside_.push_back(text.toString());
    return kAside | static_cast<std::uint32_t>(aside_.size() - 1);
}

} // namespace convodesk::ui
