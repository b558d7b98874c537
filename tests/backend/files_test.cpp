// File reading, lengths, dates and folder listing against real files.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/files_win32.h"
#include "service_test_support.h"

namespace corvale::win32 {
namespace {

using testing::TempFolder;

class Win32FilesTest : public ::testing::Test {
protected:
    TempFolder folder;
    Win32Files files;
};

TEST_F(Win32FilesTest, ReadsEveryByteOfAFileEvenWhileAnotherHandleWritesIt) {
    const std::string bytes("GIF89a\0\x1A\r\n\xFF end", 15);
    folder.Write("anim.gif", bytes);
    const UniqueFile writer(CreateFileW(Widen(folder.PathOf("anim.gif")).c_str(), GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(writer);
    const auto read = files.ReadAll(folder.PathOf("anim.gif"));
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(std::string(read->begin(), read->end()), bytes);
}

TEST_F(Win32FilesTest, ReadsEmptyFilesAndFilesUnderNonAsciiNames) {
    folder.Write("empty.wav", "");
    folder.Write("\xC3\xA9t\xC3\xA9.skn", "[DEFAULT]");
    EXPECT_EQ(files.ReadAll(folder.PathOf("empty.wav")), std::vector<std::uint8_t>{});
    const auto read = files.ReadAll(folder.PathOf("\xC3\xA9t\xC3\xA9.skn"));
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->size(), 9u);
}

TEST_F(Win32FilesTest, FindsNothingToReadAtAMissingPathOrAFolder) {
    folder.MakeFolder("sub");
    EXPECT_EQ(files.ReadAll(folder.PathOf("missing.gif")), std::nullopt);
    EXPECT_EQ(files.ReadAll(folder.PathOf("sub")), std::nullopt);
}

TEST_F(Win32FilesTest, GivesLengthsInBytesAndMinusOneForWhatIsNoFile) {
    folder.Write("three.wav", "abc");
    folder.Write("empty.wav", "");
    folder.MakeFolder("sub");
    const struct {
        const char* name;
        std::int64_t length;
    } cases[] = {{"three.wav", 3}, {"empty.wav", 0}, {"missing.wav", -1}, {"sub", -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(files.FileLength(folder.PathOf(c.name)), c.length);
    }
}

TEST_F(Win32FilesTest, GivesTheLocalDateOfTheLastWrite) {
    folder.Write("dated.exe", "MZ");
    // Noon local time keeps the date clear of any time-zone offset.
    const struct { WORD year, month, day; } dates[] = {{2003, 7, 15}, {2021, 1, 31}};
    for (const auto& date : dates) {
        SCOPED_TRACE(date.year);
        SYSTEMTIME local{};
        local.wYear = date.year;
        local.wMonth = date.month;
        local.wDay = date.day;
        local.wHour = 12;
        SYSTEMTIME utc{};
        FILETIME stamp{};
        ASSERT_TRUE(TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc));
        ASSERT_TRUE(SystemTimeToFileTime(&utc, &stamp));
        {
            const UniqueFile file(CreateFileW(Widen(folder.PathOf("dated.exe")).c_str(),
                                              FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
            ASSERT_TRUE(file);
            ASSERT_TRUE(SetFileTime(file.get(), nullptr, nullptr, &stamp));
        }
        const auto read = files.LastModified(folder.PathOf("dated.exe"));
        ASSERT_TRUE(read.has_value());
        EXPECT_EQ(read->year, date.year);
        EXPECT_EQ(read->month, date.month);
        EXPECT_EQ(read->day, date.day);
    }
    EXPECT_EQ(files.LastModified(folder.PathOf("missing.exe")), std::nullopt);
}

TEST_F(Win32FilesTest, ListsMatchingFilesOnlyInAlphabeticalOrderWithoutRegardToCase) {
    for (const char* name : {"b.skn", "Corvale.skn", "a.SKN", "d.ini", "corvale1024.skn"})
        folder.Write(name, "x");
    folder.MakeFolder("e.skn");
    const std::vector<std::string> expected{"a.SKN", "b.skn", "Corvale.skn", "corvale1024.skn"};
    EXPECT_EQ(files.ListFiles(folder.Path(), "*.skn"), expected);
    // Without the trailing separator the folder is the same folder.
    std::string bare = folder.Path();
    bare.pop_back();
    EXPECT_EQ(files.ListFiles(bare, "*.skn"), expected);
    EXPECT_EQ(files.ListFiles(folder.Path(), "*.ini"), std::vector<std::string>{"d.ini"});
    // `?` is one character where another character follows it; before a
    // dot or at the end Windows lets it stand for none too (Wine 8 does not).
    EXPECT_EQ(files.ListFiles(folder.Path(), "corvale?0*.skn"), std::vector<std::string>{"corvale1024.skn"});
}

TEST_F(Win32FilesTest, ListsNothingInAnEmptyMatchAndFailsOnlyForAMissingFolder) {
    folder.Write("a.txt", "x");
    folder.MakeFolder("only folders");
    EXPECT_EQ(files.ListFiles(folder.Path(), "*.exe"), std::vector<std::string>{});
    EXPECT_EQ(files.ListFiles(folder.PathOf("only folders"), "*"), std::vector<std::string>{});
    EXPECT_EQ(files.ListFiles(folder.PathOf("no such folder"), "*"), std::nullopt);
    EXPECT_EQ(files.ListFiles(folder.PathOf("a.txt"), "*"), std::nullopt);
}

}  // namespace
}  // namespace corvale::win32
