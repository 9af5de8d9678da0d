// The console program's portable parts: its command line and the checks of
// its paths, the report and its reading for a resumed run, the lines it
// prints, the stop request, and what it gives the core instead of windows.
#include "base/text.h"
#include "console/batch_run.h"
#include "console/command_line.h"
#include "console/console_ports.h"
#include "console/console_text.h"
#include "console/console_views.h"
#include "console/listing.h"
#include "console/resume.h"
#include "console/stop_request.h"
#include "fakes.h"

#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;
const std::string kGreek = "\xCE\xAD\xCE\xB3\xCE\xB3\xCF\x81\xCE\xB1\xCF\x86\xCE\xB1"; // έγγραφα
const std::string kChinese = "\xE6\x96\x87\xE4\xBB\xB6";                               // 文件

CommandLine parse(const Strings& arguments) {
    return parseCommandLine(arguments, "C:\\Work");
}

TEST(ConsoleCommandLine, PathsMadeAbsoluteAgainstTheCurrentFolder) {
    const std::vector<std::array<std::string, 3>> cases = {
        {"docs", "C:\\Work", "C:\\Work\\docs"},
        {"..\\docs\\", "C:\\Work\\sub", "C:\\Work\\docs"},
        {"./a//b/", "C:\\Work", "C:\\Work\\a\\b"},
        {"D:\\x\\..\\y\\.", "C:\\Work", "D:\\y"},
        {"..\\..\\..", "C:\\a", "C:\\"},
        {"C:/", "C:\\Work", "C:\\"},
        {"\\top", "C:\\Work", "C:\\top"},
        {"\\top", "\\\\srv\\share\\w", "\\\\srv\\share\\top"},
        {"\\\\srv\\share\\a\\..\\b", "C:\\Work", "\\\\srv\\share\\b"},
        {"c:rel", "C:\\Work", "C:\\Work\\rel"},
        {"E:rel", "C:\\Work", "E:\\rel"},
        {"\\\\?\\C:\\x\\..", "C:\\Work", "\\\\?\\C:\\x\\.."},
        {kGreek + "\\" + kChinese, "C:\\" + kGreek, "C:\\" + kGreek + "\\" + kGreek + "\\" + kChinese},
    };
    for (const auto& [given, current, expected] : cases)
        EXPECT_EQ(absolutePath(given, current), expected) << given << " in " << current;
}

TEST(ConsoleCommandLine, SwitchesInAnyCaseWithSlashOrDashAndAbsolutePaths) {
    const CommandLine line = parse({"-MACRO", "m.wcm", "src", "/Extensions", " .DOC, *.wpd ,,Wp5 ", "D:\\out",
                                    "/report", "r.csv", "-ReSuMe", "..\\old.csv"});
    ASSERT_EQ(line.kind, CommandLine::Kind::Batch) << line.error;
    const BatchArguments& a = line.arguments;
    EXPECT_EQ(a.source, "C:\\Work\\src");
    EXPECT_EQ(a.target, "D:\\out");
    EXPECT_EQ(a.macro, "C:\\Work\\m.wcm");
    EXPECT_EQ(a.extensions, (Strings{"DOC", "wpd", "Wp5"}));
    EXPECT_EQ(a.report, "C:\\Work\\r.csv");
    EXPECT_EQ(a.resume, "C:\\old.csv");

    EXPECT_EQ(parse({"a", "b", "/timeout", "86400"}).arguments.timeoutSeconds, 86400);
    const CommandLine plain = parse({"a", "b"});
    ASSERT_EQ(plain.kind, CommandLine::Kind::Batch);
    EXPECT_EQ(plain.arguments.extensions, Strings{"wpd"});
    EXPECT_FALSE(plain.arguments.macro || plain.arguments.report || plain.arguments.resume ||
                 plain.arguments.timeoutSeconds);
}

