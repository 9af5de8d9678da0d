#pragma once
// The stand-in's automation object: the word processor's command interface
// over plain-text documents, answering by name through IDispatch.
#include "macro.h"
#include "settings.h"

#include <windows.h>

#include <oaidl.h>

#include <array>
#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

enum class Command {
    FileOpen = 1,
    EnvDocBlank,
    PosDocVeryTop,
    MacroFilePlay,
    EnvMacroPlaying,
    FileSave,
    CloseNoSave
};
inline constexpr std::size_t kCommandCount = 7;

// COM interfaces have no virtual destructor by design: an object is only
// ever deleted by its own Release, through its own type.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class PerfectScript final : public IDispatch {
public:
    // Makes an object with the settings in force now and answers the
    // interface asked for.
    static HRESULT create(REFIID riid, void** object);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

private:
    explicit PerfectScript(Settings settings);
    ~PerfectScript();
    PerfectScript(const PerfectScript&) = delete;
    PerfectScript& operator=(const PerfectScript&) = delete;

    // Carries out one command; raises CommandError for a failure the
    // caller sees as an automation exception.
    void run(Command command, const std::vector<std::string>& args, VARIANT* result);
    Document& current();

    std::atomic<ULONG> references_{1};
    Settings settings_;
    std::array<int, kCommandCount + 1> calls_{};
    std::optional<Document> document_;
    std::chrono::steady_clock::time_point playingUntil_{};
};
#pragma GCC diagnostic pop

// Appends a line (with its line end) to the journal file; nothing when the
// path is empty.
void appendLine(const std::string& path, std::string_view line);

} // namespace standin
