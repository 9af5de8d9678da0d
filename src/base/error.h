#pragma once
// The one error type of the program: a number, a description and the source
// (the component that raised it), in the way automation errors report them.
#include <cstdint>
#include <stdexcept>
#include <string>

class AppError : public std::runtime_error {
public:
    AppError(std::int64_t number, std::string description, std::string source = "Tarnwick")
        : std::runtime_error(description), number_(number), description_(std::move(description)),
          source_(std::move(source)) {}

    std::int64_t number() const { return number_; }
    const std::string& description() const { return description_; }
    const std::string& source() const { return source_; }

private:
    std::int64_t number_;
    std::string description_;
    std::string source_;
};

// The failure being handled, as the program's error: an AppError as it is,
// another exception with its own text, anything else as an unknown failure.
// Called inside a catch block.
AppError currentError();

// Error numbers the program raises itself.
namespace ErrorNumber {
inline constexpr std::int64_t TypeMismatch = 13;
inline constexpr std::int64_t FileNotFound = 53;
inline constexpr std::int64_t PathFileAccess = 75;
inline constexpr std::int64_t PathNotFound = 76;
inline constexpr std::int64_t InvalidFileFormat = 321;
inline constexpr std::int64_t InvalidPropertyValue = 380;
inline constexpr std::int64_t InvalidArrayIndex = 381;
inline constexpr std::int64_t ObjectRequired = 424;
inline constexpr std::int64_t NoSuchMember = 438;
inline constexpr std::int64_t CancelSelected = 32755;
// The word processor did not finish a document, or start, in the time given
// (HRESULT_FROM_WIN32(ERROR_TIMEOUT)).
inline constexpr std::int64_t TimedOut = 0x800705B4;
// The run was given up: the document was not started.
inline constexpr std::int64_t NotStarted = 0x80040301;
// The user stopped the run while the document's macro played.
inline constexpr std::int64_t Stopped = 0x80040302;
inline constexpr std::int64_t ElementNotFound = 35601;
inline constexpr std::int64_t KeyNotUnique = 35602;
} // namespace ErrorNumber

// What a pointer points to, or the error "Object required: WHAT" raised by
// the source when it points to nothing, as a call through an object that is
// not set raises.
template <typename Pointer>
auto& required(const Pointer& pointer, const char* what, const char* source = "Tarnwick") {
    if (!pointer)
        throw AppError(ErrorNumber::ObjectRequired, std::string("Object required: ") + what, source);
    return *pointer;
}
