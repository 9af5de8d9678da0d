// The late-binding client against the stand-in server, in process and out of
// process: every command, the errors as the caller receives them, the
// journal, failure injection and the playing state.
#include "base/error.h"
#include "base/late_binding.h"
#include "platform/automation_win.h"
#include "platform/handles_win.h"
#include "platform/wide_win.h"
#include "standin_test_support.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <chrono>
#include <thread>

using Microsoft::WRL::ComPtr;
using namespace std::chrono_literals;

namespace {

const std::string kProgId = "WordPerfect.PerfectScript";
constexpr std::int64_t kNoDocument = 0x80040201;
constexpr std::int64_t kMacroFailed = 0x80040202;
constexpr std::int64_t kInjected = 0x80040203;
constexpr std::int64_t kFileNotFound = 0x80070002; // HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)

struct Server {
    const char* name;
    DWORD context;
    // An out-of-process server does not see this process's environment
    // after it started (and never on Windows): it is set up by the registry.
    SettingsChannel channel;
};

void PrintTo(const Server& server, std::ostream* out) {
    *out << server.name;
}

const Server kInProcess{"InProcess", CLSCTX_INPROC_SERVER, SettingsChannel::Environment};
const Server kLocal{"Local", CLSCTX_LOCAL_SERVER, SettingsChannel::Registry};

class StandinServer : public ::testing::TestWithParam<Server> {
protected:
    ScratchFolder scratch;
    StandinSettings settings{GetParam().channel};
    std::string journalPath = scratch.path("journal.txt");

    // Starting the local server costs about a second under Wine: one
    // object held for the whole suite keeps it running between the tests
    // (each test's objects still read their own settings).
    static std::shared_ptr<LateBound>& keepAlive() {
        static std::shared_ptr<LateBound> object;
        return object;
    }
    void SetUp() override {
        if (GetParam().context == CLSCTX_LOCAL_SERVER && !keepAlive())
            keepAlive() = createAutomationObject(kProgId, CLSCTX_LOCAL_SERVER);
    }
    static void TearDownTestSuite() { keepAlive().reset(); }

