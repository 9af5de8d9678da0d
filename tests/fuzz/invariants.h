#pragma once
// Properties of the path text operations and of the file-size formatting that
// must hold for any input. Each check returns an empty text when every
// property holds, else a description of the first one that failed. The fuzz
// targets abort on a non-empty answer (so libFuzzer keeps the input); the
// unit tests replay the kept inputs and the seed corpora through the same
// checks.
#include "base/text.h"
#include "files/clsFileSystem.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace fuzzcheck {

inline std::string quoted(std::string_view text) {
    static const char* const hex = "0123456789ABCDEF";
    std::string out = "\"";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            out += ch;
        } else {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 0xF];
        }
    }
    return out + "\"";
}

inline bool isBackslash(char32_t c) {
    return c == U'\\';
}

// The characters of a piece of the path, taken from the path's own
// characters, equal the piece decoded on its own, and the piece's bytes are
// the path's bytes at that place.
inline std::string checkPiece(const std::string& path, const std::u32string& chars, std::size_t from,
                              std::size_t count, const std::string& result, const char* what) {
    const std::u32string expected = chars.substr(from, count);
    if (toChars(result) != expected)
        return std::string(what) + ": " + quoted(result) + " is not characters " + std::to_string(from) +
               ".." + std::to_string(from + count) + " of " + quoted(path);
    if (fromChars(expected) != result)
        return std::string(what) + ": " + quoted(result) + " does not re-encode to itself";
    if (path.find(result) == std::string::npos)
        return std::string(what) + ": " + quoted(result) + " is not a byte substring of " + quoted(path);
    return {};
}

// Any bytes split into characters and joined again give the same bytes; every
// character is a Unicode scalar value or an escaped byte U+DC80..U+DCFF.
inline std::string checkRoundTrip(const std::string& text) {
    const std::u32string chars = toChars(text);
    if (fromChars(chars) != text)
        return "round trip changed " + quoted(text) + " into " + quoted(fromChars(chars));
    if (chars.size() > text.size())
        return "more characters than bytes in " + quoted(text);
    for (const char32_t c : chars) {
        const bool escaped = c >= 0xDC80 && c <= 0xDCFF;
        const bool scalar = c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
        if (!escaped && !scalar)
            return "character " + std::to_string(static_cast<std::uint32_t>(c)) + " out of range in " +
                   quoted(text);
    }
    return {};
}

// GetFileExtension: for k = 2..5, a "." k characters from the end makes the
// last k - 1 characters the extension; the first such k wins; without one the
// answer is "Unknown". A path of the single character "." answers "." (the
// position before it is clamped to the first character).
inline std::string checkExtension(const std::string& path) {
    std::string error = checkRoundTrip(path);
    if (!error.empty())
        return error;
    const std::u32string chars = toChars(path);
    const std::size_t n = chars.size();
    const std::string result = FileExtensionText(path);
    clsFileSystem fs;
    if (fs.GetFileExtension(path) != result)
        return "GetFileExtension differs from FileExtensionText " + quoted(result) + " for " + quoted(path);

    std::size_t dotAt = 0; // k of the first "." found, 0 for none
    for (std::size_t k = 2; k <= 5 && dotAt == 0; ++k)
        if (k <= n && chars[n - k] == U'.')
            dotAt = k;

    if (result == "Unknown") {
        if (dotAt != 0)
            return "\"Unknown\" although character " + std::to_string(dotAt) + " from the end of " +
                   quoted(path) + " is a \".\"";
        if (path == ".")
            return "\"Unknown\" for \".\"";
        return {};
    }
    if (path == ".")
        return result == "." ? std::string() : "extension of \".\" is " + quoted(result);
    if (dotAt == 0)
        return "extension " + quoted(result) + " although no \".\" is among the last five characters of " +
               quoted(path);
    const std::size_t length = toChars(result).size();
    if (length < 1 || length > 4)
        return "extension " + quoted(result) + " has " + std::to_string(length) + " characters";
    if (length != dotAt - 1)
        return "extension " + quoted(result) + " is not the " + std::to_string(dotAt - 1) +
               " characters after the last \".\" within five of the end of " + quoted(path);
    error = checkPiece(path, chars, n - length, length, result, "extension");
    if (!error.empty())
        return error;
    if (path.size() < result.size() || path.compare(path.size() - result.size(), result.size(), result) != 0)
        return "extension " + quoted(result) + " is not a byte suffix of " + quoted(path);
    return {};
}

