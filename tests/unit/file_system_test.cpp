// clsFileSystem: the text operations exactly, and the file operations'
// results and messages over in-memory files.
#include "base/folders.h"
#include "base/text.h"
#include "fakes.h"
#include "files/clsFileSystem.h"

#include <gtest/gtest.h>

namespace {

TEST(PathText, ExtensionByTheLastDotWithinFiveCharacters) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"report.WPD", "WPD"},
        {"report.docx", "docx"},
        {"report.htmlx", "Unknown"},
        {"README", "Unknown"},
        {"", "Unknown"},
        {"a.tar.gz", "gz"},
        {"C:\\a.b\\c", "b\\c"},
        {"x.ab.", "ab."},
        {".", "."},
        {".x", "x"},
        {"C:\\d\\f.a", "a"},
        {"C:\\d\\\xCE\xB1.\xCE\xB2\xCE\xB3", "\xCE\xB2\xCE\xB3"},
        {"C:\\d\\e.\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80",
         "\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80"},
    };
    clsFileSystem fs;
    for (const auto& [path, extension] : cases) {
        EXPECT_EQ(FileExtensionText(path), extension) << path;
        EXPECT_EQ(fs.GetFileExtension(path), extension) << path;
    }
}

TEST(PathText, FolderPartUpToTheLastBackslash) {
    clsFileSystem fs;
    EXPECT_EQ(fs.GetPath("C:\\Docs\\a.wpd"), "C:\\Docs\\");
    EXPECT_EQ(fs.GetPath("C:\\Docs\\"), "C:\\Docs\\");
    EXPECT_EQ(fs.GetPath("a.wpd"), "\\");
    EXPECT_EQ(fs.GetPath(""), "\\");
    EXPECT_EQ(fs.GetPath("C:\\a.wpd"), "C:\\");
    EXPECT_EQ(fs.GetPath("\\a"), "\\");
}

TEST(PathText, FileNameAfterTheLastBackslashBeyondTheFirstCharacter) {
    clsFileSystem fs;
    EXPECT_EQ(fs.GetFileName("C:\\Docs\\a.wpd"), "a.wpd");
    EXPECT_EQ(fs.GetFileName("C:\\Docs\\"), "");
    EXPECT_EQ(fs.GetFileName("C:\\a.wpd"), "a.wpd");
    EXPECT_EQ(fs.GetFileName("\\a.wpd"), "\\a.wpd"); // only backslash is first: the whole text
    EXPECT_EQ(fs.GetFileName("a.wpd"), "a.wpd");
    EXPECT_EQ(fs.GetFileName("C:\\\xD0\x96\\\xCE\xB1 b.wpd"), "\xCE\xB1 b.wpd");
}

TEST(PathText, ParentFoldersUpToTheRoot) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"C:\\docs\\a", "C:\\docs"},
        {"C:\\docs\\", "C:\\"},
        {"C:\\docs", "C:\\"},
        {"C:\\", "C:\\"},
        {"\\\\?\\C:\\docs", "\\\\?\\C:\\"},
        {"\\\\?\\C:\\", "\\\\?\\C:\\"},
        {"\\\\srv\\share\\d", "\\\\srv\\share"},
        {"\\\\srv\\share", "\\\\srv\\share"},
        {"\\\\?\\UNC\\srv\\share\\d", "\\\\?\\UNC\\srv\\share"},
    };
    for (const auto& [path, parent] : cases)
        EXPECT_EQ(parentFolder(path), parent) << path;
}

// Folders are told by what they are: the identity stands for the file
// system's answer, here the lower-cased path with aliases resolved.
TEST(PathText, TheTargetIsTheSourceInsideItOrApartByIdentity) {
    const std::map<std::string, std::uint64_t> folders = {{"c:\\src", 1},    {"\\\\?\\c:\\src", 1},
                                                          {"z:\\mapped", 1}, {"c:\\src\\sub", 2},
                                                          {"c:\\", 3},       {"c:\\out", 4}};
    const IdentityOf identity = [&](const std::string& path) -> std::optional<FolderIdentity> {
        const auto it = folders.find(lowerCase(path));
        return it == folders.end() ? std::nullopt : std::optional(FolderIdentity{7, it->second});
    };
    const std::vector<std::pair<std::string, FolderRelation>> cases = {
        {"C:\\SRC", FolderRelation::Same},
        {"\\\\?\\C:\\src", FolderRelation::Same},
        {"Z:\\mapped", FolderRelation::Same},
        {"C:\\src\\sub", FolderRelation::Inside},
        {"C:\\src\\new\\deeper", FolderRelation::Inside},
        {"Z:\\mapped\\new", FolderRelation::Inside},
        {"C:\\out", FolderRelation::Apart},
        {"C:\\new", FolderRelation::Apart},
        {"C:\\", FolderRelation::Apart},
    };
    for (const auto& [target, relation] : cases)
        EXPECT_EQ(folderRelation(target, "C:\\src", identity), relation) << target;
}

