#include "TextSortKey.h"

#include "TextSortCodes.h"

#include <algorithm>
#include <cstring>

namespace convodesk::jet4 {
namespace {

constexpr std::uint8_t kEndOfInline = 0x01;
constexpr std::uint8_t kEndOfKey = 0x00;
constexpr std::uint8_t kAccentPlaceholder = 0x02;
constexpr std::uint8_t kUnprintableMark = 0x06;
constexpr std::uint8_t kFlagSuffix[] = {0xFF, 0x02, 0x80, 0xFF, 0x80};
constexpr std::uint8_t kFlagsBeforeUnprintable = 0xFF;
constexpr std::uint8_t kTrimmedFlag = 3;

using Buffer = TextSortKey::Buffer;

// The side parts of a key, filled while the characters are walked.
class KeyParts {
public:
    // Accent bytes for the character at `position`; earlier positions without one get 02.
    void addAccent(int position, const std::uint8_t* bytes, int count) {
        padAccents(position);
        accents_.append(bytes, count);
        ++accentPositions_;
    }
    // A combining mark after `position` characters: it changes the accent byte before it.
    void addModifier(int position, std::uint8_t modifier) {
        padAccents(position);
        if (accents_.isEmpty()) {
            accents_.append(modifier);
            leadingModifier_ = 1;
        } else {
            accents_.last() = static_cast<std::uint8_t>(accents_.last() + modifier);
        }
    }
    // An unprintable character after `position` characters. Its place counts the accent
    // bytes recorded so far (not characters) once any accent or mark has been seen.
    void addUnprintable(int position, const std::uint8_t* bytes, int count) {
        const int place = accentsSeen_ ? static_cast<int>(accents_.size()) + (position - accentPositions_) -
                                             leadingModifier_
                                       : position;
        const int value = 0x8000 | (7 + 4 * place);
        unprintables_.append(static_cast<std::uint8_t>((value >> 8) & 0xFF));
        unprintables_.append(static_cast<std::uint8_t>(value & 0xFF));
        unprintables_.append(kUnprintableMark);
        unprintables_.append(bytes, count);
    }
    void addFlag(std::uint8_t flag) { flags_.append(flag); }

    // Everything after the inline part's end byte, before the key's end.
    void appendTo(Buffer& key) {
        while (!accents_.isEmpty() && accents_.last() <= kAccentPlaceholder)
            accents_.removeLast();
        key.append(accents_.data(), static_cast<int>(accents_.size()));
        if (flags_.isEmpty() && unprintables_.isEmpty())
            return;
        key.append(kEndOfInline);
        key.append(kEndOfInline);
        if (!flags_.isEmpty()) {
            appendFlags(key);
            if (!unprintables_.isEmpty())
                key.append(kFlagsBeforeUnprintable);
        }
        if (!unprintables_.isEmpty()) {
            key.append(kEndOfInline);
            key.append(unprintables_.data(), static_cast<int>(unprintables_.size()));
        }
    }

private:
    void padAccents(int position) {
        accentsSeen_ = true;
        while (accentPositions_ < position) {
            accents_.append(kAccentPlaceholder);
            ++accentPositions_;
        }
    }
    // Three 2-bit flags a byte after the 10 prefix; trailing 3s are left out.
    void appendFlags(Buffer& key) {
        while (!flags_.isEmpty() && flags_.last() == kTrimmedFlag)
            flags_.removeLast();
        for (qsizetype i = 0; i < flags_.size(); i += 3) {
            std::uint8_t packed = 0x80;
            for (qsizetype j = 0; j < 3 && i + j < flags_.size(); ++j)
                packed = static_cast<std::uint8_t>(packed | (flags_[i + j] << (2 * (2 - j))));
            key.append(packed);
        }
        key.append(kFlagSuffix, sizeof kFlagSuffix);
    }