TEST(ConsoleCommandLine, UsageWhereverTheQuestionMarkStands) {
    for (const Strings& arguments : {Strings{"/?"}, Strings{"a", "b", "-?"}, Strings{"/bogus", "/?"}})
        EXPECT_EQ(parse(arguments).kind, CommandLine::Kind::Usage) << arguments.size();
}

TEST(ConsoleCommandLine, UsageFitsAConsoleOfEightyColumns) {
    const std::string usage = usageText() + "\n";
    for (std::size_t start = 0, end; (end = usage.find('\n', start)) != std::string::npos; start = end + 1)
        EXPECT_LT(end - start, 80u) << usage.substr(start, end - start);
}

TEST(ConsoleCommandLine, OneLineReasonsForBadArguments) {
    const std::string hint = " (tarnwick-batch /? shows the usage)";
    const std::vector<std::pair<Strings, std::string>> cases = {
        {{}, "The source and the target folder are missing" + hint},
        {{"a"}, "The target folder is missing" + hint},
        {{"", "b"}, "The source folder is missing" + hint},
        {{"a", "b", "c"}, "Unexpected argument \"c\"" + hint},
        {{"C:\\my docs\" D:\\out"},
         "The argument C:\\my docs\" D:\\out holds a quotation mark: write a quoted "
         "folder without its last backslash, as \"C:\\docs\""},
        {{"a", "b", "/fast"}, "Unknown switch /fast" + hint},
        {{"a", "b", "/macro"}, "/macro needs a macro file (.wcm)" + hint},
        {{"a", "b", "/report", "-resume", "x.csv"}, "/report needs the report file to write" + hint},
        {{"a", "b", "/macro", "x.wcm", "-Macro", "y.wcm"}, "-Macro is given twice" + hint},
        {{"a", "b", "/extensions", " , ."}, "/extensions names no extension" + hint},
        {{"a", "b", "/extensions", "wpd,*"},
         "/extensions: \"*\" is not an extension; give extensions such as wpd,doc"},
        {{"a", "b", "/timeout", "0"}, "/timeout: \"0\" is not a number of seconds from 1 to 86400"},
        {{"a", "b", "/timeout", "86401"}, "/timeout: \"86401\" is not a number of seconds from 1 to 86400"},
        {{"a", "b", "/timeout", "5s"}, "/timeout: \"5s\" is not a number of seconds from 1 to 86400"},
    };
    for (const auto& [arguments, reason] : cases) {
        const CommandLine line = parse(arguments);
        EXPECT_EQ(line.kind, CommandLine::Kind::Error) << reason;
        EXPECT_EQ(line.error, reason);
    }
}