    std::shared_ptr<LateBound> create() { return createAutomationObject(kProgId, GetParam().context); }
    std::shared_ptr<LateBound> createWithJournal() {
        settings.journal(journalPath);
        return create();
    }
    std::string file(const std::string& name, const std::string& bytes) {
        const std::string path = scratch.path(name);
        writeBytes(path, bytes);
        return path;
    }
};

TEST_P(StandinServer, PlaysAMacroOverADocumentAndSavesItByteForByte) {
    const std::string document = file("letter.txt", "Dear Acme,\r\nAcme sells caf\xC3\xA9. Acme!\r\n");
    const std::string macro = file("edit.mac", "# heading, then the new name\r\n"
                                               "Type \"Widgets news\\r\\n\"\r\n"
                                               "Replace \"Acme\" \"Widgets Ltd\"\r\n"
                                               "Bottom\r\n"
                                               "Type \"-- end\"\r\n");
    const std::string saved = scratch.path("letter-out.txt");
    auto wp = create();

    wp->call("FileOpen", std::vector{byVal(document)});
    EXPECT_EQ(wp->get("envDocBlank"), Value{false});
    wp->call("PosDocVeryTop");
    wp->call("MacroFilePlay", std::vector{byRef(macro)});
    EXPECT_EQ(wp->get("envMacroPlaying"), Value{false});
    wp->call("FileSave", std::vector{byVal(saved)});
    wp->call("CloseNoSave");
    EXPECT_EQ(wp->get("envDocBlank"), Value{true});

    EXPECT_EQ(readBytes(saved),
              "Widgets news\r\nDear Widgets Ltd,\r\nWidgets Ltd sells caf\xC3\xA9. Widgets Ltd!\r\n"
              "-- end");
    EXPECT_EQ(readBytes(document), "Dear Acme,\r\nAcme sells caf\xC3\xA9. Acme!\r\n")
        << "the source stays as it was";
}

TEST_P(StandinServer, InsertsAtTheInsertionPointAndSaveReplacesAFile) {
    const std::string document = file("a.txt", "one two");
    const std::string saved = file("out.txt", "an older and much longer content of the file");
    auto wp = create();
    wp->call("FileOpen", std::vector{byVal(document)});
    // Typing moves the insertion point on; a replacement before it moves it
    // with the text; the top puts it back before everything.
    wp->call("MacroFilePlay", std::vector{byVal(file("1.mac", "Type \"[\"\nType \"<\"\n"))});
    wp->call("MacroFilePlay", std::vector{byVal(file("2.mac", "Replace \"[\" \"[[[\"\nType \"!\"\n"))});
    wp->call("MacroFilePlay",
             std::vector{byVal(file("3.mac", "Bottom\nReplace \"one\" \"1\"\nType \".\"\n"))});
    wp->call("PosDocVeryTop");
    wp->call("MacroFilePlay", std::vector{byVal(file("4.mac", "Type \">\"\n"))});
    wp->call("FileSave", std::vector{byVal(saved)});
    EXPECT_EQ(readBytes(saved), ">[[[<!1 two.");
}

TEST_P(StandinServer, AnswersWhetherTheDocumentIsBlank) {
    auto wp = create();
    EXPECT_EQ(wp->get("envDocBlank"), Value{true}) << "nothing open";
    wp->call("FileOpen", std::vector{byVal(file("empty.txt", ""))});
    EXPECT_EQ(wp->get("envDocBlank"), Value{true});
    wp->call("FileOpen", std::vector{byVal(file("full.txt", "x"))});
    EXPECT_EQ(wp->call("envDocBlank"), Value{false}) << "a read as a method call answers the same";
}

TEST_P(StandinServer, FileErrorsArriveWithTheServersDescription) {
    const std::string missing = scratch.path("no such file.txt");
    auto wp = create();

    const AppError open = errorOf([&] { wp->call("FileOpen", std::vector{byVal(missing)}); });
    EXPECT_EQ(open.number(), kFileNotFound);
    EXPECT_EQ(open.description().rfind("Cannot open the file \"" + missing + "\": ", 0), 0u)
        << open.description();
    EXPECT_GT(open.description().size(), ("Cannot open the file \"" + missing + "\": ").size());
    EXPECT_EQ(open.source(), "WordPerfect.PerfectScript");

    wp->call("FileOpen", std::vector{byVal(file("doc.txt", "text"))});
    const AppError macro = errorOf([&] { wp->call("MacroFilePlay", std::vector{byVal(missing)}); });
    EXPECT_EQ(macro.number(), kFileNotFound);
    EXPECT_NE(macro.description().find(missing), std::string::npos) << macro.description();

    const std::string unwritable = scratch.path("no folder\\out.txt");
    const AppError save = errorOf([&] { wp->call("FileSave", std::vector{byVal(unwritable)}); });
    EXPECT_EQ(save.description().rfind("Cannot save the document to \"" + unwritable + "\": ", 0), 0u)
        << save.description();
    EXPECT_EQ(save.source(), "WordPerfect.PerfectScript");
}

TEST_P(StandinServer, CommandsThatNeedADocumentFailWithoutOne) {
    auto wp = create();
    const std::string somewhere = scratch.path("x.txt");
    const std::vector<std::pair<std::string, std::vector<Arg>>> calls{
        {"PosDocVeryTop", {}},
        {"MacroFilePlay", {byVal(file("m.mac", "Type \"x\"\n"))}},
        {"FileSave", {byVal(somewhere)}},
        {"CloseNoSave", {}},
    };
    for (const auto& [name, args] : calls) {
        const AppError error = errorOf([&] { wp->call(name, args); });
        EXPECT_EQ(error.number(), kNoDocument) << name;
        EXPECT_EQ(error.description(), "No document is open") << name;
        EXPECT_EQ(error.source(), "WordPerfect.PerfectScript") << name;
    }
    EXPECT_FALSE(fileExists(somewhere));
}

TEST_P(StandinServer, MacroErrorsNameTheirLineAndKeepEarlierEdits) {
    const std::string saved = scratch.path("out.txt");
    auto wp = create();
    wp->call("FileOpen", std::vector{byVal(file("doc.txt", "abc"))});

    const AppError raised = errorOf([&] {
        wp->call("MacroFilePlay",
                 std::vector{byVal(
                     file("fail.mac", "Type \"1\"\nError \"Stopped by \\\"the\\\" macro\"\nType \"2\"\n"))});
    });
    EXPECT_EQ(raised.number(), kMacroFailed);
    EXPECT_EQ(raised.description(), "Stopped by \"the\" macro");
    EXPECT_EQ(raised.source(), "WordPerfect.PerfectScript");

    const AppError unknown = errorOf(
        [&] { wp->call("MacroFilePlay", std::vector{byVal(file("bad.mac", "Top\n\nFrobnicate \"x\"\n"))}); });
    EXPECT_EQ(unknown.number(), kMacroFailed);
    EXPECT_EQ(unknown.description(), "Unknown macro command in macro line 3: Frobnicate \"x\"");

    const AppError malformed =
        errorOf([&] { wp->call("MacroFilePlay", std::vector{byVal(file("open.mac", "Type \"no end\n"))}); });
    EXPECT_NE(malformed.description().find("macro line 1"), std::string::npos) << malformed.description();

    wp->call("FileSave", std::vector{byVal(saved)});
    EXPECT_EQ(readBytes(saved), "1abc");
}

TEST_P(StandinServer, AcceptsStringsByReferenceAndVariantsByReference) {
    const std::string document = file("doc.txt", "by reference");
    const std::string saved = scratch.path("out.txt");
    auto wp = create();
    wp->call("FileOpen", std::vector{byRef(document)});
    wp->call("FileSave", std::vector{byRef(saved)});
    EXPECT_EQ(readBytes(saved), "by reference");

    // The client never sends VT_BYREF|VT_VARIANT; other callers do.
    ComPtr<IDispatch> raw;
    CLSID clsid{};
    ASSERT_HRESULT_SUCCEEDED(CLSIDFromProgID(widen(kProgId).c_str(), &clsid));
    ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(clsid, nullptr, GetParam().context, IID_PPV_ARGS(&raw)));
    std::wstring name = L"FileOpen";
    LPOLESTR names[] = {name.data()};
    DISPID id = 0;
    ASSERT_HRESULT_SUCCEEDED(raw->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
    UniqueVariant inner;
    inner.address()->vt = VT_BSTR;
    inner.address()->bstrVal = makeBstr(widen(document)).release();
    VARIANTARG arg;
    VariantInit(&arg);
    arg.vt = VT_BYREF | VT_VARIANT;
    arg.pvarVal = inner.address();
    DISPPARAMS params{&arg, nullptr, 1, 0};
    EXCEPINFO exception{};
    ASSERT_HRESULT_SUCCEEDED(raw->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                                         &exception, nullptr));
    UniqueVariant blank;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    name = L"envDocBlank";
    names[0] = name.data();
    ASSERT_HRESULT_SUCCEEDED(raw->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
    ASSERT_HRESULT_SUCCEEDED(raw->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                         blank.put(), nullptr, nullptr));
    EXPECT_EQ(blank.get().vt, VT_BOOL);
    EXPECT_EQ(blank.get().boolVal, VARIANT_FALSE) << "the document opened through the VARIANT has text";

