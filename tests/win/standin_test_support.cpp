#include "standin_test_support.h"

#include "platform/handles_win.h"
#include "platform/paths_win.h"
#include "platform/wide_win.h"

#include <sddl.h>

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <stdexcept>

namespace {

const wchar_t* const kSettingsKey = L"Software\\Tarnwick\\Standin";

const char* const kSettingNames[] = {"Journal",  "Fail", "Delay",   "Busy", "Hang",  "Exit",
                                     "HalfSave", "Wait", "Endless", "Quit", "Refire"};

std::wstring variableFor(const std::string& name) {
    if (std::find(std::begin(kSettingNames), std::end(kSettingNames), name) == std::end(kSettingNames))
        throw std::invalid_argument("no stand-in setting " + name);
    std::wstring variable = L"TARNWICK_STANDIN_" + widen(name);
    std::transform(variable.begin(), variable.end(), variable.begin(), ::towupper);
    return variable;
}

// The extended-length form of a path with a drive, so that the file calls do
// not stop at 260 characters; other paths go unchanged.
std::wstring longForm(const std::wstring& path) {
    const bool drivePath = path.size() > 2 && path[1] == L':' && path[2] == L'\\';
    return drivePath && path.find(L'/') == std::wstring::npos ? L"\\\\?\\" + path : path;
}

void removeTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    UniqueFindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (find) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = folder + L"\\" + name;
            // A read-only file or folder would refuse to go.
            if (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
                SetFileAttributesW(path.c_str(), found.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
            // A link goes itself; what it leads to is not entered.
            if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
                RemoveDirectoryW(path.c_str()) || DeleteFileW(path.c_str());
            else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(path);
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(find.get(), &found));
    }
    find.reset();
    RemoveDirectoryW(folder.c_str());
}

} // namespace

ScratchFolder::ScratchFolder() {
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    if (n == 0 || n > MAX_PATH)
        throw std::runtime_error("GetTempPathW failed");
    std::wstring base(temp, n);
    if (base.back() != L'\\')
        base += L'\\';
    for (int attempt = 0;; ++attempt) {
        const std::wstring folder = base + L"tarnwick-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                    std::to_wstring(++counter);
        if (CreateDirectoryW(folder.c_str(), nullptr)) {
            folder_ = narrow(folder);
            return;
        }
        if (attempt > 100)
            throw std::runtime_error("cannot make a scratch folder under " + narrow(base));
    }
}

ScratchFolder::~ScratchFolder() {
    removeTree(longForm(widen(folder_)));
}

std::string ScratchFolder::path(const std::string& name) const {
    return folder_ + "\\" + name;
}

std::string ScratchFolder::file(const std::string& name, const std::string& bytes, DWORD attributes) const {
    const std::string full = path(name);
    writeBytes(full, bytes);
    if (attributes != 0 && !SetFileAttributesW(longForm(widen(full)).c_str(), attributes))
        throw std::runtime_error("cannot set the attributes of " + full);
    return full;
}

ScratchRegistryKey::ScratchRegistryKey() {
    static std::atomic<int> counter{0};
    path_ = "Software\\Tarnwick Tests\\test-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++counter);
}

ScratchRegistryKey::~ScratchRegistryKey() {
    RegDeleteTreeW(HKEY_CURRENT_USER, widen(path_).c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Tarnwick Tests"); // goes once no other test uses it
}

void ScratchRegistryKey::write(const std::string& subkey, const std::string& name, DWORD type,
                               const void* data, DWORD size) const {
    UniqueHkey key;
    const std::string full = subkey.empty() ? path_ : path_ + "\\" + subkey;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, widen(full).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              key.put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key.get(), widen(name).c_str(), 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
}

void ScratchRegistryKey::writeText(const std::string& subkey, const std::string& name,
                                   const std::string& text, bool withNul) const {
    const std::wstring wide = widen(text);
    const auto bytes = static_cast<DWORD>((wide.size() + (withNul ? 1 : 0)) * sizeof(wchar_t));
    write(subkey, name, REG_SZ, wide.c_str(), bytes);
}

KeySetAside::KeySetAside(HKEY root, std::string path) : root_(root), path_(std::move(path)) {
    UniqueHkey key, copy;
    if (RegOpenKeyExW(root_, widen(path_).c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return;
    EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, widen(kept_.path()).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, copy.put(), nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegCopyTreeW(key.get(), nullptr, copy.get()), ERROR_SUCCESS);
    key.reset();
    EXPECT_EQ(RegDeleteTreeW(root_, widen(path_).c_str()), ERROR_SUCCESS);
    existed_ = true;
}

KeySetAside::~KeySetAside() {
    RegDeleteTreeW(root_, widen(path_).c_str());
    if (!existed_)
        return;
    UniqueHkey copy, key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, widen(kept_.path()).c_str(), 0, KEY_READ, copy.put()) ==
            ERROR_SUCCESS &&
        RegCreateKeyExW(root_, widen(path_).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(),
                        nullptr) == ERROR_SUCCESS)
        RegCopyTreeW(copy.get(), nullptr, key.get());
}