class FakeProbe : public PathProbe {
public:
    std::map<std::string, PathKind> kinds{{"C:\\", PathKind::Folder},
                                          {"C:\\src", PathKind::Folder},
                                          {"C:\\out", PathKind::Folder},
                                          {"C:\\m.WCM", PathKind::File}};
    std::map<std::string, std::string> problems;
    std::string currentFolder() override { return "C:\\"; }
    PathKind kind(const std::string& path) override {
        for (const auto& [known, kind] : kinds)
            if (lowerCase(known) == lowerCase(path))
                return kind;
        return PathKind::Missing;
    }
    std::string listingProblem(const std::string& folder) override { return problems[folder]; }
    // Folders are told apart by their lower-cased path without a literal
    // prefix, or by the folder an alias stands for (a mapped drive, a share).
    std::map<std::string, std::string> aliases;
    std::optional<FolderIdentity> identity(const std::string& path) override {
        if (kind(path) != PathKind::Folder)
            return std::nullopt;
        std::string folder = aliases.count(path) ? aliases[path] : path;
        if (folder.rfind("\\\\?\\", 0) == 0)
            folder.erase(0, 4);
        return FolderIdentity{1, std::hash<std::string>{}(lowerCase(folder))};
    }
    // Files by path: their size, when they were written, whether they can be
    // read now; names the code page cannot hold are those with a byte
    // beyond ASCII.
    struct File {
        std::uint64_t size = 10;
        std::uint64_t written = 1;
        std::string readProblem;
    };
    std::map<std::string, File> files;
    std::optional<std::uint64_t> size(const std::string& path) override {
        return files.count(path) ? std::optional(files[path].size) : std::nullopt;
    }
    std::optional<std::uint64_t> lastWritten(const std::string& path) override {
        return files.count(path) ? std::optional(files[path].written) : std::nullopt;
    }
    std::string readProblem(const std::string& path) override {
        return files.count(path) ? files[path].readProblem : "File not found";
    }
    bool fitsCodePage(const std::string& name) override {
        return std::all_of(name.begin(), name.end(),
                           [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    }
    std::string upperCase(const std::string& text) override {
        std::string upper = text;
        std::transform(upper.begin(), upper.end(), upper.begin(),
                       [](unsigned char c) { return std::toupper(c); });
        return upper;
    }
};

TEST(ConsoleCommandLine, FoldersAndMacroCheckedWithOneLineReasons) {
    const std::string notMacro = ": Not a valid Macro. Please select a WordPerfect macro";
    struct Case {
        BatchArguments arguments;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {{"C:\\src", "C:\\out", "C:\\m.WCM"}, ""},
        {{"C:\\src", "C:\\new"}, ""},
        {{"C:\\none", "C:\\out"}, "The source folder C:\\none does not exist"},
        {{"C:\\m.WCM", "C:\\out"}, "The source C:\\m.WCM is a file, not a folder"},
        {{"C:\\locked", "C:\\out"}, "The source folder C:\\locked cannot be read: Access denied"},
        {{"C:\\src", "C:\\m.WCM"}, "The target C:\\m.WCM is a file, not a folder"},
        {{"C:\\src", "C:\\none\\new"},
         "The target folder C:\\none\\new cannot be made: its parent folder C:\\none does not exist"},
        {{"C:\\src", "C:\\SRC"},
         "The target folder is the source folder C:\\src: the results would replace the "
         "documents"},
        {{"C:\\src", "\\\\?\\C:\\src"},
         "The target folder is the source folder C:\\src: the results would replace the documents"},
        {{"C:\\src", "Z:\\mapped"},
         "The target folder is the source folder C:\\src: the results would replace the documents"},
        {{"C:\\src", "C:\\src\\new"}, ""},
        {{"C:\\src",
          "C:\\src\\new",
          std::nullopt,
          {},
          std::nullopt,
          std::nullopt,
          std::nullopt,
          std::nullopt,
          true},
         "The target folder is inside the source folder; choose one outside it"},
        {{"C:\\src", "C:\\out", "C:\\gone.wcm"}, "C:\\gone.wcm" + notMacro},
        {{"C:\\src", "C:\\out", "C:\\src"}, "C:\\src" + notMacro},
        {{"C:\\src", "C:\\out", "C:\\notes.txt"}, "C:\\notes.txt" + notMacro},
    };
    FakeProbe probe;
    probe.kinds["C:\\locked"] = PathKind::Folder;
    probe.problems["C:\\locked"] = "Access denied";
    probe.kinds["C:\\notes.txt"] = PathKind::File;
    probe.kinds["\\\\?\\C:\\src"] = PathKind::Folder;
    probe.kinds["Z:\\mapped"] = PathKind::Folder;
    probe.aliases["Z:\\mapped"] = "C:\\src";
    for (const Case& c : cases)
        EXPECT_EQ(checkArguments(c.arguments, probe), c.reason)
            << c.arguments.source << " " << c.arguments.target;
}

class FakeReportFile : public ReportFile {
public:
    explicit FakeReportFile(Strings& appended) : appended_(appended) {}
    void restart() override { appended_.emplace_back("<emptied>"); }
    void append(std::string_view bytes) override { appended_.emplace_back(bytes); }

private:
    Strings& appended_;
};

TEST(ConsoleReport, BomHeaderAndOneRfc4180RowPerAppend) {
    Strings appended;
    BatchReport report(std::make_unique<FakeReportFile>(appended));
    EXPECT_TRUE(appended.empty()) << "nothing before the run begins";
    report.begin();
    report.add("C:\\" + kGreek + "\\a.wpd", DocumentStatus::Converted, "", 0.8);
    report.add("C:\\d\\" + kChinese + ", \"b\".wpd", DocumentStatus::Failed, "line one\r\nline two",
               1234.56789);
    report.add("C:\\d\\c.wpd", DocumentStatus::Skipped, "", 0);
    report.add("C:\\d\\d.wpd", DocumentStatus::NotStarted, "", -1);
    EXPECT_EQ(appended,
              (Strings{
                  "<emptied>",
                  "\xEF\xBB\xBF"
                  "document,status,reason,seconds\r\n",
                  "C:\\" + kGreek + "\\a.wpd,Converted,,0.800\r\n",
                  "\"C:\\d\\" + kChinese + ", \"\"b\"\".wpd\",Failed,\"line one\r\nline two\",1234.568\r\n",
                  "C:\\d\\c.wpd,Skipped,,0.000\r\n",
                  "C:\\d\\d.wpd,Not started,,0.000\r\n",
              }));
}

TEST(ConsoleReport, RecordsReadWithOrWithoutBomAndWithCrLfOrLf) {
    const std::vector<std::pair<std::string, std::vector<Strings>>> cases = {
        {"\xEF\xBB\xBF"
         "a,b\r\n\"c,\"\"d\"\"\r\ne\",\r\n",
         {{"a", "b"}, {"c,\"d\"\r\ne", ""}}},
        {"a,b\nc,d", {{"a", "b"}, {"c", "d"}}},
        {"a\n\nb\n", {{"a"}, {""}, {"b"}}},
        {"", {}},
    };
    for (const auto& [text, records] : cases)
        EXPECT_EQ(csvRecords(text), records) << text;
    // Whatever a field holds, it reads back as it was written.
    const Strings fields = {"", "plain", "a,b", "\"", "x\ny", "\r\n", " lead", kGreek + "\"" + kChinese};
    std::string line = csvField(fields[0]);
    for (std::size_t i = 1; i < fields.size(); ++i)
        line += "," + csvField(fields[i]);
    EXPECT_EQ(csvRecords(line + "\r\n"), std::vector<Strings>{fields});
}

TEST(ConsoleResume, SkipsWhatWasDoneWhoseResultIsStillThere) {
    const std::string text = "document,status,reason,seconds\n"
                             "C:\\src\\a.wpd,Converted,,1.000\n"
                             "C:\\src\\b.wpd,Converted,,1.000\n"
                             "C:\\src\\c.wpd,Failed,boom,1.000\n"
                             "C:\\src\\d.wpd,Skipped,,0.000\n"
                             "C:\\src\\e.wpd,Not started,,0.000\n"
                             "\"C:\\src\\" +
                             kGreek + ".wpd\",Converted,,2.000\n";
    const EarlierReport earlier = EarlierReport::read(text, "old.csv");
    FakeFiles files;
    for (const char* name : {"a.wpd", "c.wpd", "d.wpd", "e.wpd"})
        files.files[std::string("C:\\Out\\") + name] = {};
    files.files["C:\\Out\\" + kGreek + ".wpd"] = {};
    const std::vector<std::pair<std::string, bool>> cases = {
        {"C:\\src\\a.wpd", true},  {"c:\\SRC\\a.wpd", true},
        {"C:\\src\\b.wpd", false}, // its result is gone
        {"C:\\src\\c.wpd", false}, {"C:\\src\\d.wpd", true},
        {"C:\\src\\e.wpd", false}, {"C:\\src\\" + kGreek + ".wpd", true},
        {"C:\\src\\f.wpd", false},
    };
    for (const auto& [document, skipped] : cases)
        EXPECT_EQ(skipOnResume(earlier, document, "C:\\src", "C:\\Out", files), skipped) << document;
}

TEST(ConsoleResume, TextThatIsNotAReportIsRefused) {
    for (const std::string text : {"", "a.wpd,Converted\r\n", "document;status;reason;seconds\r\n"}) {
        try {
            EarlierReport::read(text, "C:\\old.csv");
            ADD_FAILURE() << "read as a report: " << text;
        } catch (const AppError& error) {
            EXPECT_EQ(error.description(), "C:\\old.csv is not a report of an earlier run: its first line is "
                                           "not document,status,reason,seconds");
        }
    }
}

TEST(ConsoleText, DocumentLines) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {documentLine(12, 300, DocumentStatus::Converted, "C:\\docs\\a.wpd", 0.8),
         "[12/300] Converted C:\\docs\\a.wpd (0.8 s)"},
        {documentLine(13, 300, DocumentStatus::Failed, "C:\\docs\\b.wpd", 1.2, "reason"),
         "[13/300] Failed C:\\docs\\b.wpd (1.2 s): reason"},
        {documentLine(1, 2, DocumentStatus::Failed, "C:\\" + kChinese + ".wpd", 61.04, "one\r\ntwo"),
         "[1/2] Failed C:\\" + kChinese + ".wpd (61.0 s): one two"},
        {documentLine(2, 2, DocumentStatus::Skipped, "C:\\d\\c.wpd", 0), "[2/2] Skipped C:\\d\\c.wpd"},
        {documentLine(3, 9, DocumentStatus::NotStarted, "C:\\d\\e.wpd", 0), "[3/9] Not started C:\\d\\e.wpd"},
    };
    for (const auto& [line, expected] : cases)
        EXPECT_EQ(line, expected);
}

