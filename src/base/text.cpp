#include "base/text.h"

namespace {
// Invalid bytes are kept as the code points U+DC80..U+DCFF (lone low
// surrogates, which valid UTF-8 never yields) and written back as the byte.
constexpr char32_t kEscapeBase = 0xDC00;

bool continuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// The same rules on every platform: Latin, Latin-1, Greek and Cyrillic
// capitals; other characters keep their case.
char32_t lowerChar(char32_t cp) {
    if ((cp >= U'A' && cp <= U'Z') || (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) ||
        (cp >= 0x391 && cp <= 0x3A9 && cp != 0x3A2) || (cp >= 0x410 && cp <= 0x42F))
        return cp + 0x20;
    if (cp >= 0x400 && cp <= 0x40F)
        return cp + 0x50;
    return cp;
}
} // namespace

std::u32string toChars(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        char32_t cp = 0;
        if (c < 0x80) {
            length = 1;
            cp = c;
        } else if ((c & 0xE0) == 0xC0) {
            length = 2;
            cp = c & 0x1Fu;
        } else if ((c & 0xF0) == 0xE0) {
            length = 3;
            cp = c & 0x0Fu;
        } else if ((c & 0xF8) == 0xF0) {
            length = 4;
            cp = c & 0x07u;
        }
        bool valid = length != 0 && i + length <= text.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = continuation(next);
            cp = (cp << 6) | (next & 0x3Fu);
        }
        if (valid) {
            static constexpr char32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
            valid = cp >= minimum[length] && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
        }
        if (!valid) {
            out.push_back(kEscapeBase + c);
            ++i;
            continue;
        }
        out.push_back(cp);
        i += length;
    }
    return out;
}

std::string fromChars(std::u32string_view chars) {
    std::string out;
    out.reserve(chars.size());
    for (char32_t cp : chars) {
        if (cp >= kEscapeBase + 0x80 && cp <= kEscapeBase + 0xFF) {
            out.push_back(static_cast<char>(cp - kEscapeBase));
        } else if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

std::string lowerCase(std::string_view text) {
    // ASCII is the common case and needs no decoding.
    bool ascii = true;
    for (char c : text)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) {
        std::string out(text);
        for (auto& c : out)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        return out;
    }
    std::u32string chars = toChars(text);
    for (auto& cp : chars) {
        if (cp >= kEscapeBase && cp <= kEscapeBase + 0xFF)
            continue;
        cp = lowerChar(cp);
    }
    return fromChars(chars);
}

std::string trimSpaces(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}