    QVarLengthArray<std::uint8_t, 64> accents_;
    QVarLengthArray<std::uint8_t, 32> unprintables_;
    QVarLengthArray<std::uint8_t, 16> flags_;
    bool accentsSeen_ = false;
    int accentPositions_ = 0; // characters the accent bytes stand for
    int leadingModifier_ = 0; // 1 when a mark came before any character
};

// The characters a key is built from: trailing spaces dropped, at most 255 code units.
qsizetype indexedLength(QStringView text) {
    qsizetype length = text.size();
    while (length > 0 && text[length - 1] == u' ')
        --length;
    return std::min(length, TextSortKey::kIndexedLength);
}

// The inline bytes of a text's key one at a time, without building the key.
class InlineBytes {
public:
    InlineBytes(QStringView text, const TextSortCodes& codes)
        : text_(text.left(indexedLength(text))), codes_(codes) {}
    // The next inline byte, -1 after the last.
    int next() {
        while (at_ >= code_->inlineLength) {
            if (unit_ == text_.size())
                return -1;
            const char16_t unit = text_[unit_++].unicode();
            surrogates_ = surrogates_ || (unit >= 0xD800 && unit <= 0xDFFF);
            code_ = &codes_.of(unit);
            at_ = 0;
        }
        return code_->inlineBytes[static_cast<std::size_t>(at_++)];
    }
    // Surrogates' computed codes may hold 00 or 01, which other inline codes never do.
    bool sawSurrogates() const { return surrogates_; }

private:
    static constexpr TextSortCode kNone{};
    QStringView text_;
    const TextSortCodes& codes_;
    const TextSortCode* code_ = &kNone;
    qsizetype unit_ = 0;
    int at_ = 0;
    bool surrogates_ = false;
};

} // namespace

void TextSortKey::append(QStringView text, Buffer& key, bool descending) {
    const qsizetype length = indexedLength(text);

    const TextSortCodes& codes = TextSortCodes::general();
    key.append(descending ? kDescendingFlag : kAscendingFlag);
    const qsizetype start = key.size();
    KeyParts parts;
    bool plain = true; // only simple characters so far: no side parts to build
    int position = 0;
    for (qsizetype i = 0; i < length; ++i) {
        const TextSortCode& code = codes.of(text[i].unicode());
        key.append(code.inlineBytes.data(), code.inlineLength);
        switch (code.kind) {
        case TextSortCode::Kind::Simple:
            ++position;
            break;
        case TextSortCode::Kind::Ignored:
            break;
        case TextSortCode::Kind::Accented:
        case TextSortCode::Kind::Extended:
            plain = false;
            if (code.accentLength > 0)
                parts.addAccent(position, code.accent.data(), code.accentLength);
            if (code.kind == TextSortCode::Kind::Extended)
                parts.addFlag(code.flag);
            ++position;
            break;
        case TextSortCode::Kind::Unprintable:
            plain = false;
            parts.addUnprintable(position, code.unprintable.data(), code.unprintableLength);
            break;
        case TextSortCode::Kind::Modifier:
            plain = false;
            parts.addModifier(position, code.modifier);
            break;
        }
    }
    key.append(kEndOfInline);
    if (!plain)
        parts.appendTo(key);
    key.append(kEndOfKey);
    if (descending) {
        for (qsizetype i = start; i < key.size(); ++i)
            key[i] = static_cast<std::uint8_t>(~key[i]);
        key.append(kEndOfKey);
    }
}

QByteArray TextSortKey::build(QStringView text, bool descending) {
    Buffer key;
    append(text, key, descending);
    return QByteArray(reinterpret_cast<const char*>(key.data()), key.size());
}

int TextSortKey::compare(QStringView a, QStringView b) {
    // Most texts differ in their inline parts, which come first in the key: compare those as
    // they are produced. A part that ends meets the other's next byte with its end byte 01.
    const TextSortCodes& codes = TextSortCodes::general();
    InlineBytes left(a, codes);
    InlineBytes right(b, codes);
    for (;;) {
        const int p = left.next();
        const int q = right.next();
        if (p == q) {
            if (p < 0)
                break; // equal inline parts: accents and the rest decide
            continue;
        }
        if (left.sawSurrogates() || right.sawSurrogates())
            break;
        return (p < 0 ? kEndOfInline : p) < (q < 0 ? kEndOfInline : q) ? -1 : 1;
    }
    Buffer x;
    Buffer y;
    append(a, x);
    append(b, y);
    const std::size_t common = static_cast<std::size_t>(std::min(x.size(), y.size()));
    if (const int c = std::memcmp(x.data(), y.data(), common); c != 0)
        return c;
    return x.size() < y.size() ? -1 : (x.size() > y.size() ? 1 : 0);
}

} // namespace convodesk::jet4