TEST(ConsoleText, SummaryAndExitCode) {
    struct Case {
        BatchCounts counts;
        bool interrupted;
        std::string summary;
        int exitCode;
    };
    const std::vector<Case> cases = {
        {{290, 5, 3, 2},
         false,
         "300 documents: 290 converted, 5 failed, 3 skipped, 2 not started (12.3 s)",
         1},
        {{2, 0, 1, 0}, false, "3 documents: 2 converted, 0 failed, 1 skipped (12.3 s)", 0},
        {{0, 0, 0, 0}, false, "0 documents: 0 converted, 0 failed, 0 skipped (12.3 s)", 0},
        {{1, 0, 0, 0}, true, "1 document: 1 converted, 0 failed, 0 skipped (12.3 s)", 1},
        {{0, 1, 0, 0}, false, "1 document: 0 converted, 1 failed, 0 skipped (12.3 s)", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(summaryLine(c.counts, 12.34), c.summary);
        EXPECT_EQ(batchExitCode(c.counts, c.interrupted), c.exitCode) << c.summary;
    }
    BatchCounts counted;
    for (DocumentStatus status : {DocumentStatus::Converted, DocumentStatus::Failed, DocumentStatus::Failed,
                                  DocumentStatus::Skipped, DocumentStatus::NotStarted})
        counted.add(status);
    EXPECT_EQ(summaryLine(counted, 0),
              "5 documents: 1 converted, 2 failed, 1 skipped, 1 not started (0.0 s)");
}

TEST(ConsoleStop, FirstInterruptionStopsAfterTheDocumentLaterOnesEndAtOnce) {
    StopRequest request;
    EXPECT_FALSE(request.requested());
    EXPECT_EQ(request.interrupt(), StopRequest::Action::StopAfterDocument);
    EXPECT_TRUE(request.requested());
    EXPECT_EQ(request.interrupt(), StopRequest::Action::EndNow);
    EXPECT_EQ(request.interrupt(), StopRequest::Action::EndNow);
}

class FakeConsole : public ConsoleOutput {
public:
    Strings lines; // standard error's prefixed with "err "
    void out(std::string_view line) override { lines.emplace_back(line); }
    void err(std::string_view line) override { lines.push_back("err " + std::string(line)); }
};

// A run as the modes tell it: the report untouched until the run begins,
// one document skipped, a message and a temporary file that could not be
// removed inside a converted document, a failure, then a stop with two
// documents left.
TEST(ConsoleBatchRun, LinesAndRowsAsEachDocumentFinishesAndUnstartedOnesAfterAStop) {
    FakeConsole console;
    Strings rows;
    BatchReport report(std::make_unique<FakeReportFile>(rows));
    StopRequest stop;
    double clock = 0;
    BatchProgress progress([&clock] { return clock; });
    int drops = 0;
    BatchRun run(console, &report, stop, [&drops] {
        ++drops;
        return Strings{"C:\\d\\d.wpd", "C:\\d\\e.wpd"};
    });
    progress.setObserver(&run);
    run.addSkipped("C:\\d\\" + kGreek + ".wpd");
    EXPECT_TRUE(rows.empty());
    progress.begin(4);
    progress.started("C:\\d\\a.wpd");
    run.message("Could not\r\ndelete");
    progress.temporaryNotRemoved("C:\\T\\1.tmp");
    clock = 1.5;
    progress.finished("C:\\d\\a.wpd", BatchProgress::Outcome::Converted);
    run.message("between documents");
    progress.started("C:\\d\\b.wpd");
    stop.interrupt();
    clock = 2.5;
    progress.finished("C:\\d\\b.wpd", BatchProgress::Outcome::Failed, "Cannot open");
    progress.end();
    EXPECT_EQ(console.lines, (Strings{
                                 "[1/5] Skipped C:\\d\\" + kGreek + ".wpd",
                                 "err tarnwick-batch: Could not delete",
                                 "err tarnwick-batch: 1 temporary file could not be removed: C:\\T\\1.tmp",
                                 "[2/5] Converted C:\\d\\a.wpd (1.5 s): Could not delete; 1 temporary "
                                 "file could not be removed: C:\\T\\1.tmp",
                                 "err tarnwick-batch: between documents",
                                 "[3/5] Failed C:\\d\\b.wpd (1.0 s): Cannot open",
                                 "[4/5] Not started C:\\d\\d.wpd",
                                 "[5/5] Not started C:\\d\\e.wpd",
                             }));
    EXPECT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[0], "<emptied>");
    EXPECT_EQ(rows[3], "C:\\d\\a.wpd,Converted,Could not delete; 1 temporary file could not be removed: "
                       "C:\\T\\1.tmp,1.500\r\n");
    EXPECT_EQ(rows[6], "C:\\d\\e.wpd,Not started,,0.000\r\n");
    EXPECT_EQ(drops, 1);
    EXPECT_FALSE(run.refused());
    EXPECT_EQ(run.counts().total(), 5u);
    EXPECT_EQ(batchExitCode(run.counts(), stop.requested()), ExitCode::Incomplete);
}

