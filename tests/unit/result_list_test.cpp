// The result list's order, keys and status history; the hidden file list.
#include "base/error.h"
#include "base/file_list.h"
#include "base/result_list.h"
#include "fakes.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> texts(const ResultList& list) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < list.count(); ++i)
        out.push_back(list.text(i));
    return out;
}

TEST(ResultList, RowsAreOrderedDescendingWhateverTheInsertionOrder) {
    ResultList list;
    for (const char* p : {"C:\\d\\b.wpd", "C:\\d\\D.wpd", "C:\\d\\a.wpd", "C:\\d\\c.wpd", "C:\\d\\aa.wpd"})
        list.addRow(p, p);
    EXPECT_EQ(texts(list), (std::vector<std::string>{"C:\\d\\D.wpd", "C:\\d\\c.wpd", "C:\\d\\b.wpd",
                                                     "C:\\d\\aa.wpd", "C:\\d\\a.wpd"}));
    ASSERT_TRUE(list.indexOf("C:\\d\\b.wpd"));
    EXPECT_EQ(*list.indexOf("C:\\d\\b.wpd"), 2u);
    EXPECT_FALSE(list.indexOf("C:\\d\\zz.wpd"));
}

TEST(ResultList, StatusHistoryKeepsTheNewestInFront) {
    ResultList list;
    list.addRow("k", "k");
    EXPECT_EQ(list.status(0), "");
    list.insertStatus("k", "Converting...");
    list.insertStatus("k", "Converted");
    EXPECT_EQ(list.status(0), "Converted");
    EXPECT_EQ(list.history("k"), (std::vector<std::string>{"Converted", "Converting..."}));
}

TEST(ResultList, DuplicateKeysAndUnknownKeysAreRefused) {
    ResultList list;
    list.addRow("k", "k");
    try {
        list.addRow("k", "k");
        FAIL() << "a second row with the same key was added";
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), ErrorNumber::KeyNotUnique);
    }
    EXPECT_EQ(list.count(), 1u);
    EXPECT_THROW(list.insertStatus("other", "Converted"), AppError);
    list.clear();
    EXPECT_EQ(list.count(), 0u);
    list.addRow("k", "k"); // a cleared list takes the key again
    EXPECT_EQ(list.history("k"), std::vector<std::string>{});
}

TEST(ResultList, ObserverHearsTheDisplayPositionOfEachChange) {
    struct Recorder : ResultList::Observer {
        std::vector<std::string> events;
        void rowsCleared() override { events.push_back("clear"); }
        void rowInserted(std::size_t i) override { events.push_back("insert " + std::to_string(i)); }
        void rowChanged(std::size_t i) override { events.push_back("change " + std::to_string(i)); }
    } recorder;
    ResultList list;
    list.setObserver(&recorder);
    list.addRow("a", "a");
    list.addRow("b", "b"); // sorts in front of a
    list.insertStatus("a", "Converted");
    list.clear();
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"insert 0", "insert 0", "change 1", "clear"}));
}

TEST(ResultList, RowsAsTextGivesEveryRowOrTheOneAskedFor) {
    ResultList list;
    const std::string greek = "C:\\d\\\xCE\xB1.wpd", chinese = "C:\\d\\\xE4\xB8\xAD.wpd";
    for (const std::string& path : {greek, chinese, std::string("C:\\d\\a.wpd")})
        list.addRow(path, path);
    list.insertStatus("C:\\d\\a.wpd", "Converted");
    list.insertStatus(greek, "Failed", "Disk is full\r\nat\tonce");
    EXPECT_EQ(rowsAsText(list), chinese + "\t\t\r\n" + greek + "\tFailed\tDisk is full  at once\r\n" +
                                    "C:\\d\\a.wpd\tConverted\t\r\n");
    EXPECT_EQ(rowsAsText(list, 1), greek + "\tFailed\tDisk is full  at once\r\n");
    EXPECT_EQ(rowsAsText(list, 3), "");
    EXPECT_EQ(rowsAsText(ResultList{}), "");
}

TEST(FileListBox, ListsOnlyPlainFilesSortedByNameWithoutRegardToCase) {
    FakeLister lister;
    lister.folders["C:\\docs"] = {
        {"b.wpd"}, {"A.wpd"}, {"sub", true}, {"hidden.wpd", false, true}, {"sys.wpd", false, false, true},
        {"c.txt"}};
    FileListBox files(lister);
    files.setPath("C:\\docs");
    EXPECT_EQ(files.path(), "C:\\docs");
    EXPECT_EQ(files.names(), (std::vector<std::string>{"A.wpd", "b.wpd", "c.txt"}));
    EXPECT_EQ(files.fileName(), "");
    files.setListIndex(1);
    EXPECT_EQ(files.fileName(), "b.wpd");
    EXPECT_THROW(files.setListIndex(3), AppError);
    EXPECT_EQ(files.fileName(), "b.wpd");
}

TEST(FileListBox, AnUnreadableFolderKeepsThePreviousListing) {
    FakeLister lister;
    lister.folders["C:\\docs"] = {{"a.wpd"}};
    FileListBox files(lister);
    files.setPath("C:\\docs");
    EXPECT_THROW(files.setPath("C:\\missing"), AppError);
    EXPECT_EQ(files.path(), "C:\\docs");
    EXPECT_EQ(files.listCount(), 1);
}

TEST(FileDialog, CancelRaisesOnlyWhenAskedTo) {
    FakeDialogPort port;
    FileDialog dialog(port);
    dialog.FileName = "keep.wpd";
    dialog.ShowOpen(); // cancelled, no error wanted
    EXPECT_EQ(dialog.FileName, "keep.wpd");
    dialog.CancelError = true;
    try {
        dialog.ShowSave();
        FAIL() << "cancel did not raise";
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), ErrorNumber::CancelSelected);
    }
    port.answers = {"", "", "C:\\x.wpd"};
    dialog.ShowOpen();
    EXPECT_EQ(dialog.FileName, "C:\\x.wpd");
}

TEST(LateBinding, AutomationTruthValues) {
    EXPECT_TRUE(isTrue(Value{true}));
    EXPECT_TRUE(isTrue(Value{std::int32_t{-1}}));
    EXPECT_FALSE(isTrue(Value{std::int32_t{1}}));
    EXPECT_FALSE(isTrue(Value{false}));
    EXPECT_FALSE(isTrue(Value{}));
    EXPECT_FALSE(isTrue(Value{std::string("True")}));
    EXPECT_EQ(toText(Value{std::int32_t{42}}), "42");
    EXPECT_EQ(toText(Value{}), "");
}

} // namespace
