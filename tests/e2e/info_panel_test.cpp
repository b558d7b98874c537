// The information panel read from outside, as a screen reader would: the
// first text box's lines against what the same questions give here.
#include <lmcons.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

#include "tests/e2e/driver.h"

namespace corvale::e2e {
namespace {

constexpr Box kWindow{100, 50, 900, 650};
constexpr Box kPanelBox{10, 10, 790, 590};  // inside the window

std::string PanelSkin(bool withLabels) {
    std::string skin =
        "[DEFAULT]\nBackGround=20,20,20\n01=info,L,10,10,780,580,255,255,255,0,0,0,Courier New,8\n";
    if (!withLabels) return skin;
    skin += "[INFO]\n";
    for (int key = 1; key <= 32; ++key) {
        const std::string number = (key < 10 ? "0" : "") + std::to_string(key);
        skin += number + "=Label " + number + "\n";
    }
    return skin;
}

std::string Label(int key) { return std::string("Label ") + (key < 10 ? "0" : "") + std::to_string(key); }

std::string Pad(const std::string& text, size_t width) {
    return (text + std::string(width, ' ')).substr(0, width);
}

std::string PadRight(const std::string& text, size_t width) {
    const std::string padded = std::string(width, ' ') + text;
    return padded.substr(padded.size() - width);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    return lines;
}

std::string Join(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += "|" + line + "|\n";
    return text;
}

// Digits grouped by "." whatever the locale.
std::string GroupedByDots(unsigned long long value) {
    std::string digits = std::to_string(value);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(static_cast<size_t>(i), ".");
    return digits;
}

std::filesystem::path NextToThisProgram(const wchar_t* name) {
    wchar_t buffer[MAX_PATH + 1];
    const DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH + 1);
    return std::filesystem::path(std::wstring(buffer, n)).parent_path() / name;
}

// An environment variable of this process, set for one test; the programs
// it starts inherit it.
class EnvironmentVariable {
public:
    EnvironmentVariable(const wchar_t* name, const std::wstring& value) : name_(name) {
        std::wstring old(32768, L'\0');
        const DWORD n = GetEnvironmentVariableW(name, old.data(), static_cast<DWORD>(old.size()));
        if (n > 0 && n < old.size()) old_ = old.substr(0, n);
        SetEnvironmentVariableW(name, value.c_str());
    }
    ~EnvironmentVariable() { SetEnvironmentVariableW(name_, old_ ? old_->c_str() : nullptr); }
    EnvironmentVariable(const EnvironmentVariable&) = delete;
    EnvironmentVariable& operator=(const EnvironmentVariable&) = delete;

private:
    const wchar_t* name_;
    std::optional<std::wstring> old_;
};

// Noon of a day, local time, as the file's last write.
void SetLocalWriteDate(const std::filesystem::path& file, WORD year, WORD month, WORD day) {
    const SYSTEMTIME local{year, month, 0, day, 12, 0, 0, 0};
    SYSTEMTIME utc{};
    FILETIME stamp{};
    ASSERT_TRUE(TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) && SystemTimeToFileTime(&utc, &stamp));
    const win32::UniqueFile handle(
        CreateFileW(file.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(handle);
    ASSERT_TRUE(SetFileTime(handle.get(), nullptr, nullptr, &stamp));
}

// ---- What the same questions give in this process ----

std::string LocaleSeparator() {
    char separator[8] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, sizeof separator);
    return separator;
}

std::string LocaleKilobytes(unsigned long long bytes) {
    std::string kilobytes = std::to_string(bytes / 1024);
    for (int i = static_cast<int>(kilobytes.size()) - 3; i > 0; i -= 3)
        kilobytes.insert(static_cast<size_t>(i), LocaleSeparator());
    return kilobytes + "K";
}

// A memory line: the label, then kilobytes right-aligned in twelve characters
// or, when longer, whole. Gives the number shown.
unsigned long long ShownKilobytes(const std::string& line, const std::string& label, size_t w) {
    EXPECT_EQ(line.substr(0, w + 1), Pad(label, w) + " ") << line;
    const std::string value = line.substr(std::min(line.size(), w + 1));
    const size_t first = value.find_first_not_of(' ');
    if (first == std::string::npos || value.back() != 'K') {
        ADD_FAILURE() << "no kilobytes in |" << line << "|";
        return 0;
    }
    const std::string figure = value.substr(first);
    EXPECT_EQ(value.size(), std::max<size_t>(12, figure.size())) << line;
    unsigned long long number = 0;
    for (char ch : figure.substr(0, figure.size() - 1))
        if (ch >= '0' && ch <= '9') number = number * 10 + static_cast<unsigned>(ch - '0');
    // Grouped as the locale groups it: a cut would show in the grouping or
    // (cut at a separator) in the size of the number.
    EXPECT_EQ(figure, number == 0 ? "K" : LocaleKilobytes(number * 1024)) << line;
    return number;
}

// The processor's own name where the system gives one, else its type's.
std::string ProcessorText(DWORD type) {
    char name[256] = {};
    DWORD size = sizeof name;
    RegGetValueA(HKEY_LOCAL_MACHINE, "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
                 "ProcessorNameString", RRF_RT_REG_SZ, nullptr, name, &size);
    const std::string text = name;
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return type == 586 ? "Intel Pentium" : "(unknown)";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string UserName() {
    char name[UNLEN + 1];
    DWORD size = sizeof name;
    return GetUserNameA(name, &size) ? std::string(name) : std::string();
}

std::string ComputerName() {
    char name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = sizeof name;
    return GetComputerNameA(name, &size) ? std::string(name, size) : std::string();
}

template <typename Query>
std::string Folder(Query query) {
    char path[MAX_PATH + 1];
    const UINT n = query(path);
    return n > 0 && n <= MAX_PATH ? std::string(path, n) : std::string();
}

struct DriveFacts {
    std::string name;  // "c:"
    UINT type;
    ULARGE_INTEGER total, free;
    bool spaceKnown;
    std::optional<std::string> label;
    std::optional<DWORD> serial;
};

std::vector<DriveFacts> Drives() {
    std::vector<DriveFacts> drives;
    char list[512];
    const DWORD length = GetLogicalDriveStringsA(sizeof list, list);
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    for (const char* root = list; root < list + length && *root; root += std::strlen(root) + 1) {
        DriveFacts d{};
        d.name = {static_cast<char>(std::tolower(static_cast<unsigned char>(root[0]))), ':'};
        d.type = GetDriveTypeA(root);
        ULARGE_INTEGER available{};
        d.spaceKnown = GetDiskFreeSpaceExA(root, &available, &d.total, &d.free) != FALSE;
        char label[MAX_PATH + 1] = {};
        DWORD serial = 0;
        if (GetVolumeInformationA(root, label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0))
            d.label = label;
        if (GetVolumeInformationA(root, nullptr, 0, &serial, nullptr, nullptr, nullptr, 0)) d.serial = serial;
        drives.push_back(d);
    }
    SetErrorMode(oldMode);
    return drives;
}

// The labels of keys 27 to 31 by drive type, as the skin gives them.
std::string KindLabel(UINT type, bool withLabels) {
    if (!withLabels) return "";
    switch (type) {
        case DRIVE_REMOVABLE: return Label(27);
        case DRIVE_FIXED: return Label(28);
        case DRIVE_CDROM: return Label(29);
        case DRIVE_RAMDISK: return Label(30);
        case DRIVE_REMOTE: return Label(31);
        default: return "";
    }
}

std::string SerialText(DWORD serial) {
    char text[16];
    std::snprintf(text, sizeof text, "%04lX-%04lX", static_cast<unsigned long>(serial >> 16),
                  static_cast<unsigned long>(serial & 0xFFFF));
    return text;
}

// ---- The fixture ----

class InfoPanel : public PanelTest {
protected:
    // Starts the panel and reads the first text box once it has been filled.
    std::vector<std::string> PanelLines() {
        PlaceWindow(kWindow.left, kWindow.top, kWindow.right, kWindow.bottom);
        const HWND window = StartPanelAndWait();
        if (!window) return {};
        std::string text;
        WaitUntil(
            [&] {
                text = TextBoxText(window, kPanelBox).value_or("");
                return !text.empty();
            },
            10s);
        return Lines(text);
    }

    // The column width, from the first line: label, space, value, each W wide.
    static size_t ColumnWidth(const std::vector<std::string>& lines) {
        return lines.empty() ? 0 : (lines[0].size() - 1) / 2;
    }

    // A value is never cut: its column grows for its line.
    static std::string Pair(const std::string& label, const std::string& value, size_t w) {
        return Pad(label, w) + " " + Pad(value, std::max(w, value.size()));
    }

    // The index of the n-th empty line.
    static size_t EmptyLine(const std::vector<std::string>& lines, int n) {
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i].empty() && --n == 0) return i;
        return lines.size();
    }
};