// GetPath: everything up to and including the last "\", or "\" when there is
// none.
inline std::string checkPath(const std::string& path) {
    std::string error = checkRoundTrip(path);
    if (!error.empty())
        return error;
    const std::u32string chars = toChars(path);
    clsFileSystem fs;
    const std::string result = fs.GetPath(path);
    std::size_t last = std::u32string::npos;
    for (std::size_t i = 0; i < chars.size(); ++i)
        if (isBackslash(chars[i]))
            last = i;
    if (last == std::u32string::npos)
        return result == "\\" ? std::string()
                              : "folder of " + quoted(path) + " without \"\\\" is " + quoted(result);
    if (result.empty() || result.back() != '\\')
        return "folder " + quoted(result) + " of " + quoted(path) + " does not end in \"\\\"";
    if (path.compare(0, result.size(), result) != 0)
        return "folder " + quoted(result) + " is not a prefix of " + quoted(path);
    error = checkPiece(path, chars, 0, last + 1, result, "folder");
    if (!error.empty())
        return error;
    const std::u32string rest = chars.substr(last + 1);
    for (const char32_t c : rest)
        if (isBackslash(c))
            return "folder " + quoted(result) + " leaves a \"\\\" behind in " + quoted(path);
    return {};
}

// GetFileName: the characters after the last "\" at the second character or
// later; without one, the whole text.
inline std::string checkFileName(const std::string& path) {
    std::string error = checkRoundTrip(path);
    if (!error.empty())
        return error;
    const std::u32string chars = toChars(path);
    clsFileSystem fs;
    const std::string result = fs.GetFileName(path);
    std::size_t last = 0; // 0: no "\" after the first character
    for (std::size_t i = 1; i < chars.size(); ++i)
        if (isBackslash(chars[i]))
            last = i;
    if (last == 0)
        return result == path ? std::string()
                              : "name of " + quoted(path) + " without a later \"\\\" is " + quoted(result) +
                                    ", not the whole text";
    if (path.size() < result.size() || path.compare(path.size() - result.size(), result.size(), result) != 0)
        return "name " + quoted(result) + " is not a suffix of " + quoted(path);
    const std::u32string name = toChars(result);
    for (const char32_t c : name)
        if (isBackslash(c))
            return "name " + quoted(result) + " of " + quoted(path) + " holds a \"\\\"";
    error = checkPiece(path, chars, last + 1, chars.size() - last - 1, result, "name");
    if (!error.empty())
        return error;
    const std::string folder = fs.GetPath(path);
    if (folder + result != path)
        return "folder " + quoted(folder) + " and name " + quoted(result) + " do not make " + quoted(path);
    return {};
}

// GetFileBaseName. Without the folder: the characters after the last ":" or
// "\", up to the last "." after them that is not the path's first character.
// With the folder: the characters before the last "." (not the first
// character) when no ":" or "\" follows it, else the whole path.
inline std::string checkBaseName(const std::string& path) {
    std::string error = checkRoundTrip(path);
    if (!error.empty())
        return error;
    const std::u32string chars = toChars(path);
    const std::size_t n = chars.size();
    clsFileSystem fs;
    const auto separator = [](char32_t c) { return c == U':' || c == U'\\'; };

    std::size_t start = 0; // one past the last separator
    for (std::size_t i = 0; i < n; ++i)
        if (separator(chars[i]))
            start = i + 1;
    std::size_t dot = n; // the last "." at or after start, not at index 0
    for (std::size_t i = start; i < n; ++i)
        if (chars[i] == U'.' && i != 0)
            dot = i;

    const std::string bare = fs.GetFileBaseName(path, false);
    const std::u32string bareChars = toChars(bare);
    for (const char32_t c : bareChars)
        if (separator(c))
            return "base name " + quoted(bare) + " of " + quoted(path) + " holds a \":\" or \"\\\"";
    error = checkPiece(path, chars, start, dot - start, bare, "base name");
    if (!error.empty())
        return error;

    const std::string full = fs.GetFileBaseName(path, true);
    if (path.compare(0, full.size(), full) != 0)
        return "base name with folder " + quoted(full) + " is not a prefix of " + quoted(path);
    const std::size_t expected = dot < n ? dot : n;
    error = checkPiece(path, chars, 0, expected, full, "base name with folder");
    if (!error.empty())
        return error;
    // The folder form is the folder before the bare form.
    if (fromChars(std::u32string_view(chars).substr(0, start)) + bare != full)
        return "base name with folder " + quoted(full) + " is not the folder and " + quoted(bare);
    return {};
}

