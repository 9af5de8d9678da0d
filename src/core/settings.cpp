#include "core/settings.h"

#include "core/General.h"
#include "files/file_services.h"

namespace MacroSetting {

std::string Read() {
    return General::settings().GetSetting(General::files().programName(), Section, Key, "");
}

void Store(const std::string& path) {
    General::settings().SaveSetting(General::files().programName(), Section, Key, path);
}

} // namespace MacroSetting
