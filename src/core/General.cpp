#include "core/General.h"

#include "base/error.h"
#include "base/file_services.h"
#include "base/late_binding.h"
#include "base/ports.h"
#include "base/settings.h"
#include "base/views.h"
#include "control/job_driver.h"
#include "core/Mediator.h"
#include "core/connection.h"
#include "version.h"

#include <cstdlib>

namespace General {

std::shared_ptr<Mediator> mediator;
std::shared_ptr<LateBound> WordPerfect;
bool ExtAccepted = false;

namespace {
Services services_;
WordPerfectConnection connection_;
} // namespace

WordPerfectConnection& wordPerfect() {
    return connection_;
}

void LetGoOfWordPerfect() noexcept {
    if (WordPerfect)
        WordPerfect->letGo();
    WordPerfect.reset();
}

Mediator& coordinator() {
    return required(mediator, "there is no coordinator");
}

void install(const Services& services) {
    services_ = services;
}

Platform& platform() {
    return required(services_.platform, "no platform services installed");
}

Forms& forms() {
    return required(services_.forms, "no windows installed");
}

FileServices& files() {
    return required(services_.files, "no file services installed");
}

SettingsStore& settings() {
    return required(services_.settings, "no settings store installed");
}

std::string ReadMacroSetting() {
    return MacroSetting::Read(settings(), files().programName());
}

void StoreMacroSetting(const std::string& path) {
    MacroSetting::Store(settings(), files().programName(), path);
}

void reset() {
    mediator.reset();
    WordPerfect.reset();
    connection_.reset();
    ExtAccepted = false;
    services_ = {};
    JobDriver::Reset();
}

void StartCoordinator() {
    // 1. The one coordinator, kept program-wide before anything uses it.
    mediator = std::make_shared<Mediator>();
    // 2. The extension manager, loaded hidden: its list starts with "wpd".
    forms().frmExtension();
    // 3. Connect, determine the temporary folder, build the core. When the
    //    word processor cannot be reached, init ends the program.
    mediator->init();
}

void Main() {
    StartCoordinator();
    // 4. The main window, modeless, without owner.
    forms().Form2().show();
    // 5. Quick Start, modal, owned by the main window.
    forms().showQuickStartOwnedByMain();
    // 6. The macro selection dialog, modal, owned by the main window.
    forms().showMacroSelectOwnedByMain();
    // 7. The extension manager again: a new one if it was closed meanwhile.
    forms().frmExtension();
}

void End(int exitCode) {
    // The process ends at once and runs no destructor: the word processor's
    // object is left unreleased, since a release is a call to a server that
    // may not answer. A platform that only observes the end raises instead.
    platform().endProgram(exitCode);
    std::abort(); // a platform's end of the program does not come back
}

void ReportUnexpectedFailure(std::exception_ptr failure) noexcept {
    std::string text;
    try {
        std::rethrow_exception(failure);
    } catch (...) {
        text = currentError().description();
    }
    try {
        platform().messageBox(text, TARNWICK_TITLE, MsgIcon::Critical, MsgButtons::Ok);
    } catch (...) {
        // Nothing is left to show it with.
    }
}

} // namespace General
