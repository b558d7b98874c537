// The profile reader against real skin files in a scratch folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/win32/profile_win32.h"
#include "platform/win32/text.h"
#include "service_test_support.h"

namespace corvale::win32 {
namespace {

using testing::TempFolder;

constexpr int kSkinBuffer = 32000;

class ProfileFileReaderTest : public ::testing::Test {
protected:
    std::optional<std::string> Read(const std::string& section, const std::string& key,
                                    const std::string& file, const std::string& fallback = "NotFound",
                                    int buffer = kSkinBuffer) {
        return reader.Read(section, key, fallback, folder.PathOf(file), buffer);
    }

    TempFolder folder;
    ProfileFileReader reader;
};

TEST_F(ProfileFileReaderTest, FindsSectionsKeysAndFileNamesWrittenInAnotherCase) {
    folder.Write("TERMINAL.SKN", "[Default]\r\nanimated=True\r\nANIMDELAY=50\r\n");
    const struct {
        const char* file;
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"terminal.skn", "DEFAULT", "Animated", "True"},
        {"Terminal.skn", "default", "ANIMATED", "True"},
        {"TERMINAL.SKN", "DeFaUlT", "AnimDelay", "50"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " [" + c.section + "] " + c.key);
        EXPECT_EQ(Read(c.section, c.key, c.file), c.expected);
    }
}

TEST_F(ProfileFileReaderTest, GivesEmptyValuesAndTheLiteralNotFoundAsWritten) {
    folder.Write("corvale.skn", "[DEFAULT]\r\nStartupSound=\r\nSound=NotFound\r\nBackGround = 0,0,0  \r\n");
    EXPECT_EQ(Read("DEFAULT", "StartupSound", "corvale.skn", "fallback"), "");
    EXPECT_EQ(Read("DEFAULT", "Sound", "corvale.skn", "fallback"), "NotFound");
    EXPECT_EQ(Read("DEFAULT", "BackGround", "corvale.skn"), "0,0,0");
}

TEST_F(ProfileFileReaderTest, GivesTheFallbackForAMissingFileSectionOrKey) {
    folder.Write("corvale.skn", "[DEFAULT]\r\nBackGround=1,2,3\r\n");
    EXPECT_EQ(Read("DEFAULT", "BackGround", "absent.skn"), "NotFound");
    EXPECT_EQ(Read("VOLUME", "BackGround", "corvale.skn"), "NotFound");
    EXPECT_EQ(Read("DEFAULT", "01", "corvale.skn"), "NotFound");
    EXPECT_EQ(Read("DEFAULT", "01", "corvale.skn", "other"), "other");
}

TEST_F(ProfileFileReaderTest, CutsALongValueToOneCharacterLessThanTheBuffer) {
    std::string value;
    for (int i = 0; i < 40000; ++i) value += static_cast<char>('a' + i % 26);
    folder.Write("corvale.skn", "[DEFAULT]\r\n01=" + value + "\r\n02=after\r\n");
    const auto read = Read("DEFAULT", "01", "corvale.skn");
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->size(), 31999u);
    EXPECT_EQ(*read, value.substr(0, 31999));
    EXPECT_EQ(Read("DEFAULT", "02", "corvale.skn"), "after");
}

TEST_F(ProfileFileReaderTest, RefusesABufferWithNoRoomForAnything) {
    folder.Write("corvale.skn", "[DEFAULT]\r\n01=x\r\n");
    EXPECT_EQ(Read("DEFAULT", "01", "corvale.skn", "NotFound", 0), std::nullopt);
    EXPECT_EQ(Read("DEFAULT", "01", "corvale.skn", "NotFound", 1), "");
}

TEST_F(ProfileFileReaderTest, ReadsAnAnsiFileInTheAnsiCodePage) {
    if (GetACP() != 1252) GTEST_SKIP() << "the ANSI code page here is " << GetACP() << ", not 1252";
    folder.Write("corvale.skn", "[INFO]\r\n01=Caf\xE9 \xA9 \x80\r\n");
    EXPECT_EQ(Read("INFO", "01", "corvale.skn"), "Caf\xC3\xA9 \xC2\xA9 \xE2\x82\xAC");
}

TEST_F(ProfileFileReaderTest, ReadsAUtf16FileWithItsByteOrderMark) {
    const std::u16string text = u"\uFEFF[INFO]\r\n01=Caf\u00E9 \u2713\r\n";
    folder.Write("corvale.skn", std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2));
    EXPECT_EQ(Read("INFO", "01", "corvale.skn"), "Caf\xC3\xA9 \xE2\x9C\x93");
}

