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

const wchar_t* const kSettingsKey = L"Software\\Tarnwick\\Standin";

std::optional<std::string> fromRegistry(const wchar_t* name) {
    UniqueHkey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
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

[[noreturn]] void malformed(const char* setting, std::string_view entry, const char* why) {
    throw std::invalid_argument(std::string(setting) + " setting \"" + std::string(entry) + "\" " + why);
}

// The entries of a setting, separated by ';', each read by read(entry).
template <typename Read> auto entries(std::string_view text, Read read) {
    std::vector<decltype(read(text))> rules;
    for (std::string_view entry : split(text, ';'))
        if (!trim(entry).empty())
            rules.push_back(read(entry));
    return rules;
}

// "Command:Call" at the start of an entry; the call part ends at `end`.
CallRule readCall(std::string_view entry, std::size_t colon, std::size_t end, const char* setting) {
    CallRule rule;
    rule.command = std::string(trim(entry.substr(0, colon)));
    const std::string_view call = trim(entry.substr(colon + 1, end - colon - 1));
    if (call == "*")
        rule.call = 0;
    else if (!readNumber(call, rule.call) || rule.call < 1)
        malformed(setting, entry, "needs a call number from 1 or *");
    if (rule.command.empty())
        malformed(setting, entry, "names no command");
    return rule;
}

std::vector<CallRule> parseCallsOf(std::string_view text, const char* setting) {
    return entries(text, [&](std::string_view entry) {
        const std::size_t colon = entry.find(':');
        if (colon == std::string_view::npos)
            malformed(setting, entry, "is not Command:Call");
        return readCall(entry, colon, entry.size(), setting);
    });
}

bool spent(const std::wstring& setting) {
    return fromRegistry((setting + L"Spent").c_str()).has_value();
}

// "Command:Call:Rest", the rest read by readRest(rule, rest, entry).
template <typename Rule, typename ReadRest>
std::vector<Rule> parseCallsWith(std::string_view text, const char* setting, const char* form,
                                 ReadRest readRest) {
    return entries(text, [&](std::string_view entry) {
        const std::size_t first = entry.find(':');
        const std::size_t second = first == std::string_view::npos ? first : entry.find(':', first + 1);
        if (second == std::string_view::npos)
            malformed(setting, entry, form);
        Rule rule;
        static_cast<CallRule&>(rule) = readCall(entry, first, second, setting);
        readRest(rule, entry.substr(second + 1), entry);
        return rule;
    });
}

std::vector<BusyRule> parseBusy(std::string_view text) {
    return parseCallsWith<BusyRule>(text, "Busy", "is not Command:Call:Count",
                                    [](BusyRule& rule, std::string_view rest, std::string_view entry) {
                                        if (trim(rest) == "*")
                                            rule.count = BusyRule::kForever;
                                        else if (!readNumber(trim(rest), rule.count))
                                            malformed("Busy", entry, "is not Command:Call:Count");
                                    });
}

// A call number from 1, or 0 for an empty setting.
int parseCallNumber(const std::string& text, const char* name) {
    int number = 0;
    if (!trim(text).empty() && (!readNumber(trim(text), number) || number < 1))
        malformed(name, text, "is not a call number from 1");
    return number;
}

} // namespace

std::vector<FailureRule> parseFailures(std::string_view text) {
    return parseCallsWith<FailureRule>(text, "Failure", "is not Command:Call:Description",
                                       [](FailureRule& rule, std::string_view rest, std::string_view) {
                                           rule.description = std::string(rest);
                                       });
}

std::vector<DelayRule> parseDelays(std::string_view text) {
    return entries(text, [](std::string_view entry) {
        const std::size_t colon = entry.find(':');
        DelayRule rule;
        if (colon != std::string_view::npos)
            rule.command = std::string(trim(entry.substr(0, colon)));
        if (colon == std::string_view::npos || rule.command.empty() ||
            !readNumber(trim(entry.substr(colon + 1)), rule.milliseconds))
            malformed("Delay", entry, "is not Command:Milliseconds");
        return rule;
    });
}

Settings readSettings() {
    Settings settings;
    settings.journal = readJournalSetting();
    settings.failures = parseFailures(setting(L"TARNWICK_STANDIN_FAIL", L"Fail"));
    settings.delays = parseDelays(setting(L"TARNWICK_STANDIN_DELAY", L"Delay"));
    settings.busy = parseBusy(setting(L"TARNWICK_STANDIN_BUSY", L"Busy"));
    settings.hangs = parseCallsOf(setting(L"TARNWICK_STANDIN_HANG", L"Hang"), "Hang");
    settings.exits = parseCallsOf(setting(L"TARNWICK_STANDIN_EXIT", L"Exit"), "Exit");
    settings.halfSave = parseCallNumber(setting(L"TARNWICK_STANDIN_HALFSAVE", L"HalfSave"), "HalfSave");
    settings.waits = parseCallsOf(setting(L"TARNWICK_STANDIN_WAIT", L"Wait"), "Wait");
    settings.endless = parseCallNumber(setting(L"TARNWICK_STANDIN_ENDLESS", L"Endless"), "Endless");
    settings.quitMs = readQuitSetting();
    // What has fired before this server is spent, or fires again at once.
    const std::string refire = "," + setting(L"TARNWICK_STANDIN_REFIRE", L"Refire") + ",";
    const auto afterSpent = [&](const wchar_t* name, auto&& update) {
        if (spent(name))
            update(refire.find("," + narrow(name) + ",") != std::string::npos);
    };
    const auto refired = [](auto& rules, bool again) {
        if (!again)
            rules.clear();
        for (auto& rule : rules)
            rule.call = 1;
    };
    afterSpent(L"Exit", [&](bool again) { refired(settings.exits, again); });
    afterSpent(L"Wait", [&](bool again) { refired(settings.waits, again); });
    afterSpent(L"HalfSave", [&](bool again) { settings.halfSave = again ? 1 : 0; });
    afterSpent(L"Endless", [&](bool again) { settings.endless = again ? 1 : 0; });
    afterSpent(L"Busy", [&](bool again) {
        // Only a busy state for ever is spent.
        for (auto rule = settings.busy.begin(); rule != settings.busy.end();)
            if (rule->count != BusyRule::kForever)
                ++rule;
            else if (again)
                (rule++)->call = 1;
            else
                rule = settings.busy.erase(rule);
    });
    return settings;
}

unsigned readQuitSetting() {
    unsigned milliseconds = 0;
    if (spent(L"Quit") || !readNumber(trim(setting(L"TARNWICK_STANDIN_QUIT", L"Quit")), milliseconds))
        return 0;
    return milliseconds;
}

std::string readJournalSetting() {
    return setting(L"TARNWICK_STANDIN_JOURNAL", L"Journal");
}

void markSpent(const std::wstring& setting) {
    UniqueHkey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(),
                        nullptr) != ERROR_SUCCESS)
        return;
    const wchar_t one[] = L"1";
    RegSetValueExW(key.get(), (setting + L"Spent").c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(one),
                   sizeof one);
}