TEST(ConsoleBatchRun, AMessageBeforeTheRunBeginsRefusesItAndLeavesTheReportAlone) {
    FakeConsole console;
    Strings rows;
    BatchReport report(std::make_unique<FakeReportFile>(rows));
    StopRequest stop;
    BatchRun run(console, &report, stop, [] { return Strings{}; });
    run.message("The source folder could not be read:\r\nC:\\d\r\nAccess denied");
    EXPECT_TRUE(run.refused());
    EXPECT_FALSE(run.began());
    EXPECT_EQ(console.lines,
              Strings{"err tarnwick-batch: The source folder could not be read: C:\\d Access denied"});
    EXPECT_TRUE(rows.empty());
}

// Only what a run would convert is put to its choices, with its path below
// the source: taken, skipped (and told), or left to another PC.
TEST(ConsoleViews, ARunsListingPutsOnlyDocumentsToItsChoices) {
    ProgramFixture program;
    FakeLister directory;
    directory.folders["C:\\d\\sub"] = {{"a.wpd"}, {"B.WPD"},       {"take.wpd"},
                                       {"c.txt"}, {"x.wpd", true}, {"h.wpd", false, true}};
    Strings asked, skipped;
    RunLister lister(
        directory, "C:\\d",
        [&asked](const std::string& path, const std::string& relative) {
            asked.push_back(relative);
            return path.ends_with("a.wpd")       ? RunChoice::Skip
                   : relative.ends_with("B.WPD") ? RunChoice::Leave
                                                 : RunChoice::Take;
        },
        [&skipped](const std::string& path) { skipped.push_back(path); });
    Strings kept;
    for (const DirectoryEntry& entry : lister.list("C:\\d\\sub"))
        kept.push_back(entry.name);
    EXPECT_EQ(asked, (Strings{"sub\\a.wpd", "sub\\B.WPD", "sub\\take.wpd"}));
    EXPECT_EQ(skipped, Strings{"C:\\d\\sub\\a.wpd"});
    EXPECT_EQ(kept, (Strings{"take.wpd", "c.txt", "x.wpd", "h.wpd"}));
}

