#pragma once
// What a test asks of the stand-in: where to write its journal, which calls
// fail and which calls are slow. Read afresh at every object creation.
#include <string>
#include <string_view>
#include <vector>

// The k-th call of a command (call 0: every call; command "*": every command).
struct CallRule {
    std::string command;
    int call = 0;
};

// The k-th call of a command fails with a description.
struct FailureRule : CallRule {
    std::string description;
};

// Every call of a command (command "*": every command) first waits.
struct DelayRule {
    std::string command;
    unsigned milliseconds = 0;
};

// After the k-th call of a command has run, the server refuses the next
// `count` incoming calls.
struct BusyRule : CallRule {
    unsigned count = 0;
};

struct Settings {
    std::string journal; // empty: no journal
    std::vector<FailureRule> failures;
    std::vector<DelayRule> delays;
    std::vector<BusyRule> busy;
    std::vector<CallRule> hangs;
    std::vector<CallRule> exits; // empty once an exit was spent
    int halfSave = 0;            // the FileSave call that breaks off; 0: none, or spent
};

// "FileSave:2:Disk is full;CloseNoSave:*:Busy"; raises std::invalid_argument
// naming the entry it cannot read.
std::vector<FailureRule> parseFailures(std::string_view text);
// "FileSave:500;*:10"; raises std::invalid_argument likewise.
std::vector<DelayRule> parseDelays(std::string_view text);

// Each setting from its environment variable when that is set (even to an
// empty text), else from the value under HKEY_CURRENT_USER\Software\Tarnwick\Standin.
// Raises std::invalid_argument for a setting it cannot read.
Settings readSettings();
// The journal setting alone (it cannot be malformed).
std::string readJournalSetting();
// Marks an injection that ends the server ("Exit", "HalfSave") as spent, in
// the registry, so that a server started after it does not end again;
// clearing the settings clears it.
void markSpent(const std::wstring& setting);
