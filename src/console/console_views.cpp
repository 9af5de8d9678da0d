#include "console/console_views.h"

#include "base/error.h"
#include "base/folders.h"
#include "base/text.h"
#include "console/batch_run.h"
#include "console/stop_request.h"
#include "control/documents.h"
#include "files/clsFileSystem.h"

namespace {
[[noreturn]] void noDialog(const char* name) {
    throw AppError(ErrorNumber::ObjectRequired, std::string("The console program has no ") + name);
}
} // namespace

std::string ConsoleExtensions::List(int index) {
    return entries_.at(static_cast<std::size_t>(index));
}

BatchDocumentsView& ConsoleForms::Form1() {
    noDialog("Batch Documents dialog");
}

MacroSelectView& ConsoleForms::frmMacroSelect() {
    noDialog("macro selection dialog");
}

std::shared_ptr<LateBound> ConsolePlatform::createObject(const std::string& progId, ServerStart start) {
    return system_.createObject(progId, start);
}

bool ConsolePlatform::stopRequested() {
    return stop_.requested();
}

MsgAnswer ConsolePlatform::messageBox(const std::string& text, const std::string&, MsgIcon,
                                      MsgButtons buttons) {
    run_.message(text);
    return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
}

void ConsolePlatform::endProgram(int) {
    throw ProgramEnded{};
}

std::string RunSettings::GetSetting(const std::string& application, const std::string& section,
                                    const std::string& key, const std::string& defaultValue) {
    if (macro_ && section == MacroSetting::Section && key == MacroSetting::Key)
        return *macro_;
    return stored_.GetSetting(application, section, key, defaultValue);
}

std::vector<DirectoryEntry> RunLister::list(const std::string& folder) {
    std::vector<DirectoryEntry> kept;
    for (DirectoryEntry& entry : lister_.list(folder)) {
        const std::string path = entryPath(folder, entry.name);
        // Only what the batch would convert is left out: an ordinary file
        // that is a document.
        if (entry.directory || entry.hidden || entry.system || !isDocument(path)) {
            kept.push_back(std::move(entry));
            continue;
        }
        std::string relative = pathBelow(source_, path);
        if (relative.empty())
            relative = entry.name;
        switch (choose_(path, relative)) {
        case RunChoice::Take:
            kept.push_back(std::move(entry));
            break;
        case RunChoice::Skip:
            skipped_(path);
            break;
        case RunChoice::Leave:
            break;
        }
    }
    return kept;
}
