#include "core/macro_selection.h"

#include "base/error.h"
#include "base/ports.h"
#include "base/settings.h"
#include "base/text.h"
#include "base/views.h"
#include "core/General.h"
#include "core/Mediator.h"
#include "files/clsFileSystem.h"
#include "version.h"

namespace MacroSelection {

void Select(MacroSelectView& dialog) {
    dialog.setPathText(General::coordinator().MacroSet());
}

bool Ok(MacroSelectView& dialog) {
    const std::string path = dialog.pathText();
    clsFileSystem fs;
    if (!fs.FileExist(path)) {
        // A missing file (an empty box too) clears the setting, silently.
        General::StoreMacroSetting("");
        return true;
    }
    if (lowerCase(fs.GetFileExtension(path)) != "wcm") {
        General::platform().messageBox(kNotAMacro, TARNWICK_TITLE, MsgIcon::None, MsgButtons::Ok);
        dialog.setPathText("");
        return false;
    }
    General::StoreMacroSetting(path);
    return true;
}

void Cancel(MacroSelectView& dialog) {
    dialog.setPathText("");
}

void FillFromSetting(MacroSelectView& dialog) {
    // A setting that cannot be read as text (another type, a key that
    // cannot be read) opens the dialog empty, so that the user can choose a
    // macro anew; OK then stores the choice as text over it.
    std::string macro;
    try {
        macro = General::ReadMacroSetting();
    } catch (const AppError&) {
    }
    dialog.setPathText(macro);
    yieldTimes(General::platform(), 3);
}

} // namespace MacroSelection