// ---- The operating system under three Windows versions ----

// What the system itself reports (RtlGetVersion) to a program that Wine
// tells it runs on `wineVersion`: "major.minor" and the build, as the helper
// beside the driver writes them down.
std::pair<std::string, std::string> ReportedVersion(const std::string& wineVersion,
                                                    const std::filesystem::path& folder) {
    const WineSetting told("AppDefaults\\corvale_e2e_winver.exe", "Version", wineVersion);
    const std::filesystem::path answer = folder / L"winver.txt";
    std::wstring line =
        L"\"" + NextToDriver(L"corvale_e2e_winver.exe").wstring() + L"\" \"" + answer.wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return {};
    const win32::UniqueKernelObject process(info.hProcess), thread(info.hThread);
    WaitForSingleObject(process.get(), 10000);
    std::ifstream in(answer);
    std::pair<std::string, std::string> reported;
    in >> reported.first >> reported.second;
    return reported;
}

struct WindowsCase {
    const char* wineVersion;
    const char* name;
};

class InfoPanelWindowsVersion : public InfoPanel, public ::testing::WithParamInterface<WindowsCase> {};

TEST_P(InfoPanelWindowsVersion, TheFirstThreeLinesNameTheSystemItsVersionAndItsBuild) {
    if (!RunningUnderWine()) GTEST_SKIP() << "only Wine lets a test choose the Windows version";
    const WindowsCase& c = GetParam();
    const auto [version, build] = ReportedVersion(c.wineVersion, theme_->RootPath());
    ASSERT_FALSE(build.empty()) << "the helper did not tell the system's version";
    const WineSetting told = WindowsVersionForProgram(c.wineVersion);
    theme_->WriteSkin("Corvale.skn", PanelSkin(true));
    const std::vector<std::string> lines = PanelLines();
    ASSERT_GE(lines.size(), 3u) << "the panel was not filled";
    const size_t w = ColumnWidth(lines);
    ASSERT_GT(w, 20u);
    EXPECT_EQ(lines[0], Pair(Label(1), c.name, w));
    EXPECT_EQ(lines[1], Pair(Label(2), version, w));
    EXPECT_EQ(lines[2], Pair(Label(3), build, w));
}