    // A missing argument is refused before anything is done.
    name = L"FileSave";
    names[0] = name.data();
    ASSERT_HRESULT_SUCCEEDED(raw->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
    EXPECT_EQ(
        raw->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
        DISP_E_BADPARAMCOUNT);
}

TEST_P(StandinServer, UnknownNamesRaiseAppErrorAndNamesIgnoreCase) {
    auto wp = createWithJournal();
    const AppError call = errorOf([&] { wp->call("FileOpenTwice", std::vector{byVal("x")}); });
    EXPECT_EQ(call.number(), 438);
    EXPECT_NE(call.description().find("FileOpenTwice"), std::string::npos) << call.description();
    const AppError read = errorOf([&] { wp->get("envNoSuchThing"); });
    EXPECT_EQ(read.number(), 438);
    EXPECT_EQ(wp->get("ENVDOCBLANK"), Value{true});
    EXPECT_EQ(journalLines(journalPath), std::vector<std::string>{"envDocBlank"})
        << "unknown names are no commands";
}

TEST_P(StandinServer, JournalRecordsEveryCommandInOrder) {
    const std::string document = file("doc.txt", "hello");
    const std::string macro = file("m.mac", "Replace \"hello\" \"bye\"\n");
    const std::string saved = scratch.path("saved.txt");
    const std::string missing = scratch.path("missing.txt");
    auto wp = createWithJournal();

    wp->call("FileOpen", std::vector{byRef(document)});
    wp->get("envDocBlank");
    wp->call("PosDocVeryTop");
    wp->call("MacroFilePlay", std::vector{byRef(macro)});
    wp->get("envMacroPlaying");
    wp->call("FileSave", std::vector{byVal(saved)});
    wp->call("CloseNoSave");
    EXPECT_THROW(wp->call("FileOpen", std::vector{byVal(missing)}), AppError);

    EXPECT_EQ(journalLines(journalPath), (std::vector<std::string>{
                                             "FileOpen\t" + document,
                                             "envDocBlank",
                                             "PosDocVeryTop",
                                             "MacroFilePlay\t" + macro,
                                             "envMacroPlaying",
                                             "FileSave\t" + saved,
                                             "CloseNoSave",
                                             "FileOpen\t" + missing,
                                         }));
}

TEST_P(StandinServer, InjectedFailuresHitTheKthCallOfEachObject) {
    settings.fail("FileSave:2:Disk is full;CloseNoSave:*:Busy; envDocBlank : 1 :First read fails");
    const std::string document = file("doc.txt", "text");
    const std::string first = scratch.path("1.txt");
    const std::string second = scratch.path("2.txt");
    const std::string third = scratch.path("3.txt");

    for (int object = 0; object < 2; ++object) {
        SCOPED_TRACE("object " + std::to_string(object + 1));
        auto wp = createWithJournal();
        wp->call("FileOpen", std::vector{byVal(document)});
        EXPECT_NO_THROW(wp->call("FileSave", std::vector{byVal(first)}));
        const AppError full = errorOf([&] { wp->call("FileSave", std::vector{byVal(second)}); });
        EXPECT_EQ(full.number(), kInjected);
        EXPECT_EQ(full.description(), "Disk is full");
        EXPECT_EQ(full.source(), "WordPerfect.PerfectScript");
        EXPECT_NO_THROW(wp->call("FileSave", std::vector{byVal(third)}));
        EXPECT_FALSE(fileExists(second)) << "an injected failure does nothing";

        const AppError busy = errorOf([&] { wp->get("envDocBlank"); });
        EXPECT_EQ(busy.description(), "First read fails");
        EXPECT_EQ(wp->get("envDocBlank"), Value{false});
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(errorOf([&] { wp->call("CloseNoSave"); }).description(), "Busy");
        DeleteFileW(widen(first).c_str());
        DeleteFileW(widen(third).c_str());
    }
    // Failing calls are journaled like the others.
    const auto lines = journalLines(journalPath);
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(lines[2], "FileSave\t" + second);
    EXPECT_EQ(lines[7], "CloseNoSave");
}

TEST_P(StandinServer, MalformedSettingsRefuseTheObjectAndSayWhyInTheJournal) {
    settings.journal(journalPath);
    settings.fail("FileSave:second:Disk is full");
    const AppError error = errorOf([&] { create(); });
    EXPECT_EQ(error.number(), static_cast<std::uint32_t>(E_INVALIDARG));
    const auto lines = journalLines(journalPath);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("SettingsError\t", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find("FileSave:second:Disk is full"), std::string::npos) << lines[0];
}

TEST_P(StandinServer, MacroKeepsPlayingForTheTimeItAsks) {
    auto wp = create();
    wp->call("FileOpen", std::vector{byVal(file("doc.txt", "x"))});
    const std::string macro = file("slow.mac", "Playing 150\nType \"y\"\nPlaying 50\n");
    const auto start = std::chrono::steady_clock::now();
    wp->call("MacroFilePlay", std::vector{byVal(macro)});
    const auto returned = std::chrono::steady_clock::now() - start;
    EXPECT_LT(returned, 150ms) << "the call returns before the macro has finished playing";
    EXPECT_EQ(wp->get("envMacroPlaying"), Value{true});
    int trueReads = 1;
    while (wp->get("envMacroPlaying") == Value{true}) {
        ++trueReads;
        ASSERT_LT(std::chrono::steady_clock::now() - start, 3s) << "still playing";
        std::this_thread::sleep_for(5ms);
    }
    const auto played = std::chrono::steady_clock::now() - start;
    EXPECT_GE(played, 200ms);
    EXPECT_LT(played, 1500ms);
    EXPECT_GT(trueReads, 2);
    EXPECT_EQ(wp->get("envMacroPlaying"), Value{false}) << "it stays over";
}

TEST_P(StandinServer, DelaySettingSlowsTheNamedCommand) {
    settings.delay("envDocBlank:120");
    auto wp = create();
    auto start = std::chrono::steady_clock::now();
    wp->get("envMacroPlaying");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 100ms);
    start = std::chrono::steady_clock::now();
    wp->get("envDocBlank");
    EXPECT_GE(std::chrono::steady_clock::now() - start, 115ms);
}