KeyReadDenied::KeyReadDenied(const std::string& path) : path_(path) {
    UniqueHkey key;
    DWORD size = 0;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, widen(path_).c_str(), 0, nullptr, 0, READ_CONTROL | WRITE_DAC,
                        nullptr, key.put(), nullptr) != ERROR_SUCCESS ||
        RegGetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, nullptr, &size) !=
            ERROR_INSUFFICIENT_BUFFER) {
        ADD_FAILURE() << "cannot reach the access list of " << path_;
        return;
    }
    std::vector<BYTE> original(size);
    // Everyone: reading denied, everything else allowed.
    UniqueLocalMemory<PSECURITY_DESCRIPTOR> denying;
    if (RegGetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, original.data(), &size) != ERROR_SUCCESS ||
        !ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(D;;KR;;;WD)(A;;KA;;;WD)", SDDL_REVISION_1,
                                                              denying.put(), nullptr)) {
        ADD_FAILURE() << "cannot make the deny rule for " << path_;
        return;
    }
    original_ = std::move(original);
    EXPECT_EQ(RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, denying.get()), ERROR_SUCCESS);
}

KeyReadDenied::~KeyReadDenied() {
    UniqueHkey key;
    if (!original_.empty() &&
        RegOpenKeyExW(HKEY_CURRENT_USER, widen(path_).c_str(), 0, WRITE_DAC, key.put()) == ERROR_SUCCESS)
        RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, original_.data());
}

TemporaryFolderMoved::TemporaryFolderMoved(const std::string& folder) {
    for (auto [name, kept] : {std::pair{L"TMP", &tmp_}, std::pair{L"TEMP", &temp_}}) {
        kept->assign(GetEnvironmentVariableW(name, nullptr, 0), L'\0');
        kept->resize(GetEnvironmentVariableW(name, kept->data(), static_cast<DWORD>(kept->size())));
        SetEnvironmentVariableW(name, widen(folder).c_str());
    }
}

TemporaryFolderMoved::~TemporaryFolderMoved() {
    SetEnvironmentVariableW(L"TMP", tmp_.empty() ? nullptr : tmp_.c_str());
    SetEnvironmentVariableW(L"TEMP", temp_.empty() ? nullptr : temp_.c_str());
}

void clearStandinSettings() {
    for (const char* name : kSettingNames)
        SetEnvironmentVariableW(variableFor(name).c_str(), nullptr);
    RegDeleteKeyW(HKEY_CURRENT_USER, kSettingsKey);
}

StandinSettings::StandinSettings(SettingsChannel channel) : channel_(channel) {
    clearStandinSettings();
}

StandinSettings::~StandinSettings() {
    clearStandinSettings();
}

void StandinSettings::set(const std::string& name, const std::string& value) {
    setIn(channel_, name, value);
}

