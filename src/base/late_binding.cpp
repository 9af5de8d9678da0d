#include "base/late_binding.h"

#include "base/error.h"

#include <cstdio>

bool isTrue(const Value& value) {
    if (const auto* b = std::get_if<bool>(&value))
        return *b;
    if (const auto* i = std::get_if<std::int32_t>(&value))
        return *i == -1;
    if (const auto* d = std::get_if<double>(&value))
        return *d == -1.0;
    return false;
}

std::string toText(const Value& value) {
    struct Visitor {
        std::string operator()(std::monostate) const { return {}; }
        std::string operator()(bool b) const { return b ? "True" : "False"; }
        std::string operator()(std::int32_t i) const { return std::to_string(i); }
        std::string operator()(double d) const {
            char buffer[64];
            std::snprintf(buffer, sizeof buffer, "%.15g", d);
            return buffer;
        }
        std::string operator()(const std::string& s) const { return s; }
    };
    return std::visit(Visitor{}, value);
}

void throwNoSuchMember(std::string_view name, std::string_view source) {
    throw AppError(ErrorNumber::NoSuchMember,
                   "Object doesn't support this property or method: " + std::string(name),
                   std::string(source));
}
