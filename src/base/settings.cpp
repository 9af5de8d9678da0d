#include "base/settings.h"

namespace MacroSetting {

std::string Read(SettingsStore& store, const std::string& program) {
    return store.GetSetting(program, Section, Key, "");
}

void Store(SettingsStore& store, const std::string& program, const std::string& path) {
    store.SaveSetting(program, Section, Key, path);
}

} // namespace MacroSetting