// Each system's own numbers: Windows 10 has had many builds, and the 9x
// family keeps its version in the build's upper half (4.10.2222 is
// 67766446). The program's manifest lets it see what RtlGetVersion sees:
// without one, Windows 10 calls itself 6.2.
INSTANTIATE_TEST_SUITE_P(Wine, InfoPanelWindowsVersion,
                         ::testing::Values(WindowsCase{"winxp", "Windows XP"},
                                           WindowsCase{"win98", "Windows 98"},
                                           WindowsCase{"win10", "Windows 10"}),
                         [](const auto& param) { return std::string(param.param.wineVersion); });

// ---- The machine's names, folders, processors and memory ----

TEST_F(InfoPanel, NamesFoldersAndProcessorsAreWhatTheSystemAnswersHere) {
    theme_->WriteSkin("Corvale.skn", PanelSkin(true));
    const std::vector<std::string> lines = PanelLines();
    ASSERT_GE(lines.size(), 15u) << "the panel was not filled";
    const size_t w = ColumnWidth(lines);
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    EXPECT_EQ(lines[3], Pair(Label(4), UserName(), w));
    EXPECT_EQ(lines[4],
              Pair(Label(5), Folder([](char* p) { return GetWindowsDirectoryA(p, MAX_PATH + 1); }), w));
    EXPECT_EQ(lines[5],
              Pair(Label(6), Folder([](char* p) { return GetSystemDirectoryA(p, MAX_PATH + 1); }), w));
    EXPECT_EQ(lines[6], Pair(Label(7), Folder([](char* p) { return GetTempPathA(MAX_PATH + 1, p); }), w));
    EXPECT_EQ(lines[7], Pair(Label(8), ComputerName(), w));
    EXPECT_EQ(lines[8], Pair(Label(9), std::to_string(system.dwNumberOfProcessors), w));
    EXPECT_EQ(lines[9], Pair(Label(10), "#" + std::to_string(system.dwActiveProcessorMask), w));
    EXPECT_EQ(lines[10], Pair(Label(11), ProcessorText(system.dwProcessorType), w));

    // Memory in kilobytes, right-aligned in twelve characters; the total of
    // physical memory does not move between the two queries.
    MEMORYSTATUSEX memory{};
    memory.dwLength = sizeof memory;
    ASSERT_TRUE(GlobalMemoryStatusEx(&memory));
    EXPECT_EQ(lines[11], Pad(Label(12), w) + " " + PadRight(LocaleKilobytes(memory.ullTotalPhys), 12));
    for (size_t i = 12; i < 15; ++i) ShownKilobytes(lines[i], Label(static_cast<int>(i) + 1), w);
}

