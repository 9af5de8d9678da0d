// The file utilities over real files: clsFileSystem on the Win32 file
// services, with the real message boxes answered and counted.
#include "base/error.h"
#include "base/text.h"
#include "control/Command.h"
#include "control/State.h"
#include "core/General.h"
#include "core/Mediator.h"
#include "fakes.h"
#include "files/clsFileSystem.h"
#include "platform/directory_win.h"
#include "platform/errors_win.h"
#include "platform/file_services_win.h"
#include "platform/platform_win.h"
#include "platform/wide_win.h"
#include "standin_test_support.h"
#include "ui_helpers.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

// windows.h maps these names to the system's wide functions; here they are
// clsFileSystem's own.
#undef CopyFile
#undef DeleteFile
#undef MoveFile

namespace {

const std::wstring kErrorCaption = L"Tarnwick";

// The extended-length form of an absolute path, for the test's own calls.
std::wstring longForm(const std::string& path) {
    return L"\\\\?\\" + widen(path);
}

bool exists(const std::string& path) {
    return GetFileAttributesW(longForm(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string userDecimalSeparator() {
    wchar_t separator[8] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) == 0)
        throw std::runtime_error("GetLocaleInfoEx failed");
    return narrow(separator);
}

// The folder of this test program, without a trailing backslash.
std::string testProgramFolder() {
    wchar_t path[4096] = {};
    const DWORD n = GetModuleFileNameW(nullptr, path, 4096);
    std::wstring text(path, n);
    return narrow(text.substr(0, text.find_last_of(L'\\')));
}

// A handle the test holds open, by default sharing reading and writing but
// not deletion.
class OpenedFile {
public:
    explicit OpenedFile(const std::string& path, DWORD sharing = FILE_SHARE_READ | FILE_SHARE_WRITE)
        : handle_(CreateFileW(longForm(path).c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr)) {
        if (handle_ == INVALID_HANDLE_VALUE)
            throw std::runtime_error("cannot open " + path);
    }
    ~OpenedFile() { CloseHandle(handle_); }
    OpenedFile(const OpenedFile&) = delete;
    OpenedFile& operator=(const OpenedFile&) = delete;

private:
    HANDLE handle_;
};

// Sets the user's decimal separator while alive and puts the old one back.
class DecimalSeparator {
public:
    explicit DecimalSeparator(const wchar_t* separator) : old_(widen(userDecimalSeparator())) {
        if (!SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator))
            throw std::runtime_error("SetLocaleInfoW failed");
    }
    ~DecimalSeparator() { SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, old_.c_str()); }
    DecimalSeparator(const DecimalSeparator&) = delete;
    DecimalSeparator& operator=(const DecimalSeparator&) = delete;

private:
    std::wstring old_;
};

struct FileUtilities : ::testing::Test {
    Win32Platform platform;
    Win32FileServices services;
    ScratchFolder scratch;
    clsFileSystem fs{services};

    FileUtilities() {
        General::reset();
        General::install({&platform, nullptr, &services, nullptr});
    }
    ~FileUtilities() override { General::reset(); }

    std::string sized(const std::string& name, std::size_t bytes) {
        return scratch.file(name, std::string(bytes, 'x'));
    }
};

