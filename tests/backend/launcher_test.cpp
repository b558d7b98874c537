// Registry reads under a test key, and programs started for real.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <variant>

#include "platform/win32/files_win32.h"
#include "platform/win32/launcher_win32.h"
#include "service_test_support.h"

namespace corvale::win32 {
namespace {

using testing::TempFolder;

class Win32LauncherRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        HKEY created = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, Widen(subKey).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                  nullptr, &created, nullptr),
                  ERROR_SUCCESS);
        key.reset(created);
    }
    void TearDown() override {
        key.reset();
        RegDeleteTreeW(HKEY_CURRENT_USER, Widen(subKey).c_str());
    }
    void Put(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    }
    RegistryValue Read(const std::string& name) {
        return launcher.ReadRegistry(RegistryRoot::CurrentUser, subKey, name);
    }

    const std::string subKey = "Software\\Corvale backend test " + std::to_string(GetCurrentProcessId());
    UniqueKey key;
    Win32Launcher launcher;
};

TEST_F(Win32LauncherRegistryTest, ReadsStringsAsTextWithoutTheirTerminatingNul) {
    const wchar_t fonts[] = L"C:\\windows\\Fonts";
    Put(L"Fonts", REG_SZ, fonts, sizeof(fonts));
    const wchar_t accented[] = L"C:\\Polices \u00E9t\u00E9";
    Put(L"Accented", REG_SZ, accented, sizeof(accented));
    Put(L"Empty", REG_SZ, L"", sizeof(wchar_t));
    const struct {
        const char* name;
        const char* text;
    } cases[] = {
        {"Fonts", "C:\\windows\\Fonts"}, {"accented", "C:\\Polices \xC3\xA9t\xC3\xA9"}, {"Empty", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const RegistryValue read = Read(c.name);
        EXPECT_EQ(read.code, 0);
        EXPECT_EQ(read.type, static_cast<std::uint32_t>(REG_SZ));
        ASSERT_TRUE(std::holds_alternative<std::string>(read.value));
        EXPECT_EQ(std::get<std::string>(read.value), c.text);
    }
}

TEST_F(Win32LauncherRegistryTest, ReadsDwordsAndShortBinariesAsNumbers) {
    const DWORD dword = 0x12345678;
    Put(L"Dword", REG_DWORD, &dword, sizeof(dword));
    const BYTE two[] = {0x34, 0x12};
    Put(L"Two", REG_BINARY, two, sizeof(two));
    const BYTE four[] = {0x01, 0x00, 0x00, 0x80};
    Put(L"Four", REG_BINARY, four, sizeof(four));
    const struct {
        const char* name;
        std::uint32_t type;
        std::uint32_t number;
    } cases[] = {
        {"Dword", REG_DWORD, 0x12345678u}, {"Two", REG_BINARY, 0x1234u}, {"Four", REG_BINARY, 0x80000001u}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const RegistryValue read = Read(c.name);
        EXPECT_EQ(read.code, 0);
        EXPECT_EQ(read.type, c.type);
        ASSERT_TRUE(std::holds_alternative<std::uint32_t>(read.value));
        EXPECT_EQ(std::get<std::uint32_t>(read.value), c.number);
    }
}

TEST_F(Win32LauncherRegistryTest, AnswersMissingValuesAndKeysWithCodeTwo) {
    const RegistryValue value = Read("NoSuchValue");
    EXPECT_EQ(value.code, ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(value.value));
    const RegistryValue missingKey =
        launcher.ReadRegistry(RegistryRoot::CurrentUser, subKey + "\\missing", "Fonts");
    EXPECT_EQ(missingKey.code, ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(missingKey.value));
}

TEST_F(Win32LauncherRegistryTest, LeavesOtherTypesUnreadWithCodeMinusOne) {
    const wchar_t expand[] = L"%SystemRoot%\\Fonts";
    Put(L"Expand", REG_EXPAND_SZ, expand, sizeof(expand));
    const wchar_t multi[] = L"a\0b\0";
    Put(L"Multi", REG_MULTI_SZ, multi, sizeof(multi));
    const unsigned long long qword = 5;
    Put(L"Qword", REG_QWORD, &qword, sizeof(qword));
    for (const char* name : {"Expand", "Multi", "Qword"}) {
        SCOPED_TRACE(name);
        const RegistryValue read = Read(name);
        EXPECT_EQ(read.code, -1);
        EXPECT_TRUE(std::holds_alternative<std::monostate>(read.value));
    }
}

TEST_F(Win32LauncherRegistryTest, DoesNotReadABinaryValuePastFourBytes) {
    const BYTE six[] = {1, 2, 3, 4, 5, 6};
    Put(L"Six", REG_BINARY, six, sizeof(six));
    const RegistryValue read = Read("Six");
    EXPECT_EQ(read.code, ERROR_MORE_DATA);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(read.value));
}

TEST_F(Win32LauncherRegistryTest, ReadsUnderTheLocalMachineRootToo) {
    const RegistryValue read = launcher.ReadRegistry(
        RegistryRoot::LocalMachine, "Software\\Microsoft\\Windows NT\\CurrentVersion", "ProductName");
    EXPECT_EQ(read.code, 0);
    ASSERT_TRUE(std::holds_alternative<std::string>(read.value));
    EXPECT_FALSE(std::get<std::string>(read.value).empty());
}