// FormatFileSize: below 1024 the exact byte count and "B"; else n / 1024 to
// four places, halves to the even digit, no trailing zeros, the separator
// between whole and fraction, and "KB".
inline std::string checkFileSizeValue(std::uint64_t bytes, const std::string& separator) {
    const std::string result = FormatFileSize(bytes, separator);
    const std::string context = " for " + std::to_string(bytes) + " with separator " + quoted(separator);
    if (bytes < 1024)
        return result == std::to_string(bytes) + "B" ? std::string() : "size " + quoted(result) + context;
    if (result.size() < 3 || result.compare(result.size() - 2, 2, "KB") != 0)
        return "size " + quoted(result) + " does not end in \"KB\"" + context;
    // The parse below takes only digits around the separator, so a sign
    // cannot hide in a separator that holds "-"; otherwise none may appear.
    if (separator.find('-') == std::string::npos && result.find('-') != std::string::npos)
        return "size " + quoted(result) + " has a minus sign" + context;
    const std::string body = result.substr(0, result.size() - 2);

    // The whole part is bytes / 1024, or one more when the fraction rounds up
    // to a whole kilobyte.
    const std::uint64_t lowWhole = bytes / 1024u;
    for (std::uint64_t whole = lowWhole; whole <= lowWhole + 1; ++whole) {
        const std::string wholeText = std::to_string(whole);
        if (body.compare(0, wholeText.size(), wholeText) != 0)
            continue;
        std::string digits;
        if (body.size() != wholeText.size()) {
            if (body.compare(wholeText.size(), separator.size(), separator) != 0)
                continue;
            digits = body.substr(wholeText.size() + separator.size());
            if (digits.empty() || digits.size() > 4)
                continue;
            bool allDigits = true;
            for (const char c : digits)
                allDigits = allDigits && c >= '0' && c <= '9';
            if (!allDigits)
                continue;
            if (digits.back() == '0')
                return "size " + quoted(result) + " has a trailing zero" + context;
        }
        std::string padded = digits;
        padded.append(4 - padded.size(), '0');
        const auto fraction = static_cast<std::uint64_t>(std::stoul(padded));
        // Compare in ten-thousandths of a kilobyte times 1024: the shown
        // value q / 10000 against bytes / 1024 is off by d / (1024 * 10000).
        const unsigned __int128 shown = static_cast<unsigned __int128>(whole) * 10000u + fraction;
        const unsigned __int128 exact = static_cast<unsigned __int128>(bytes) * 10000u;
        const unsigned __int128 scaled = shown * 1024u;
        const unsigned __int128 off = scaled > exact ? scaled - exact : exact - scaled;
        if (off > 512)
            return "size " + quoted(result) + " is more than half a ten-thousandth away" + context;
        if (off == 512 && shown % 2 != 0)
            return "size " + quoted(result) + " rounds an exact half to odd" + context;
        return {};
    }
    return "size " + quoted(result) + " is not the whole kilobytes, the separator and up to four digits" +
           context;
}

// The fuzz input for the size: up to eight bytes of the number (little
// endian), then the separator; a separator that is empty or holds a digit
// would make the text ambiguous, so "." stands in for it.
inline std::string checkFileSize(const std::string& input) {
    std::uint64_t bytes = 0;
    const std::size_t numberBytes = input.size() < 8 ? input.size() : 8;
    for (std::size_t i = 0; i < numberBytes; ++i)
        bytes |= static_cast<std::uint64_t>(static_cast<unsigned char>(input[i])) << (8 * i);
    std::string separator = input.substr(numberBytes, 8);
    bool usable = !separator.empty();
    for (const char c : separator)
        usable = usable && !(c >= '0' && c <= '9');
    if (!usable)
        separator = ".";
    return checkFileSizeValue(bytes, separator);
}

// The check a fuzz target of the given name runs; empty for an unknown name.
inline std::string checkFor(const std::string& target, const std::string& input) {
    if (target == "fuzz_extension")
        return checkExtension(input);
    if (target == "fuzz_file_name")
        return checkFileName(input);
    if (target == "fuzz_path")
        return checkPath(input);
    if (target == "fuzz_base_name")
        return checkBaseName(input);
    if (target == "fuzz_file_size")
        return checkFileSize(input);
    return "no check for target " + quoted(target);
}

} // namespace fuzzcheck