TEST_F(InfoPanel, TheSixtyFourBitProgramShowsItsVirtualSizeWhole) {
    // The 64-bit build lies beside the 32-bit one, in the build tree.
    const std::filesystem::path program =
        NextToThisProgram(L"corvale.exe").parent_path().parent_path() / L"win64" / L"corvale.exe";
    DWORD kind = 0;
    if (!GetBinaryTypeW(program.c_str(), &kind) || kind != SCS_64BIT_BINARY)
        GTEST_SKIP() << "no 64-bit build at " << program.string();
    const EnvironmentVariable exe(L"CORVALE_EXE", program.wstring());
    theme_->WriteSkin("Corvale.skn", PanelSkin(true));
    const std::vector<std::string> lines = PanelLines();
    ASSERT_GE(lines.size(), 15u) << "the panel was not filled";
    const size_t w = ColumnWidth(lines);
    MEMORYSTATUSEX memory{};
    memory.dwLength = sizeof memory;
    ASSERT_TRUE(GlobalMemoryStatusEx(&memory));
    EXPECT_EQ(lines[11], Pad(Label(12), w) + " " + PadRight(LocaleKilobytes(memory.ullTotalPhys), 12));
    for (size_t i = 12; i < 15; ++i) ShownKilobytes(lines[i], Label(static_cast<int>(i) + 1), w);
    // A 64-bit process's space is terabytes (8 on Windows 7, 128 since):
    // more than twelve characters of kilobytes, which a cut would shorten.
    const unsigned long long virtualSize = ShownKilobytes(lines[13], Label(14), w);
    EXPECT_GE(virtualSize, 4ull << 30) << lines[13];
    EXPECT_GT(lines[13].size(), w + 13) << lines[13];
}

// ---- The suite's programs ----

