#pragma once
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "core/pool/code_page_text.h"

// A length byte followed by N character bytes, as the data files hold text. Longer text is cut
// to N bytes; a length byte read from a file is clamped to N.
template <std::size_t N> struct ShortString {
    std::uint8_t len = 0;
    char chars[N] = {};

    ShortString() = default;
    ShortString(std::string_view text) { assign(text); }  // NOLINT: implicit by design

    void assign(std::string_view text)
    {
        len = static_cast<std::uint8_t>(std::min(text.size(), N));
        std::memset(chars, 0, N);
        std::memcpy(chars, text.data(), len);
    }
    ShortString& operator=(std::string_view text)
    {
        assign(text);
        return *this;
    }
    std::uint8_t size() const { return std::min<std::uint8_t>(len, static_cast<std::uint8_t>(N)); }
    bool empty() const { return size() == 0; }
    // The stored bytes, for comparing, cutting and writing them out as they are.
    std::string_view view() const { return {chars, size()}; }
    // The text, to show or to put into a message (each converts it its own way).
    CodePageText text() const { return {std::string(view())}; }

    // Reads the field from its stored bytes (length byte, then N bytes).
    void readFrom(const unsigned char* p)
    {
        len = std::min<std::uint8_t>(p[0], static_cast<std::uint8_t>(N));
        std::memset(chars, 0, N);
        std::memcpy(chars, p + 1, len);
    }
    // Writes the field as stored bytes; filler after the text is zero.
    void writeTo(unsigned char* p) const
    {
        p[0] = size();
        std::memset(p + 1, 0, N);
        std::memcpy(p + 1, chars, size());
    }
    friend bool operator==(const ShortString& a, const ShortString& b) { return a.view() == b.view(); }
};