// Waits for a file that a started program writes, and returns its text.
std::string AwaitFile(const std::string& path, DWORD waitMs = 20000) {
    const DWORD start = GetTickCount();
    Win32Files files;
    do {
        if (auto bytes = files.ReadAll(path); bytes && !bytes->empty())
            return std::string(bytes->begin(), bytes->end());
        Sleep(100);
    } while (GetTickCount() - start < waitMs);
    return {};
}

TEST(Win32Launcher_Start, StartsACommandLineWithTheAskedWindowStateAndDoesNotWait) {
    TempFolder folder;
    const struct {
        WindowState state;
        int show;
    } cases[] = {{WindowState::NormalFocus, SW_SHOWNORMAL}, {WindowState::MinimizedFocus, SW_SHOWMINIMIZED}};
    std::string child(1, '"');
    child += Narrow(testing::OwnPath());
    child +=
        "\" --gtest_also_run_disabled_tests "
        "--gtest_filter=Win32Launcher_Start.DISABLED_ChildReportsItsStartup";
    Win32Launcher launcher;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.show);
        const std::string report = folder.PathOf("state" + std::to_string(c.show) + ".txt");
        testing::MarkChildrenExpected(Widen(report));
        const DWORD before = GetTickCount();
        ASSERT_TRUE(launcher.StartProcess(child, c.state));
        EXPECT_LT(GetTickCount() - before, 2000u);  // started, not waited for
        EXPECT_EQ(AwaitFile(report),
                  "flags " + std::to_string(STARTF_USESHOWWINDOW) + " show " + std::to_string(c.show));
    }
}

TEST(Win32Launcher_Start, DISABLED_ChildReportsItsStartup) {
    const std::wstring report = testing::ChildMarker();
    if (report.empty()) GTEST_SKIP() << "runs only as the child of the test above";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    GetStartupInfoW(&startup);
    const std::string text = "flags " + std::to_string(startup.dwFlags & STARTF_USESHOWWINDOW) + " show " +
                             std::to_string(startup.wShowWindow);
    // Written aside and renamed, so that the parent never reads half of it.
    const std::wstring partial = report + L".part";
    {
        const UniqueFile file(CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file);
        DWORD written = 0;
        WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
    EXPECT_TRUE(MoveFileExW(partial.c_str(), report.c_str(), MOVEFILE_REPLACE_EXISTING));
}

TEST(Win32Launcher_Start, FailsForAProgramThatDoesNotExist) {
    Win32Launcher launcher;
    EXPECT_FALSE(launcher.StartProcess("corvale-no-such-program-4711.exe /x", WindowState::NormalFocus));
    EXPECT_FALSE(launcher.StartProcess("", WindowState::NormalFocus));
}

// A file named like a system program in the current folder is what the
// search order finds first; the system's programs are started from their
// own folder instead.
TEST(Win32Launcher_Start, StartsSystemProgramsFromTheSystemFolderWhateverTheCurrentFolderHolds) {
    TempFolder folder;
    folder.Write("cmd.exe", "not a program");
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(folder.WidePath().c_str()));
    Win32Launcher launcher;
    const bool searched =
        launcher.StartProcess("cmd.exe /c echo searched> searched.txt", WindowState::NormalFocus);
    const bool system = launcher.StartSystemProgram(
        {SystemFolder::System, "cmd.exe"}, "cmd.exe /c echo system> system.txt", WindowState::NormalFocus);
    SetCurrentDirectoryW(previous);
    EXPECT_FALSE(searched) << "the decoy in the current folder was not found first: the test proves nothing";
    ASSERT_TRUE(system);
    EXPECT_EQ(AwaitFile(folder.PathOf("system.txt")).substr(0, 6), "system");
}

// A 32-bit program on 64-bit Windows finds the 32-bit cmd in its own system
// folder; the native shell finds the native one.
TEST(Win32Launcher_Shell, OnSixtyFourBitWindowsABareCommandNameOpensTheNativeProgram) {
    BOOL redirected = FALSE;
    if (!IsWow64Process(GetCurrentProcess(), &redirected) || !redirected)
        GTEST_SKIP() << "not a 32-bit program on 64-bit Windows (a 64-bit Wine prefix runs it so)";
    TempFolder folder;
    ASSERT_TRUE(
        Win32Launcher().ShellOpen(0, "cmd", "/c echo %PROCESSOR_ARCHITECTURE%> bare.txt", folder.Path()));
    EXPECT_EQ(AwaitFile(folder.PathOf("bare.txt")).substr(0, 5), "AMD64");
}

TEST(Win32Launcher_Shell, OpensAFileWithItsParametersInTheGivenDirectory) {
    TempFolder folder;
    Win32Launcher launcher;
    // A relative name in the parameters lands in the working directory.
    ASSERT_TRUE(launcher.ShellOpen(0, "cmd.exe", "/c echo opened> opened.txt", folder.Path()));
    EXPECT_EQ(AwaitFile(folder.PathOf("opened.txt")).substr(0, 6), "opened");
}

TEST(Win32Launcher_Shell, FailsForAFileThatDoesNotExist) {
    TempFolder folder;
    Win32Launcher launcher;
    EXPECT_FALSE(launcher.ShellOpen(0, folder.PathOf("missing.exe"), "", folder.Path()));
}

}  // namespace
}  // namespace corvale::win32
