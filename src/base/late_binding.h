#pragma once
// Objects driven by operation name at the time of the call: the word
// processor's automation object (IDispatch on Windows, a fake in tests) and
// the conversion jobs that a Decorator runs by name.
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

// A general value as automation passes it: nothing, a truth value, a whole
// number, a real number or a text.
using Value = std::variant<std::monostate, bool, std::int32_t, double, std::string>;

// An argument of a late-bound call; by reference when the callee may see the
// caller's variable (the macro path is passed that way).
struct Arg {
    Value value;
    bool byRef = false;
};

inline Arg byVal(std::string text) {
    return Arg{Value{std::move(text)}, false};
}
inline Arg byRef(std::string text) {
    return Arg{Value{std::move(text)}, true};
}

// True when a value equals the automation "true": a truth value that is
// set, or the number -1 that stands for it.
bool isTrue(const Value& value);
std::string toText(const Value& value);

class LateBound {
public:
    virtual ~LateBound() = default;
    // Calls the named operation; an unknown name raises AppError.
    virtual Value call(std::string_view name, std::span<const Arg> args = {}) = 0;
    // Reads the named property; an unknown name raises AppError.
    virtual Value get(std::string_view name) = 0;
    // Gives the object up without a word to it: releasing a remote object is
    // itself a call, to a server that may not answer.
    virtual void letGo() noexcept {}
    // No call waits beyond this time (none: only the object's own limits).
    virtual void setDeadline(std::optional<std::chrono::steady_clock::time_point>) {}
    // Ends the server's process, when this program started it and it is
    // still the process it started, and gives the object up; answers whether
    // it did. A server that this program did not start is never ended.
    virtual bool endStartedServer() noexcept { return false; }
};

// The error every late-bound object raises for a name it does not have.
[[noreturn]] void throwNoSuchMember(std::string_view name, std::string_view source);
