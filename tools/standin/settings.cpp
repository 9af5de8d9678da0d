#include "settings.h"

#include "platform/handles_win.h"
#include "platform/wide_win.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>
#include <stdexcept>

namespace {

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    while (true) {
        const std::size_t at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos)
            return parts;
        text.remove_prefix(at + 1);
    }
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

template <typename Number> bool readNumber(std::string_view text, Number& number) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc{} && end == text.data() + text.size();
}

std::optional<std::string> fromEnvironment(const wchar_t* name) {
    SetLastError(ERROR_SUCCESS);
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0)
        return GetLastError() == ERROR_ENVVAR_NOT_FOUND ? std::nullopt : std::optional<std::string>{""};
    std::wstring value(size, L'\0');
    const DWORD n = GetEnvironmentVariableW(name, value.data(), size);
    value.resize(n);
    return narrow(value);
}

std::optional<std::string> fromRegistry(const wchar_t* name) {
    UniqueHkey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Tarnwick\\Standin", 0, KEY_QUERY_VALUE, key.put()) !=
        ERROR_SUCCESS)
        return std::nullopt;
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(key.get(), name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &bytes) !=
        ERROR_SUCCESS)
        return std::nullopt;
    value.resize(std::min(value.size(), value.find(L'\0')));
    return narrow(value);
}

std::string setting(const wchar_t* variable, const wchar_t* registryValue) {
    if (auto value = fromEnvironment(variable))
        return *value;
    return fromRegistry(registryValue).value_or("");
}

} // namespace

std::vector<FailureRule> parseFailures(std::string_view text) {
    std::vector<FailureRule> rules;
    for (std::string_view entry : split(text, ';')) {
        if (trim(entry).empty())
            continue;
        const std::size_t first = entry.find(':');
        const std::size_t second = first == std::string_view::npos ? first : entry.find(':', first + 1);
        if (second == std::string_view::npos)
            throw std::invalid_argument("Failure setting \"" + std::string(entry) +
                                        "\" is not Command:Call:Description");
        FailureRule rule;
        rule.command = std::string(trim(entry.substr(0, first)));
        const std::string_view call = trim(entry.substr(first + 1, second - first - 1));
        rule.description = std::string(entry.substr(second + 1));
        if (call == "*")
            rule.call = 0;
        else if (!readNumber(call, rule.call) || rule.call < 1)
            throw std::invalid_argument("Failure setting \"" + std::string(entry) +
                                        "\" needs a call number from 1 or *");
        if (rule.command.empty())
            throw std::invalid_argument("Failure setting \"" + std::string(entry) + "\" names no command");
        rules.push_back(std::move(rule));
    }
    return rules;
}

std::vector<DelayRule> parseDelays(std::string_view text) {
    std::vector<DelayRule> rules;
    for (std::string_view entry : split(text, ';')) {
        if (trim(entry).empty())
            continue;
        const std::size_t colon = entry.find(':');
        DelayRule rule;
        if (colon != std::string_view::npos)
            rule.command = std::string(trim(entry.substr(0, colon)));
        if (colon == std::string_view::npos || rule.command.empty() ||
            !readNumber(trim(entry.substr(colon + 1)), rule.milliseconds))
            throw std::invalid_argument("Delay setting \"" + std::string(entry) +
                                        "\" is not Command:Milliseconds");
        rules.push_back(std::move(rule));
    }
    return rules;
}

Settings readSettings() {
    Settings settings;
    settings.journal = readJournalSetting();
    settings.failures = parseFailures(setting(L"TARNWICK_STANDIN_FAIL", L"Fail"));
    settings.delays = parseDelays(setting(L"TARNWICK_STANDIN_DELAY", L"Delay"));
    return settings;
}

std::string readJournalSetting() {
    return setting(L"TARNWICK_STANDIN_JOURNAL", L"Journal");
}