TEST(PathText, BaseNameWithAndWithoutTheFolder) {
    clsFileSystem fs;
    EXPECT_EQ(fs.GetFileBaseName("C:\\Docs\\report.final.wpd", false), "report.final");
    EXPECT_EQ(fs.GetFileBaseName("C:\\Docs\\report.final.wpd", true), "C:\\Docs\\report.final");
    EXPECT_EQ(fs.GetFileBaseName("C:\\my.dir\\readme", false), "readme");
    EXPECT_EQ(fs.GetFileBaseName("C:\\my.dir\\readme", true), "C:\\my.dir\\readme");
    EXPECT_EQ(fs.GetFileBaseName(".profile", false), ".profile");
    EXPECT_EQ(fs.GetFileBaseName("C:report.wpd", false), "report");
    EXPECT_EQ(fs.GetFileBaseName("", false), "");
}

TEST(FileSize, BytesBelowOneKilobyteAndKilobytesToFourPlacesHalfEven) {
    EXPECT_EQ(FormatFileSize(0, "."), "0B");
    EXPECT_EQ(FormatFileSize(512, "."), "512B");
    EXPECT_EQ(FormatFileSize(1023, "."), "1023B");
    EXPECT_EQ(FormatFileSize(1024, "."), "1KB");
    EXPECT_EQ(FormatFileSize(1025, "."), "1.001KB");
    EXPECT_EQ(FormatFileSize(1536, ","), "1,5KB");
    EXPECT_EQ(FormatFileSize(2048, "."), "2KB");
    EXPECT_EQ(FormatFileSize(1056, "."), "1.0312KB"); // 1.03125: the half goes to the even 2
    EXPECT_EQ(FormatFileSize(1120, "."), "1.0938KB"); // 1.09375: the half goes to the even 8
    EXPECT_EQ(FormatFileSize(5 * 1024 * 1024, "."), "5120KB");
    EXPECT_EQ(FormatFileSize(18446744073709551615ull, "."), "18014398509481983.999KB");
}

struct FileOperations : ::testing::Test, ProgramFixture {
    clsFileSystem fs;
    void addFile(const std::string& path, const std::string& content = "", std::uint32_t attributes = 32) {
        files.files[path] = {content, attributes};
    }
    std::vector<std::string> messageTexts() {
        std::vector<std::string> out;
        for (auto& m : platform.messages)
            out.push_back(m.text);
        return out;
    }
};

