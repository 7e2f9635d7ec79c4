// Text a player hands the game (an area source, the settings file, a recording): the byte-order
// mark some editors put at the start of a UTF-8 file is no part of it, and a piece of it quoted
// back in a message is made safe to print: a NUL or another control byte would cut the message
// or garble the terminal, and a line of megabytes would bury the rest.
#pragma once

#include <string>
#include <string_view>

// The UTF-8 byte-order mark.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// `text` without a leading byte-order mark.
inline std::string_view WithoutByteOrderMark(std::string_view text) {
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(kByteOrderMark.size());
    return text;
}

// At most the first `most` bytes of `text` for a message, control bytes (NUL among them) written
// as \xNN, and "..." after a text that was cut.
inline std::string QuotedPart(std::string_view text, size_t most = 80) {
    static const char hex[] = "0123456789abcdef";
    size_t n = text.size();
    if (n > most) { // cut before a character, not inside one
        n = most;
        while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    }
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7f) {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += char(c);
        }
    }
    if (n < text.size()) out += "...";
    return out;
}

// One byte for a message: itself when it is a printable ASCII character, else \xNN (a byte of a
// UTF-8 character alone is no character).
inline std::string QuotedByte(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u < 0x7f) return std::string(1, c);
    static const char hex[] = "0123456789abcdef";
    return std::string("\\x") + hex[u >> 4] + hex[u & 15];
}