INSTANTIATE_TEST_SUITE_P(Servers, StandinServer, ::testing::Values(kInProcess, kLocal),
                         [](const auto& info) { return std::string(info.param.name); });

// Settings beyond one server kind, and the local server's life.

TEST(StandinSettingsTest, EnvironmentComesBeforeTheRegistryAndIsReadAtEachCreation) {
    ScratchFolder scratch;
    StandinSettings settings(SettingsChannel::Registry);
    const std::string fromRegistry = scratch.path("registry.txt");
    const std::string fromEnvironment = scratch.path("environment.txt");
    settings.setIn(SettingsChannel::Registry, "Journal", fromRegistry);

    auto first = createAutomationObject(kProgId, CLSCTX_INPROC_SERVER);
    settings.setIn(SettingsChannel::Environment, "Journal", fromEnvironment);
    auto second = createAutomationObject(kProgId, CLSCTX_INPROC_SERVER);
    // Set but empty: no journal, whatever the registry says.
    settings.setIn(SettingsChannel::Environment, "Journal", "");
    auto third = createAutomationObject(kProgId, CLSCTX_INPROC_SERVER);

    first->get("envDocBlank");
    second->get("envMacroPlaying");
    third->call("envDocBlank");
    EXPECT_EQ(journalLines(fromRegistry), std::vector<std::string>{"envDocBlank"});
    EXPECT_EQ(journalLines(fromEnvironment), std::vector<std::string>{"envMacroPlaying"});
}

