#pragma once
// The About box: the program's title and version, the credit, and the
// system's System Information tool. Shown without being modal; "OK" and the
// close box destroy it, and the next showing creates it anew.
#include "platform/handles_win.h"
#include "ui/dialog_window.h"

#include <windows.h>

#include <string>

class frmAbout : public DialogWindow {
public:
    // Where the System Information tool is looked up: the program's full
    // path (value "PATH"), else the folder holding MSINFO32.EXE (value
    // "MSINFO"). The system's places by default; tests give their own.
    struct SysInfoRegistry {
        HKEY root = HKEY_LOCAL_MACHINE;
        std::string pathKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
        std::string folderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
    };

    frmAbout();

    // Creates the box if it does not exist and shows it, without owner.
    void show();

    // Starts the System Information tool, or says that it is unavailable.
    void StartSysInfo();
    void StartSysInfo(const SysInfoRegistry& where);

    // Reads a value below the root into value: text as it is, a 32-bit
    // number as decimal text; any other type leaves value as it was. Answers
    // false, with empty value, when the key or the value cannot be read.
    static bool GetKeyValue(HKEY root, const std::string& keyName, const std::string& valueName,
                            std::string& value);

    // "Version major.minor.revision" from the running module's version
    // resource; empty text when it has none.
    static std::string versionText();

private:
    bool command(int id, int code) override;
    void initialise() override;
    void makeFonts(UINT dpi) override;

    UniqueFont titleFont_;
};