TEST_F(FileUtilities, AttributesAreNamedWhenAloneAndNumberedWhenCombined) {
    const std::string readOnly =
        scratch.file("read-only.txt", "r", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY);
    const std::string archived = scratch.file("archived.txt", "a", FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(fs.GetAttrib(Value{readOnly}), "33");
    EXPECT_EQ(fs.GetAttrib(Value{archived}), "Archive");
    EXPECT_EQ(fs.GetAttrib(Value{scratch.path("missing.txt")}), "Unknown");
    EXPECT_EQ(fs.GetAttrib(Value{scratch.folder()}), "Directory");

    // The setters replace every attribute the file had. (The archive bit is
    // left out: some file systems report it on every file.)
    const DWORD kept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    auto bits = [&] { return GetFileAttributesW(widen(readOnly).c_str()) & kept; };
    fs.SetHidden(readOnly);
    EXPECT_EQ(bits(), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
    fs.SetSystem(readOnly);
    EXPECT_EQ(bits(), static_cast<DWORD>(FILE_ATTRIBUTE_SYSTEM));
    fs.SetReadOnly(readOnly);
    EXPECT_EQ(bits(), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    fs.SetNormal(readOnly);
    EXPECT_EQ(bits(), 0u);
}

TEST_F(FileUtilities, SizesInBytesThenKilobytesWithTheUsersDecimalSeparator) {
    const std::string separator = userDecimalSeparator();
    EXPECT_EQ(fs.GetFileSize(Value{sized("1023.bin", 1023)}), "1023B");
    EXPECT_EQ(fs.GetFileSize(Value{sized("1024.bin", 1024)}), "1KB");
    const std::string kilobytes = sized("1056.bin", 1056);
    EXPECT_EQ(fs.GetFileSize(Value{kilobytes}), "1" + separator + "0312KB");
    EXPECT_EQ(fs.GetFileSize(Value{scratch.path("missing.bin")}), "0B");
    EXPECT_EQ(fs.GetFileSize(Value{scratch.folder()}), "0B");

    // Another separator set by the user is followed at once.
    const std::string other = separator == "," ? "." : ",";
    DecimalSeparator changed(widen(other).c_str());
    ASSERT_EQ(userDecimalSeparator(), other);
    EXPECT_EQ(fs.GetFileSize(Value{kilobytes}), "1" + other + "0312KB");
}

TEST_F(FileUtilities, TemporaryFileIsMadeEmptyInTheTemporaryOrTheGivenFolder) {
    wchar_t temp[MAX_PATH + 1] = {};
    const std::string tempFolder = narrow(std::wstring(temp, GetTempPathW(MAX_PATH + 1, temp)));
    ASSERT_EQ(tempFolder.back(), '\\');

    struct Case {
        std::string prefix, folder, expectedFolder;
    };
    const std::vector<Case> cases{
        {"", "", tempFolder},
        {"wp", scratch.folder(), scratch.folder() + "\\"},
        {"  wp ", " " + scratch.folder() + "\\ ", scratch.folder() + "\\"},
    };
    MessageBoxes boxes;
    for (const auto& c : cases) {
        SCOPED_TRACE("prefix \"" + c.prefix + "\", folder \"" + c.folder + "\"");
        const std::string path = fs.fnGetTempPath(c.prefix, c.folder);
        EXPECT_EQ(path.find('\0'), std::string::npos) << "no filler behind the path";
        ASSERT_EQ(path.rfind(c.expectedFolder, 0), 0u) << path;
        const std::string name = path.substr(c.expectedFolder.size());
        EXPECT_EQ(name.find('\\'), std::string::npos) << path;
        EXPECT_EQ(name.rfind("wp", 0) == 0, !c.prefix.empty()) << name;
        EXPECT_EQ(fs.GetAttrib(Value{path}), "Archive");
        EXPECT_EQ(readBytes(path), "");
        DeleteFileW(widen(path).c_str());
    }
    EXPECT_TRUE(boxes.seen().empty()) << boxes.list();
}

TEST_F(FileUtilities, TemporaryFilesAreMadeInFoldersTooLongForTheSystemsUniqueNames) {
    // The system's unique names refuse folders of more than 246 characters.
    MessageBoxes boxes;
    const std::string given = folderOfLength(scratch, 300);
    const std::string first = fs.fnGetTempPath("", given), second = fs.fnGetTempPath("", given);
    EXPECT_EQ(first.rfind(given + "\\", 0), 0u) << first;
    EXPECT_NE(first, second);
    EXPECT_EQ(readBytes(first) + readBytes(second), "") << "both made, empty";

    const std::string temp = folderOfLength(scratch, 255);
    TemporaryFolderMoved moved(temp);
    const std::string third = fs.fnGetTempPath("", "");
    EXPECT_EQ(third.rfind(temp + "\\", 0), 0u) << third;
    EXPECT_TRUE(fileExists(third));
    EXPECT_TRUE(boxes.seen().empty()) << boxes.list();
}

// File services whose temporary files cannot be made.
class NoTemporaryFiles : public Win32FileServices {
public:
    std::string createTemporaryFile(const std::string&, const std::string&) override {
        throw AppError(75, "Path/File access error", "FileServices");
    }
};

TEST_F(FileUtilities, AnErrorInTheTemporaryFileRoutineIsReportedInSevenLines) {
    NoTemporaryFiles failing;
    MessageBoxes boxes;
    EXPECT_EQ(clsFileSystem(failing).fnGetTempPath("", scratch.folder()), "");
    ASSERT_EQ(boxes.seen().size(), 1u) << boxes.list();
    EXPECT_EQ(boxes.seen()[0].caption, L"You have a Problem!");

    std::vector<std::string> lines;
    const std::string text = narrow(boxes.seen()[0].text);
    std::size_t from = 0;
    for (std::size_t at; (at = text.find("\r\n", from)) != std::string::npos; from = at + 2)
        lines.push_back(text.substr(from, at - from));
    lines.push_back(text.substr(from));
    ASSERT_EQ(lines.size(), 7u) << text;
    EXPECT_EQ(lines[0], "Unexpected Error Returned");
    EXPECT_EQ(lines[1], "At   modGetTempFile  fnGetTempPath");
    EXPECT_EQ(lines[2], "Nmbr 75");
    EXPECT_EQ(lines[3], "Desc Path/File access error");
    EXPECT_EQ(lines[4], "Srce FileServices");
    EXPECT_EQ(lines[5].rfind("Time ", 0), 0u) << lines[5];
    EXPECT_GT(lines[5].size(), std::string("Time ").size()) << "the time itself follows";
    EXPECT_EQ(lines[6], "Path " + testProgramFolder());
}

TEST_F(FileUtilities, DeletingALockedOrReadOnlyFileShowsOneMessageAndKeepsIt) {
    const std::string plain = scratch.file("plain.txt", "p");
    const std::string locked = scratch.file("locked.txt", "l");
    const std::string readOnly = scratch.file("read-only.txt", "r", FILE_ATTRIBUTE_READONLY);
    {
        MessageBoxes boxes;
        fs.DeleteFile(plain);
        EXPECT_TRUE(boxes.seen().empty()) << boxes.list();
        EXPECT_FALSE(exists(plain));
    }
    for (const std::string& path : {locked, readOnly}) {
        SCOPED_TRACE(path);
        MessageBoxes boxes;
        {
            std::optional<OpenedFile> open;
            if (path == locked)
                open.emplace(path);
            fs.DeleteFile(path);
        }
        ASSERT_EQ(boxes.seen().size(), 1u) << boxes.list();
        EXPECT_EQ(boxes.seen()[0].caption, kErrorCaption);
        EXPECT_EQ(boxes.seen()[0].text, L"Error deleting File");
        EXPECT_TRUE(exists(path));
    }
}

// Moves the source to the destination and expects one "Error moving File"
// and the source left as it was.
void expectMoveRefused(clsFileSystem& fs, const std::string& source, const std::string& destination) {
    const std::string before = readBytes(source);
    MessageBoxes boxes;
    fs.MoveFile(source, destination);
    ASSERT_EQ(boxes.seen().size(), 1u) << boxes.list();
    EXPECT_EQ(boxes.seen()[0].caption, kErrorCaption);
    EXPECT_EQ(boxes.seen()[0].text, L"Error moving File");
    EXPECT_EQ(readBytes(source), before);
}

TEST_F(FileUtilities, MovingToAnUnwritableDestinationShowsOneMessageAndKeepsTheSource) {
    const std::string source = scratch.file("source.txt", "the source");
    {
        SCOPED_TRACE("into a folder that does not exist");
        expectMoveRefused(fs, source, scratch.path("no such folder\\moved.txt"));
    }
    {
        SCOPED_TRACE("onto a file another program holds open without sharing writes");
        const std::string held = scratch.file("held.txt", "kept");
        OpenedFile open(held, FILE_SHARE_READ);
        expectMoveRefused(fs, source, held);
        EXPECT_EQ(readBytes(held), "kept");
    }
    {
        // The copy is made, but the source cannot go: both stay, and the
        // user hears of it once.
        SCOPED_TRACE("from a source that cannot be deleted");
        const std::string copied = scratch.path("copied.txt");
        OpenedFile open(source);
        expectMoveRefused(fs, source, copied);
        EXPECT_EQ(readBytes(copied), "the source");
    }

    MessageBoxes boxes;
    const std::string moved = scratch.path("moved.txt");
    fs.MoveFile(source, moved);
    EXPECT_TRUE(boxes.seen().empty()) << boxes.list();
    EXPECT_FALSE(exists(source));
    EXPECT_EQ(readBytes(moved), "the source");
}

TEST_F(FileUtilities, MovingOntoAReadOnlyFileShowsOneMessageAndKeepsBoth) {
    const std::string source = scratch.file("source.txt", "the source");
    const std::string guarded = scratch.file("guarded.txt", "kept", FILE_ATTRIBUTE_READONLY);
    {
        // Where the system lets this process write read-only files (Wine run
        // by the superuser), no program could be refused here.
        HANDLE probe = CreateFileW(longForm(guarded).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
        if (probe != INVALID_HANDLE_VALUE) {
            CloseHandle(probe);
            GTEST_SKIP() << "this system lets the process write a read-only file";
        }
    }
    expectMoveRefused(fs, source, guarded);
    EXPECT_EQ(readBytes(guarded), "kept");
}

TEST_F(FileUtilities, FileRealMatchesTheFoundNameSoAFullPathIsNeverReal) {
    const std::string path = scratch.file("real.txt", "x");
    scratch.file("hidden.txt", "h", FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(fs.FileReal(Value{path}));
    EXPECT_TRUE(fs.FileExist(path));

    // A bare name found in the current folder is real; a hidden one is not.
    wchar_t previous[4096] = {};
    GetCurrentDirectoryW(4096, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(widen(scratch.folder()).c_str()));
    const bool bare = fs.FileReal(Value{std::string("real.txt")});
    const bool hidden = fs.FileReal(Value{std::string("hidden.txt")});
    SetCurrentDirectoryW(previous);
    EXPECT_TRUE(bare);
    EXPECT_FALSE(hidden);
}

TEST_F(FileUtilities, FileDateIsTheLastChangeInTheUsersFormat) {
    const std::string path = scratch.file("dated.txt", "d");
    EXPECT_FALSE(fs.GetFileDate(path).empty());
    EXPECT_EQ(fs.GetFileDate(scratch.path("missing.txt")), "");

    // A known local time, and local midnight, which shows the date alone.
    auto setLocal = [&](WORD hour, WORD minute, WORD second) {
        const SYSTEMTIME local{2021, 3, 0, 4, hour, minute, second, 0};
        FILETIME localTime, utc;
        SystemTimeToFileTime(&local, &localTime);
        LocalFileTimeToFileTime(&localTime, &utc);
        HANDLE h =
            CreateFileW(widen(path).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        EXPECT_TRUE(SetFileTime(h, nullptr, nullptr, &utc));
        CloseHandle(h);
    };
    const SYSTEMTIME day{2021, 3, 0, 4, 5, 6, 7, 0};
    wchar_t date[128] = {}, time[128] = {};
    GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &day, nullptr, date, 128, nullptr);
    GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &day, nullptr, time, 128);
    setLocal(5, 6, 7);
    EXPECT_EQ(fs.GetFileDate(path), narrow(std::wstring(date) + L" " + time));
    setLocal(0, 0, 0);
    EXPECT_EQ(fs.GetFileDate(path), narrow(date));
}

TEST_F(FileUtilities, PathsLongerThanTheOldLimitWork) {
    std::string folder = scratch.folder();
    for (char part : {'a', 'b', 'c'}) {
        folder += "\\" + std::string(90, part);
        ASSERT_TRUE(CreateDirectoryW(longForm(folder).c_str(), nullptr)) << GetLastError();
    }
    const std::string path = folder + "\\long.txt";
    ASSERT_GT(path.size(), 260u);
    writeBytes(path, std::string(2048, 'L'));

    MessageBoxes boxes;
    EXPECT_TRUE(fs.FileExist(path));
    EXPECT_EQ(fs.GetFileSize(Value{path}), "2KB");
    EXPECT_EQ(fs.GetAttrib(Value{path}), "Archive");
    EXPECT_FALSE(fs.GetFileDate(path).empty());
    const std::string copy = folder + "\\copy.txt";
    fs.CopyFile(path, copy);
    EXPECT_EQ(readBytes(copy), std::string(2048, 'L'));
    fs.DeleteFile(path);
    EXPECT_FALSE(exists(path));
    EXPECT_TRUE(boxes.seen().empty()) << boxes.list();
}

TEST_F(FileUtilities, NamesInOtherScriptsWork) {
    const std::vector<std::string> names{
        "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC.wpd", // Greek
        "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82.wpd",                 // Cyrillic
        "\xE4\xB8\xAD\xE6\x96\x87\xE6\x96\x87\xE6\xA1\xA3.wpd",                 // Chinese
        "\xF0\x9F\x93\x84 note \xF0\x9F\x98\x80.wpd",                           // emoji outside the BMP
    };
    MessageBoxes boxes;
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const std::string path = scratch.file(name, std::string(1056, 'u'));
        EXPECT_TRUE(fs.FileExist(path));
        EXPECT_EQ(fs.GetFileSize(Value{path}), "1" + userDecimalSeparator() + "0312KB");
        EXPECT_EQ(fs.GetAttrib(Value{path}), "Archive");
        EXPECT_FALSE(fs.GetFileDate(path).empty());
        EXPECT_EQ(fs.GetFileName(path), name);

        const std::string folder = scratch.path("in " + name);
        fs.MakeDIR(folder);
        const std::string temp = fs.fnGetTempPath("", folder);
        EXPECT_EQ(temp.rfind(folder + "\\", 0), 0u) << temp;
        EXPECT_TRUE(exists(temp));
        fs.DeleteFile(temp);

        const std::string moved = folder + "\\" + name;
        fs.MoveFile(path, moved);
        EXPECT_FALSE(exists(path));
        EXPECT_EQ(readBytes(moved), std::string(1056, 'u'));
        fs.DeleteFile(moved);
        fs.RemoveDIR(folder);
        EXPECT_FALSE(exists(folder));
    }
    EXPECT_TRUE(boxes.seen().empty()) << boxes.list();
}

// A folder's listing that breaks off part-way (a share that drops while a
// large folder is read) is a failure, not a shorter folder: a batch of it
// starts nothing and says which folder and why.
TEST(DirectoryListing, AListingThatBreaksOffPartWayIsAFailureAndStartsNoBatch) {
    ScratchFolder scratch;
    const std::string folder = scratch.path("docs");
    CreateDirectoryW(widen(folder).c_str(), nullptr);
    for (const char* name : {"a.wpd", "b.wpd", "c.wpd"})
        scratch.file(std::string("docs\\") + name, "text");
    Win32DirectoryLister whole;
    EXPECT_EQ(whole.list(folder).size(), 3u);
    int more = 0;
    Win32DirectoryLister dropping({[](const wchar_t* pattern, WIN32_FIND_DATAW* found) {
                                       return FindFirstFileExW(pattern, FindExInfoBasic, found,
                                                               FindExSearchNameMatch, nullptr, 0);
                                   },
                                   [&more](HANDLE search, WIN32_FIND_DATAW* found) {
                                       if (++more < 3)
                                           return FindNextFileW(search, found);
                                       SetLastError(ERROR_NETNAME_DELETED);
                                       return FALSE;
                                   }});
    EXPECT_EQ(errorOf([&] { dropping.list(folder); }).description(), systemMessage(ERROR_NETNAME_DELETED));

    ProgramFixture program;
    program.windows.main.lister.real = &dropping;
    auto wordPerfect = std::make_shared<RecordingObject>();
    program.platform.objectFactory = [&](const std::string&) { return wordPerfect; };
    General::Main();
    more = 0;
    General::coordinator().startBatch(folder, scratch.path("out"), false);
    ASSERT_EQ(program.platform.messages.size(), 1u);
    EXPECT_EQ(program.platform.messages[0].text,
              unreadableSourceText(folder, systemMessage(ERROR_NETNAME_DELETED)));
    EXPECT_TRUE(wordPerfect->log.empty()) << "no document of a part of the folder was opened";
}

// Results left under their temporary names by a run that broke off go when
// they are old and nobody holds them open; a young one (another PC may be
// saving it now), a held one and any other name stay.
TEST_F(FileUtilities, LeftoverResultsAreRemovedWhenOldAndFreeOnly) {
    const auto aged = [&](const std::string& name, int hours) {
        const std::string path = scratch.file(name, "half a result");
        ULARGE_INTEGER when{};
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        when.LowPart = now.dwLowDateTime;
        when.HighPart = now.dwHighDateTime;
        when.QuadPart -= static_cast<ULONGLONG>(hours) * 3600 * 10'000'000;
        const FILETIME written{when.LowPart, when.HighPart};
        const UniqueHandle file(CreateFileW(longForm(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ,
                                            nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_TRUE(SetFileTime(file.get(), nullptr, nullptr, &written)) << name;
        return path;
    };
    aged("~tarnwick-0000ABCD.tmp", 2);
    aged("~tarnwick-ABCDEF01.TMP", 25);
    aged("~tarnwick-00000001.tmp", 0);
    const std::string held = aged("~tarnwick-00000002.tmp", 2);
    aged("~tarnwick-0000000G.tmp", 2);
    aged("~tarnwick-1.tmp", 2);
    aged("letter.wpd", 2);
    const OpenedFile holder(held);
    EXPECT_EQ(services.removeLeftoverTemporaries(scratch.folder(), 3600), 2u);
    EXPECT_EQ(namesIn(scratch.folder()),
              (std::vector<std::string>{"letter.wpd", "~tarnwick-00000001.tmp", "~tarnwick-00000002.tmp",
                                        "~tarnwick-0000000G.tmp", "~tarnwick-1.tmp"}));
}

// A folder is known by what it is, whatever its spelling; a file or a
// missing path is no folder.
TEST_F(FileUtilities, AFoldersIdentityIsTheSameForEverySpellingOfIt) {
    const std::string folder = scratch.path("Long Folder Name");
    CreateDirectoryW(longForm(folder).c_str(), nullptr);
    std::wstring shortName(MAX_PATH, L'\0');
    shortName.resize(GetShortPathNameW(widen(folder).c_str(), shortName.data(), MAX_PATH));
    const auto identity = folderIdentity(folder);
    ASSERT_TRUE(identity);
    for (const std::string& spelling :
         {"\\\\?\\" + folder, folder + "\\", narrow(shortName), lowerCase(folder)})
        EXPECT_EQ(folderIdentity(spelling), identity) << spelling;
    EXPECT_NE(folderIdentity(scratch.folder()), identity);
    EXPECT_FALSE(folderIdentity(scratch.file("a file")));
    EXPECT_FALSE(folderIdentity(scratch.path("missing")));
}

} // namespace