int runningServers() {
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return -1;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry))
        if (_wcsicmp(entry.szExeFile, L"standin-server.exe") == 0)
            ++count;
    return count;
}

bool waitForServers(int count) {
    const auto start = std::chrono::steady_clock::now();
    while (runningServers() != count) {
        if (std::chrono::steady_clock::now() - start > 5s)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

TEST(StandinLocalServerTest, ServesEveryObjectFromOneProcessAndEndsWithTheLast) {
    StandinSettings settings(SettingsChannel::Registry);
    ASSERT_TRUE(waitForServers(0)) << "a server of an earlier test is still running";
    auto first = createAutomationObject(kProgId, CLSCTX_LOCAL_SERVER);
    auto second = createAutomationObject(kProgId, CLSCTX_LOCAL_SERVER);
    EXPECT_EQ(runningServers(), 1);
    first.reset();
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(second->get("envDocBlank"), Value{true}) << "the server lives on for the other object";
    EXPECT_EQ(runningServers(), 1);
    second.reset();
    EXPECT_TRUE(waitForServers(0)) << "the server did not end with its last object";
    // COM starts a new one for the next client.
    auto third = createAutomationObject(kProgId, CLSCTX_LOCAL_SERVER);
    EXPECT_EQ(third->get("envMacroPlaying"), Value{false});
}

TEST(AutomationObjectTest, UnregisteredIdentifierCannotBeCreated) {
    const AppError error = errorOf([] { createAutomationObject("Tarnwick.NoSuchServer"); });
    EXPECT_EQ(error.number(), static_cast<std::uint32_t>(CO_E_CLASSSTRING));
    const std::string prefix = "Cannot create the automation object \"Tarnwick.NoSuchServer\": ";
    EXPECT_EQ(error.description().rfind(prefix, 0), 0u) << error.description();
    EXPECT_GT(error.description().size(), prefix.size()) << "the system's message follows";
}

} // namespace