TEST_F(ProfileFileReaderTest, ReadsAUtf8FileWithItsByteOrderMarkAsUtf8FromTheFirstSectionOn) {
    folder.Write("corvale.skn",
                 "\xEF\xBB\xBF[DEFAULT]\r\nName=Caf\xC3\xA9 \xE2\x9C\x93\r\n[INFO]\r\n01=ok\r\n");
    EXPECT_EQ(Read("default", "NAME", "corvale.skn"), "Caf\xC3\xA9 \xE2\x9C\x93");
    EXPECT_EQ(Read("INFO", "01", "corvale.skn"), "ok");
    EXPECT_EQ(Read("INFO", "02", "corvale.skn", "fallback"), "fallback");
    EXPECT_EQ(Read("DEFAULT", "Name", "absent.skn", "fallback"), "fallback");
}

std::string SystemRead(const std::string& section, const std::string& key, const std::string& path,
                       const std::string& fallback) {
    std::wstring buffer(kSkinBuffer, L'\0');
    const DWORD copied =
        GetPrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(), Widen(fallback).c_str(),
                                 buffer.data(), kSkinBuffer, Widen(path).c_str());
    buffer.resize(copied);
    return Narrow(buffer);
}

// The reader takes files apart itself; it must answer as the system's own
// reader does, for an ANSI file and for the same text in UTF-8 with a mark.
TEST_F(ProfileFileReaderTest, AnswersAsTheSystemsReaderDoes) {
    const std::string body =
        "; a comment line\r\n"
        "[DEFAULT]\r\n"
        "  Spaced  =   value with blanks inside   \r\n"
        "Quoted=\"in quotes\"\r\n"
        "Single='single'\r\n"
        "HalfQuoted=\"open\r\n"
        "Twice=first\r\n"
        "Twice=second\r\n"
        "Equals=a=b=c\r\n"
        "Tab=\tx\t\r\n"
        "Empty=\r\n"
        "NoEquals\r\n"
        "[ Blank Section ]\r\n"
        "Key=blank\r\n"
        "[OTHER]\n"
        "Unix=lf only\n"
        "Mac=cr only\rNext=after cr\r\n"
        "[default]\r\n"
        "Later=in the second part\r\n";
    folder.Write("ansi.skn", body);
    folder.Write("utf8.skn", "\xEF\xBB\xBF" + body);
    const struct {
        const char* section;
        const char* key;
    } lookups[] = {
        {"DEFAULT", "Spaced"},     {"DEFAULT", "Quoted"},    {"DEFAULT", "Single"},
        {"DEFAULT", "HalfQuoted"}, {"DEFAULT", "Twice"},     {"DEFAULT", "Equals"},
        {"DEFAULT", "Tab"},        {"DEFAULT", "Empty"},     {"DEFAULT", "NoEquals"},
        {"DEFAULT", "Absent"},     {"Blank Section", "Key"}, {"OTHER", "Unix"},
        {"OTHER", "Mac"},          {"OTHER", "Next"},        {"DEFAULT", "; a comment line"},
        {"DEFAULT", "Later"},      {"Absent", "Key"},
    };
    for (const auto& lookup : lookups) {
        SCOPED_TRACE(std::string("[") + lookup.section + "] " + lookup.key);
        const std::string system =
            SystemRead(lookup.section, lookup.key, folder.PathOf("ansi.skn"), "fallback ");
        EXPECT_EQ(Read(lookup.section, lookup.key, "ansi.skn", "fallback "), system);
        EXPECT_EQ(Read(lookup.section, lookup.key, "utf8.skn", "fallback "), system);
    }
}

// Kept texts must never hide a change: a new size, or the same size with a
// new write time, is read again; a file removed gives the fallback.
TEST_F(ProfileFileReaderTest, ReadsAFileAgainOnceItHasChanged) {
    folder.Write("corvale.skn", "[DEFAULT]\r\n01=aaaa\r\n");
    EXPECT_EQ(Read("DEFAULT", "01", "corvale.skn"), "aaaa");
    folder.Write("corvale.skn", "[DEFAULT]\r\n01=longer\r\n");
    EXPECT_EQ(Read("DEFAULT", "01", "corvale.skn"), "longer");

    folder.Write("corvale.skn", "[DEFAULT]\r\n01=bbbbbb\r\n");
    const std::wstring path = Widen(folder.PathOf("corvale.skn"));
    {
        const HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        FILETIME written{};
        GetFileTime(file, nullptr, nullptr, &written);
        ULARGE_INTEGER time{{written.dwLowDateTime, written.dwHighDateTime}};
        time.QuadPart += 10'000'000;  // a second on
        written = {time.LowPart, time.HighPart};
        EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &written));
        CloseHandle(file);
    }
    EXPECT_EQ(Read("DEFAULT", "01", "corvale.skn"), "bbbbbb");

    ASSERT_TRUE(DeleteFileW(path.c_str()));
    EXPECT_EQ(Read("DEFAULT", "01", "corvale.skn"), "NotFound");
}

}  // namespace
}  // namespace corvale::win32
