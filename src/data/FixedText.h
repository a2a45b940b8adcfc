#pragma once

#include <QString>
#include <QStringView>
#include <cstddef>

namespace convodesk::data {

// An ASCII text fixed when the program is compiled, joined from others with `+`. It is usable
// wherever a QString is wanted; that QString refers to the text in place, without a copy.
template <std::size_t N> class FixedText {
public:
    constexpr FixedText(const char (&text)[N + 1]) {
        for (std::size_t i = 0; i < N; ++i)
            chars_[i] = static_cast<char16_t>(static_cast<unsigned char>(text[i]));
    }

    template <std::size_t A, std::size_t B>
    requires(A + B == N) constexpr FixedText(const FixedText<A>& first, const FixedText<B>& second) {
        for (std::size_t i = 0; i < A; ++i)
            chars_[i] = first[i];
        for (std::size_t i = 0; i < B; ++i)
            chars_[A + i] = second[i];
    }

    constexpr char16_t operator[](std::size_t i) const { return chars_[i]; }
    constexpr QStringView view() const noexcept { return QStringView(chars_, static_cast<qsizetype>(N)); }
    // A named text is referred to; a passing one (a join made in an expression) is copied.
    operator QString() const& { return QString::fromRawData(reinterpret_cast<const QChar*>(chars_), N); }
    operator QString() const&& { return view().toString(); }

private:
    char16_t chars_[N + 1]{};
};

template <std::size_t M> FixedText(const char (&)[M]) -> FixedText<M - 1>;

template <std::size_t A, std::size_t B>
constexpr FixedText<A + B> operator+(const FixedText<A>& first, const FixedText<B>& second) {
    return FixedText<A + B>(first, second);
}

template <std::size_t A, std::size_t M>
constexpr FixedText<A + M - 1> operator+(const FixedText<A>& first, const char (&second)[M]) {
    return first + FixedText<M - 1>(second);
}

template <std::size_t M, std::size_t B>
constexpr FixedText<M - 1 + B> operator+(const char (&first)[M], const FixedText<B>& second) {
    return FixedText<M - 1>(first) + second;
}

} // namespace convodesk::data
