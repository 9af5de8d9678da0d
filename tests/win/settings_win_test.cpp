// The registry settings store in a scratch key of its own, and the macro
// setting kept through it under the program's name.
#include "base/error.h"
#include "base/settings.h"
#include "core/General.h"
#include "platform/file_services_win.h"
#include "platform/handles_win.h"
#include "platform/settings_win.h"
#include "platform/wide_win.h"
#include "standin_test_support.h"

#include <gtest/gtest.h>

namespace {

bool keyExists(const std::string& path) {
    UniqueHkey key;
    return RegOpenKeyExW(HKEY_CURRENT_USER, widen(path).c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

void writeValue(const std::string& key, const std::string& name, DWORD type, const void* data, DWORD size) {
    UniqueHkey hkey;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, widen(key).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              hkey.put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(hkey.get(), widen(name).c_str(), 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
}

struct RegistrySettings : ::testing::Test {
    ScratchRegistryKey root;
    RegistrySettingsStore store{root.path()};
    const std::string section = root.path() + "\\App\\Options";
};

TEST_F(RegistrySettings, AbsentSettingsReadAsTheDefault) {
    EXPECT_EQ(store.GetSetting("App", "Options", "macro", "fallback"), "fallback");
    store.SaveSetting("App", "Options", "other", "x");
    EXPECT_EQ(store.GetSetting("App", "Options", "macro", "fallback"), "fallback") << "key there, value not";
    EXPECT_EQ(store.GetSetting("App", "Options", "macro", ""), "");
}

TEST_F(RegistrySettings, SavedTextReadsBackUnchanged) {
    const std::vector<std::string> texts{
        "C:\\macros\\edit.wcm",
        "C:\\\xCE\xBC\xCE\xB1\xCE\xBA\xCF\x81\xCE\xBF\xCE\xAD\xCE\xBD\xCE\xB5\xCF\x81\xCE\xB3\xCE\xBF\xCE\xB9"
        "\\\xE5\xAE\x8F \xF0\x9F\x93\x84.wcm",
        "",
        std::string(3000, 'x'),
    };
    for (const std::string& text : texts) {
        store.SaveSetting("App", "Options", "macro", text);
        EXPECT_EQ(store.GetSetting("App", "Options", "macro", "default"), text);
    }
    // Stored as text with its terminating NUL, where other programs look.
    store.SaveSetting("App", "Options", "macro", "\xCE\xB1");
    wchar_t data[8] = {};
    DWORD size = sizeof data, type = 0;
    ASSERT_EQ(
        RegGetValueW(HKEY_CURRENT_USER, widen(section).c_str(), L"macro", RRF_RT_ANY, &type, data, &size),
        ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 2 * sizeof(wchar_t));
    EXPECT_STREQ(data, L"\u03B1");
}

TEST_F(RegistrySettings, TextWrittenByOthersReadsWithOrWithoutItsEnd) {
    const wchar_t withoutEnd[] = {L'a', L'b', L'c'};
    writeValue(section, "bare", REG_SZ, withoutEnd, sizeof withoutEnd);
    EXPECT_EQ(store.GetSetting("App", "Options", "bare", ""), "abc");
    const wchar_t expandable[] = L"%TEMP%\\m.wcm";
    writeValue(section, "expandable", REG_EXPAND_SZ, expandable, sizeof expandable);
    EXPECT_EQ(store.GetSetting("App", "Options", "expandable", ""), "%TEMP%\\m.wcm");
}

TEST_F(RegistrySettings, ANumberWhereTextBelongsRaisesAnError) {
    const DWORD number = 7;
    writeValue(section, "macro", REG_DWORD, &number, sizeof number);
    try {
        store.GetSetting("App", "Options", "macro", "default");
        ADD_FAILURE() << "no AppError";
    } catch (const AppError& error) {
        EXPECT_NE(error.description().find("\"macro\""), std::string::npos) << error.description();
    }
}

TEST_F(RegistrySettings, AKeyThatCannotBeReadRaisesAnErrorInsteadOfAnsweringTheDefault) {
    store.SaveSetting("App", "Options", "macro", "C:\\m.wcm");
    KeyReadDenied denied(section);
    const AppError error = errorOf([&] { store.GetSetting("App", "Options", "macro", "default"); });
    EXPECT_EQ(error.number(), ERROR_ACCESS_DENIED);
    EXPECT_NE(error.description().find("\"macro\""), std::string::npos) << error.description();
}

TEST_F(RegistrySettings, TheMacroSettingLivesUnderTheProgramsName) {
    Win32FileServices files;
    General::reset();
    General::install({nullptr, nullptr, &files, &store});
    General::StoreMacroSetting("C:\\m\\\xD0\xB6.wcm");
    const std::string stored = store.GetSetting("win_tests", "Options", "macro", "");
    const std::string read = General::ReadMacroSetting();
    General::reset();
    EXPECT_EQ(stored, "C:\\m\\\xD0\xB6.wcm");
    EXPECT_EQ(read, "C:\\m\\\xD0\xB6.wcm");
}

TEST(ScratchRegistryKeyTest, IsRemovedWithEverythingBelowIt) {
    std::string path;
    {
        ScratchRegistryKey root;
        path = root.path();
        RegistrySettingsStore(root.path()).SaveSetting("App", "Options", "macro", "x");
        ASSERT_TRUE(keyExists(path + "\\App\\Options"));
    }
    EXPECT_FALSE(keyExists(path));
}

} // namespace
