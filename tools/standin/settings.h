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
// `count` incoming calls (kForever: every one from then on).
struct BusyRule : CallRule {
    static constexpr unsigned kForever = ~0u;
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
    std::vector<CallRule> waits; // calls that wait for a person: never return, every other call refused
    int endless = 0;             // the MacroFilePlay whose macro never ends; 0: none
    unsigned quitMs = 0;         // the server ends itself after this long without a call; 0: never
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
// Marks an injection that ends the server or holds it for ever ("Exit",
// "HalfSave", "Wait", "Endless", a busy-for-ever "Busy") as spent, in the
// registry, so that a server started after it does not fire it again;
// clearing the settings clears it. A spent injection named in the setting
// "Refire" fires again in each new server, at the first call it names.
void markSpent(const std::wstring& setting);
// The Quit setting alone, in milliseconds (0 when unset or unreadable).
unsigned readQuitSetting();