void StandinSettings::setIn(SettingsChannel channel, const std::string& name, const std::string& value) {
    if (channel == SettingsChannel::Environment) {
        ASSERT_TRUE(SetEnvironmentVariableW(variableFor(name).c_str(), widen(value).c_str()));
        return;
    }
    UniqueHkey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              key.put(), nullptr),
              ERROR_SUCCESS);
    const std::wstring wide = widen(value);
    ASSERT_EQ(RegSetValueExW(key.get(), widen(name).c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(wide.c_str()),
                             static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

std::string readBytes(const std::string& path) {
    UniqueHandle file(CreateFileW(longForm(widen(path)).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw std::runtime_error("cannot read " + path);
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    return bytes;
}

void writeBytes(const std::string& path, const std::string& bytes) {
    UniqueHandle file(CreateFileW(longForm(widen(path)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file || !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
        throw std::runtime_error("cannot write " + path);
}

bool fileExists(const std::string& path) {
    return GetFileAttributesW(longForm(widen(path)).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> openedDocuments(const std::string& journal) {
    std::vector<std::string> paths;
    for (const std::string& line : journalLines(journal))
        if (line.starts_with("FileOpen\t"))
            paths.push_back(line.substr(9));
    return paths;
}

std::vector<std::string> journalLines(const std::string& path, bool withServerStarts) {
    std::vector<std::string> lines;
    if (!fileExists(path))
        return lines;
    const std::string bytes = readBytes(path);
    std::size_t from = 0;
    for (std::size_t at; (at = bytes.find('\n', from)) != std::string::npos; from = at + 1)
        lines.push_back(bytes.substr(from, at - from));
    if (from < bytes.size())
        lines.push_back(bytes.substr(from) + "<no line end>");
    if (!withServerStarts)
        std::erase_if(lines, [](const std::string& line) { return line.rfind("ServerStarted\t", 0) == 0; });
    for (std::string& line : lines) {
        const std::size_t name = line.find_last_of("\\\t") + 1;
        if (line.rfind("FileSave\t", 0) == 0 && isResultTemporaryName(std::string_view(line).substr(name)))
            line.replace(name, std::string::npos, kResultTemporaryShown);
    }
    return lines;
}

std::string resultSave(const std::string& result) {
    return "FileSave\t" + result.substr(0, result.find_last_of('\\') + 1) + kResultTemporaryShown;
}

std::string folderOfLength(const ScratchFolder& scratch, std::size_t length) {
    std::string path = scratch.folder() + "\\";
    // Made of names of at most 200 characters, one inside the other.
    while (path.size() < length) {
        path += std::string(std::min<std::size_t>(200, length - path.size()), 'l');
        CreateDirectoryW(longForm(widen(path)).c_str(), nullptr);
        if (path.size() < length)
            path += "\\";
    }
    EXPECT_TRUE(fileExists(path)) << path;
    return path;
}

std::string temporaryFolder() {
    std::wstring folder(GetTempPathW(0, nullptr) + 1, L'\0');
    folder.resize(GetTempPathW(static_cast<DWORD>(folder.size()), folder.data()));
    return narrow(folder);
}

int serverStarts(const std::string& path) {
    const auto lines = journalLines(path, true);
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.rfind("ServerStarted\t", 0) == 0;
    }));
}

std::vector<std::string> namesIn(const std::string& folder, const std::string& pattern) {
    std::vector<std::string> names;
    const std::string separator = folder.ends_with("\\") ? "" : "\\";
    WIN32_FIND_DATAW data;
    UniqueFindHandle find(FindFirstFileW(extendedPath(folder + separator + pattern).c_str(), &data));
    if (!find)
        return names;
    do {
        const std::wstring_view name(data.cFileName);
        if (name != L"." && name != L"..")
            names.push_back(narrow(name));
    } while (FindNextFileW(find.get(), &data));
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> temporaryFiles() {
    return namesIn(temporaryFolder(), "*.tmp");
}

std::vector<DWORD> serverProcesses() {
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return ids;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        if (_wcsicmp(entry.szExeFile, L"standin-server.exe") == 0)
            ids.push_back(entry.th32ProcessID);
    CloseHandle(snapshot);
    return ids;
}

void endServersStartedSince(const std::vector<DWORD>& before) {
    const auto started = [&] {
        std::vector<DWORD> ids = serverProcesses();
        std::erase_if(ids,
                      [&](DWORD id) { return std::find(before.begin(), before.end(), id) != before.end(); });
        return ids;
    };
    for (int i = 0; i < 60 && !started().empty(); ++i)
        Sleep(50);
    for (DWORD id : started()) {
        UniqueHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
        if (process && TerminateProcess(process.get(), 9))
            WaitForSingleObject(process.get(), 5000);
    }
}

HiddenServerRegistration::HiddenServerRegistration(const std::wstring& kind)
    : key_(L"Software\\Classes\\CLSID\\{48828DB1-DF7B-49BD-A47E-1C4578726CD5}\\" + kind) {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        UniqueHkey key;
        if (RegOpenKeyExW(root, key_.c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
            continue;
        Saved saved{root, {}};
        wchar_t name[256];
        wchar_t value[2048];
        for (DWORD i = 0;; ++i) {
            DWORD nameLength = 256, size = sizeof value - sizeof(wchar_t), type = 0;
            if (RegEnumValueW(key.get(), i, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(value),
                              &size) != ERROR_SUCCESS)
                break;
            if (type == REG_SZ)
                saved.values.emplace_back(std::wstring(name, nameLength),
                                          std::wstring(value, size / sizeof(wchar_t)));
        }
        key.reset();
        RegDeleteTreeW(root, key_.c_str());
        RegDeleteKeyW(root, key_.c_str());
        saved_.push_back(std::move(saved));
    }
}

void HiddenServerRegistration::restore() {
    for (const Saved& saved : saved_) {
        UniqueHkey key;
        RegCreateKeyExW(saved.root, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr);
        for (const auto& [name, value] : saved.values)
            RegSetValueExW(key.get(), name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>(value.size() * sizeof(wchar_t)));
    }
    saved_.clear();
}

void recordReliabilityCase(const std::string& name, const ReliabilityCounts& counts) {
    const char* table = std::getenv("TARNWICK_RELIABILITY_TSV");
    if (table == nullptr || *table == '\0')
        return;
    FILE* file = _wfopen(widen(table).c_str(), L"ab");
    ASSERT_NE(file, nullptr) << table;
    // The test's own name last: the table's script matches the cases with
    // the tests that passed.
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string testName =
        test == nullptr ? "" : std::string(test->test_suite_name()) + "." + test->name();
    std::fprintf(file, "%s\t%d\t%d\t%d\t%d\t%d\t%s\n", name.c_str(), counts.documents, counts.converted,
                 counts.failed, counts.lost, counts.temporaryLeft, testName.c_str());
    std::fclose(file);
}

std::string unixPath(const std::string& path) {
    using UnixName = char*(CDECL*)(LPCWSTR);
    const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* name = unixName ? unixName(widen(path).c_str()) : nullptr;
    if (name == nullptr)
        return {};
    std::string unix = name;
    HeapFree(GetProcessHeap(), 0, name);
    return unix;
}

bool makeUnixLink(const std::string& link, const std::string& target) {
    const std::string parent = unixPath(link.substr(0, link.find_last_of('\\')));
    if (parent.empty())
        return false;
    // Wine starts a Unix program given by its path on drive Z:, and hands
    // back no handle to wait on: the link is waited for instead.
    std::wstring commandLine = L"/bin/ln -s \"" + widen(target) + L"\" \"" +
                               widen(parent + "/" + link.substr(link.find_last_of('\\') + 1)) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(L"Z:\\bin\\ln", commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started))
        return false;
    const UniqueHandle process(started.hProcess), thread(started.hThread);
    for (int i = 0; i < 200; ++i, Sleep(50))
        if (GetFileAttributesW(longForm(widen(link)).c_str()) != INVALID_FILE_ATTRIBUTES)
            return true;
    return false;
}

ArchiveTree makeArchiveTree(const std::string& root) {
    ArchiveTree tree;
    tree.root = root;
    const std::string greek = "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC"; // Ελληνικά
    const std::string chinese = "\xE6\x96\x87\xE4\xBB\xB6";                                       // 文件
    for (const std::string& folder : std::vector<std::string>{
             "", "\\2009", "\\2009\\clients", "\\2009\\clients\\smith " + chinese, "\\.hidden", "\\locked"})
        CreateDirectoryW(longForm(widen(root + folder)).c_str(), nullptr);
    SetFileAttributesW(longForm(widen(root + "\\.hidden")).c_str(), FILE_ATTRIBUTE_HIDDEN);
    const auto put = [&](const std::string& relative, std::vector<std::string>& into) {
        writeBytes(root + "\\" + relative, "text of " + relative);
        into.push_back(relative);
    };
    put("a.wpd", tree.documents);
    put(greek + ".wpd", tree.documents);
    put("2009\\b.WPD", tree.documents);
    put("2009\\clients\\smith " + chinese + "\\letter.wpd", tree.documents);
    put("notes.txt", tree.others);
    put(".hidden\\h.wpd", tree.others);
    put("locked\\l.wpd", tree.others);
    tree.locked = root + "\\locked";
    tree.loop = root + "\\2009\\clients\\up";
    EXPECT_TRUE(makeUnixLink(tree.loop, unixPath(root))) << "a link back up to the root";
    return tree;
}