TEST_F(FileOperations, QueriesAnswerFixedValuesWhenTheyCannotRead) {
    addFile("C:\\Temp\\a.wpd", std::string(1056, 'x'));
    addFile("C:\\Temp\\ro.wpd", "", 33);
    EXPECT_EQ(fs.GetFileSize(Value{std::string("C:\\Temp\\a.wpd")}), "1.0312KB");
    EXPECT_EQ(fs.GetFileSize(Value{std::string("C:\\Temp\\missing")}), "0B");
    EXPECT_EQ(fs.GetAttrib(Value{std::string("C:\\Temp\\a.wpd")}), "Archive");
    EXPECT_EQ(fs.GetAttrib(Value{std::string("C:\\Temp\\ro.wpd")}), "33");
    EXPECT_EQ(fs.GetAttrib(Value{std::string("C:\\Temp")}), "Directory");
    EXPECT_EQ(fs.GetAttrib(Value{std::string("C:\\missing")}), "Unknown");
    EXPECT_EQ(fs.GetFileDate("C:\\missing"), "");
    EXPECT_TRUE(fs.FileExist("C:\\Temp"));
    EXPECT_FALSE(fs.FileExist(""));
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(FileOperations, AttributeSettersReplaceAllBits) {
    addFile("C:\\Temp\\a.wpd", "", 33);
    fs.SetHidden("C:\\Temp\\a.wpd");
    EXPECT_EQ(fs.GetAttrib(Value{std::string("C:\\Temp\\a.wpd")}), "Hidden");
    fs.SetSystem("C:\\Temp\\a.wpd");
    EXPECT_EQ(fs.GetAttrib(Value{std::string("C:\\Temp\\a.wpd")}), "System");
    fs.SetReadOnly("C:\\Temp\\a.wpd");
    EXPECT_EQ(fs.GetAttrib(Value{std::string("C:\\Temp\\a.wpd")}), "ReadOnly");
    fs.SetNormal("C:\\Temp\\a.wpd");
    EXPECT_EQ(fs.GetAttrib(Value{std::string("C:\\Temp\\a.wpd")}), "Normal");
    fs.SetNormal("C:\\missing"); // ignored, no message
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(FileOperations, FileRealComparesTheFoundNameWithThePath) {
    addFile("a.wpd");
    addFile("C:\\Temp\\a.wpd");
    addFile("h.wpd", "", 2);
    EXPECT_TRUE(fs.FileReal(Value{std::string("a.wpd")}));
    EXPECT_FALSE(fs.FileReal(Value{std::string("C:\\Temp\\a.wpd")})); // a full path never matches
    EXPECT_FALSE(fs.FileReal(Value{std::string("h.wpd")}));
    // Save of a full path therefore asks nothing.
    fs.Save("C:\\Temp\\a.wpd");
    EXPECT_TRUE(platform.messages.empty());
    platform.answer = MsgAnswer::No;
    fs.Save("a.wpd");
    ASSERT_EQ(messageTexts(), std::vector<std::string>{"Overwrite File?"});
    EXPECT_EQ(platform.messages[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(platform.messages[0].caption, "Tarnwick");
    EXPECT_TRUE(files.files.count("a.wpd"));
    platform.answer = MsgAnswer::Yes;
    fs.Save("a.wpd");
    EXPECT_FALSE(files.files.count("a.wpd"));
}

TEST_F(FileOperations, ChangingOperationsShowOneMessageOnFailureAndReturn) {
    addFile("C:\\Temp\\ro.wpd", "", 1);
    addFile("C:\\Temp\\src.wpd", "data");
    fs.DeleteFile("C:\\Temp\\ro.wpd");
    fs.CopyFile("C:\\Temp\\missing", "C:\\Temp\\x");
    fs.MoveFile("C:\\Temp\\src.wpd", "C:\\NoFolder\\dst.wpd");
    fs.MakeDIR("C:\\Temp");
    fs.RemoveDIR("C:\\NoFolder");
    EXPECT_EQ(messageTexts(),
              (std::vector<std::string>{"Error deleting File", "Error copying File", "Error moving File",
                                        "Error creating Directory", "Error removing Directory"}));
    for (const auto& m : platform.messages) {
        EXPECT_EQ(m.caption, "Tarnwick");
        EXPECT_EQ(m.icon, MsgIcon::None);
        EXPECT_EQ(m.buttons, MsgButtons::Ok);
    }
    EXPECT_EQ(files.files.at("C:\\Temp\\src.wpd").content, "data"); // the source stays
    platform.messages.clear();
    fs.MoveFile("C:\\Temp\\src.wpd", "C:\\Temp\\dst.wpd");
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_FALSE(files.files.count("C:\\Temp\\src.wpd"));
    EXPECT_EQ(files.files.at("C:\\Temp\\dst.wpd").content, "data");
}

TEST_F(FileOperations, ScratchFileInTheTemporaryOrAGivenFolder) {
    const std::string inTemp = fs.fnGetTempPath("", "");
    EXPECT_EQ(inTemp.rfind("C:\\users\\tester\\Temp\\", 0), 0u);
    EXPECT_EQ(inTemp.find('\0'), std::string::npos);
    EXPECT_TRUE(files.files.count(inTemp));
    EXPECT_EQ(fs.fnGetTempPath(" ab ", " C:\\Work ").rfind("C:\\Work\\ab", 0), 0u);
    EXPECT_EQ(fs.fnGetTempPath("", "C:\\Work\\").rfind("C:\\Work\\", 0), 0u);
    EXPECT_EQ(fs.fnGetTempPath("", "X").rfind("C:\\users\\tester\\Temp\\", 0),
              0u); // one character: the temp folder
    files.tempFails = true;
    EXPECT_EQ(fs.fnGetTempPath("", ""), "");
    EXPECT_TRUE(platform.messages.empty()); // no file is not an error report
}

TEST_F(FileOperations, AnErrorInsideTheScratchRoutineShowsTheSevenLineReport) {
    struct Throwing : FakeFiles {
        std::string createTemporaryFile(const std::string&, const std::string&) override {
            throw AppError(52, "Bad file name or number", "kernel32");
        }
    } throwing;
    clsFileSystem failing(throwing);
    EXPECT_EQ(failing.fnGetTempPath("", ""), "");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].caption, "You have a Problem!");
    EXPECT_EQ(platform.messages[0].icon, MsgIcon::Critical);
    EXPECT_EQ(platform.messages[0].text, "Unexpected Error Returned\r\n"
                                         "At   modGetTempFile  fnGetTempPath\r\n"
                                         "Nmbr 52\r\n"
                                         "Desc Bad file name or number\r\n"
                                         "Srce kernel32\r\n"
                                         "Time 12/7/2026 5:09:00 AM\r\n"
                                         "Path C:\\Program Files\\Tarnwick");
}

} // namespace