TEST_F(InfoPanel, EachProgramOfTheSuitesFolderShowsItsProductVersionAndDate) {
    const std::filesystem::path root = theme_->RootPath();
    std::filesystem::copy_file(NextToThisProgram(L"corvale_e2e_versioned.exe"), root / L"alpha.exe");
    std::filesystem::copy_file(NextToThisProgram(L"corvale_e2e_plain.exe"), root / L"beta.exe");
    SetLocalWriteDate(root / L"alpha.exe", 2021, 3, 4);
    SetLocalWriteDate(root / L"beta.exe", 2019, 11, 30);
    theme_->WriteSkin("Corvale.skn", PanelSkin(true));
    const std::vector<std::string> lines = PanelLines();
    ASSERT_GE(lines.size(), 20u) << "the panel was not filled";
    const size_t w = ColumnWidth(lines);
    const size_t first = EmptyLine(lines, 1), second = EmptyLine(lines, 2);
    ASSERT_EQ(first, 15u) << Join(lines);
    ASSERT_EQ(second, first + 3) << "not two program lines between the empty lines\n" << Join(lines);
    EXPECT_EQ(lines[first + 1], Pair("alpha.exe", "Version 1.2.3.4 20210304", w));
    EXPECT_EQ(lines[first + 2], Pair("beta.exe", "Version  20191130", w));
}

// ---- The drives ----

TEST_F(InfoPanel, DriveCountersAndOneBlockPerDriveFollowTheSystemsAnswers) {
    theme_->WriteSkin("Corvale.skn", PanelSkin(true));
    const std::vector<std::string> lines = PanelLines();
    const std::vector<DriveFacts> drives = Drives();
    ASSERT_FALSE(drives.empty());
    const size_t w = ColumnWidth(lines);
    const size_t counters = EmptyLine(lines, 2) + 1;
    ASSERT_EQ(lines.size(), counters + 5 + drives.size() * 7) << Join(lines);

    const UINT types[] = {DRIVE_REMOVABLE, DRIVE_FIXED, DRIVE_CDROM, DRIVE_RAMDISK, DRIVE_REMOTE};
    for (int i = 0; i < 5; ++i) {
        const auto count = std::count_if(drives.begin(), drives.end(),
                                         [&](const DriveFacts& d) { return d.type == types[i]; });
        EXPECT_EQ(lines[counters + i], Pair(Label(16 + i), std::to_string(count), w));
    }

    size_t at = counters + 5;
    for (const DriveFacts& d : drives) {
        SCOPED_TRACE("drive " + d.name);
        EXPECT_EQ(lines[at], "");
        EXPECT_EQ(lines[at + 1], Pad(Label(21) + " " + d.name, w));
        EXPECT_EQ(lines[at + 2], Pad(Label(22), w) + " " + KindLabel(d.type, true));
        const unsigned long long total = d.spaceKnown ? d.total.QuadPart : 0;
        const std::string t = GroupedByDots(total);
        EXPECT_EQ(lines[at + 3], Pair(Label(23), t + " Bytes", w));
        // Free space moves while the tests write files: the number may
        // differ a little, its alignment under the total not at all.
        const std::string freeLine = lines[at + 4];
        EXPECT_EQ(freeLine.substr(0, w + 1), Pad(Label(24), w) + " ");
        const std::string freeValue = freeLine.substr(std::min(freeLine.size(), w + 1));
        EXPECT_EQ(freeValue.find(" Bytes"), t.size()) << "the free bytes are not aligned under the total";
        std::string digits;
        for (char ch : freeValue.substr(0, t.size()))
            if (ch != '.' && ch != ' ') digits += ch;
        const double shown = digits.empty() ? -1 : std::stod(digits);
        const double free = d.spaceKnown ? static_cast<double>(d.free.QuadPart) : 0;
        EXPECT_NEAR(shown, free, std::max(free * 0.02, 256.0 * 1024 * 1024)) << freeLine;
        if (total == 0 && free == 0) {
            EXPECT_EQ(lines[at + 5], Pair(Label(25), Label(32), w));
            EXPECT_EQ(lines[at + 6], Pair(Label(26), "0000-0000", w));
        } else {
            const std::string label = d.label ? (d.label->empty() ? "NoName" : *d.label) : "";
            EXPECT_EQ(lines[at + 5], Pair(Label(25), label, w));
            EXPECT_EQ(lines[at + 6], Pair(Label(26), d.serial ? SerialText(*d.serial) : "0000-0000", w));
        }
        at += 7;
    }
}

}  // namespace
}  // namespace corvale::e2e