// Each document goes to one PC of several by its path below the source, in
// capitals: the hash is pinned, so that PCs with other builds agree.
TEST(ConsoleShares, EachDocumentBelongsToOneShareByItsPinnedHash) {
    EXPECT_EQ(shareHash("2009\\CLIENTS\\SMITH\\LETTER.WPD"), 0xfa25064a2f6f5456u);
    EXPECT_EQ(shareHash(""), 0xcbf29ce484222325u);
    for (int k = 1; k <= 3; ++k)
        EXPECT_EQ(inShare(0xfa25064a2f6f5456u, k, 3), k == 3) << k;
    int owners = 0;
    for (int k = 1; k <= 4; ++k)
        owners += inShare(shareHash("A\\B.WPD"), k, 4) ? 1 : 0;
    EXPECT_EQ(owners, 1);
}

// A look before the night: what would be converted, how much, and what a
// run would likely stumble on, with why.
TEST(ConsoleList, EachLikelyStumblingBlockIsNamedOnceWithItsReason) {
    FakeProbe probe;
    const std::string longName = std::string(250, 'n') + ".wpd";
    probe.files = {{"C:\\src\\fine.wpd", {2048, 1, ""}},
                   {"C:\\src\\empty.wpd", {0, 1, ""}},
                   {"C:\\src\\locked.wpd", {10, 1, "The process cannot access the file"}},
                   {"C:\\src\\" + kGreek + ".wpd", {10, 1, ""}},
                   {"C:\\src\\replaced.wpd", {10, 1, ""}},
                   {"C:\\src\\" + longName, {10, 1, ""}}};
    probe.kinds["C:\\out\\replaced.wpd"] = PathKind::File;
    std::vector<FoundItem> found;
    for (const auto& [path, file] : probe.files)
        found.push_back({path, path.substr(7), {}});
    found.push_back({"C:\\src\\sub", "sub", "Access denied"});
    const Strings lines = listingLines(listFound(found, "C:\\src", "C:\\out", probe));
    const Strings expected = {
        "C:\\src\\empty.wpd",
        "C:\\src\\fine.wpd",
        "C:\\src\\locked.wpd",
        "C:\\src\\" + longName,
        "C:\\src\\replaced.wpd",
        "C:\\src\\" + kGreek + ".wpd",
        "6 documents, 2.0 KB in all",
        "6 likely to fail:",
        "  C:\\src\\empty.wpd: empty (0 bytes)",
        "  C:\\src\\locked.wpd: cannot be read now: The process cannot access the file",
        "  C:\\src\\" + longName +
            ": its path is longer than 259 characters; its result's path is longer "
            "than 259 characters",
        "  C:\\src\\replaced.wpd: its result exists and would be replaced",
        "  C:\\src\\" + kGreek +
            ".wpd: its name has characters the system's code page cannot hold: an "
            "older word processor may not open it",
        "  C:\\src\\sub: cannot be read: Access denied",
    };
    EXPECT_EQ(lines, expected);
}

} // namespace
