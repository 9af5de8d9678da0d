#pragma once
// The program as a person uses it: its real start-up routine, windows,
// common dialogs, folder browser and registry, the out-of-process stand-in
// server, and a scripted user in this process who acts on each window as it
// appears. Ending the program is observed rather than carried out.
#include "dialog_test_support.h"
#include "platform/automation_win.h"
#include "standin_test_support.h"

#include <map>
#include <string>
#include <vector>

// The recording platform with the word processor's real server, reached out
// of process (or in process where a case asks for it).
class EndToEndPlatform : public RecordingPlatform {
public:
    DWORD serverContext = CLSCTX_LOCAL_SERVER; // or CLSCTX_INPROC_SERVER
    CallLimits limits;                         // the program's unless a case shortens them
    std::vector<ULONGLONG> creations;          // when the program asked for an object
    std::vector<ServerStart> starts;           // how long each was allowed
    std::shared_ptr<LateBound> createObject(const std::string& progId, ServerStart start) override;
};

// The calls the main window made to its taskbar button: "normal", "error",
// "none" for the states, "3/20" for the progress.
class RecordingTaskbar : public TaskbarButton {
public:
    std::vector<std::string> calls;
    void setProgress(HWND, unsigned long long completed, unsigned long long total) override;
    void setState(HWND, State state) override;
};

struct EndToEnd : ::testing::Test {
    ScratchRegistryKey settingsKey;
    EndToEndPlatform platform;
    RecordingTaskbar taskbar;
    ProgramForms windows{&taskbar};
    MessageFilterScope messageFilter{windows.exitRequests()}; // as the program registers it
    Win32FileServices files;
    RegistrySettingsStore settings{settingsKey.path()};
    ScratchFolder scratch;
    StandinSettings standin{SettingsChannel::Registry};
    std::string source, target, journal;
    std::map<std::string, std::string> originals; // source path -> bytes

    EndToEnd();
    ~EndToEnd() override;

    // A document in the source folder (kept to check it stays unchanged).
    std::string document(const std::string& name, const std::string& bytes);
    // A macro file in the stand-in's macro language.
    std::string macro(const std::string& name, const std::string& lines);
    void storeMacro(const std::string& path);
    std::string storedMacro();

    // The start-up routine up to the main window, without its two dialogs.
    void startCoordinator();
    HWND mainWindow() { return windows.Form2().hwnd(); }
    void menu(int id) { SendMessageW(mainWindow(), WM_COMMAND, static_cast<WPARAM>(id), 0); }

    // The rows as the list control shows them: "path|status", top first.
    std::vector<std::string> shownRows();
    // The text of a part of the main window's status bar: 0 the run's
    // progress, 1 the selected row's reason.
    std::string statusText(int part);
    // The main window's answer to the list's tip notification for the row at
    // the display position ("untouched" when it gives none).
    std::string rowTip(int index);
    // Selects the row at the display position, or none with -1.
    void selectRow(int index);

    // The commands the server received for one document, from its FileOpen
    // to its first CloseNoSave (or, with untilNextDocument, to the next
    // document's FileOpen); temporary files appear as "<temp>".
    std::vector<std::string> commandsFor(const std::string& path, bool untilNextDocument = false);
    // Every source document still holds its original bytes.
    void expectSourcesUnchanged();
};

// Steps of the scripted user for the program's own dialogs.
HWND quickStart();
HWND batchDocuments();
HWND macroDialog();
HWND extensionManager();
// Waits until the control shows the text, then answers true.
std::function<bool()> untilText(std::function<HWND()> dialog, int id, std::string text);
std::function<bool()> press(std::function<HWND()> dialog, int id);
// Types the path into the file dialog with this caption ("Open", "Save As")
// and accepts it.
std::function<bool()> typeInto(std::wstring caption, std::string path);
// Cancels the file dialog with this caption.
std::function<bool()> cancel(std::wstring caption);
// Selects the folder in the folder browser and accepts it once the browser
// shows it selected (the browser fills its tree as it goes).
std::function<bool()> pickFolder(std::string path);
std::function<bool()> answerBox(const std::wstring& caption, std::wstring* text = nullptr);
// Picks the source and then the target folder in Batch Documents, each once
// its box shows it; an empty target cancels the target's folder browser.
std::vector<std::function<bool()>> pickFolders(const std::string& source, const std::string& target);
