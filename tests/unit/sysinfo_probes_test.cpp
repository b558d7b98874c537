// The probes' texts from the system's raw answers, over the fake probes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "sysinfo/probes.h"
#include "tests/fake/fake_probes.h"

namespace corvale {
namespace {

using fake::FakeDrive;
using fake::FakeProbes;

TEST(SysinfoProbes_OsName, NamesEverySystemOfTheTable) {
    struct Case {
        OsVersion os;
        const char* expected;
    };
    const Case cases[] = {
        {{1, 4, 0, 0x040003B6}, "Windows 95"},
        {{1, 4, 10, 0x040A08AE}, "Windows 98"},
        {{1, 4, 90, 0x045A0BB8}, "Windows ME"},
        {{1, 5, 0, 0}, "Windows 98"},
        {{1, 7, 3, 0}, "Windows 98"},
        {{1, 4, 3, 0}, "Unknown"},
        {{1, 3, 10, 0}, "Unknown"},
        {{2, 3, 51, 1057}, "Windows NT"},
        {{2, 4, 0, 1381}, "Windows NT"},
        {{2, 5, 0, 2195}, "Windows 2000"},
        {{2, 5, 1, 2600}, "Windows XP"},
        {{2, 5, 2, 3790}, "Windows XP"},
        {{2, 6, 0, 6002}, "Windows Vista"},
        {{2, 6, 1, 7601}, "Windows 7"},
        {{2, 6, 2, 9200}, "Windows 8"},
        {{2, 6, 3, 9600}, "Windows 8.1"},
        {{2, 10, 0, 19045}, "Windows 10"},
        {{2, 10, 0, 21999}, "Windows 10"},
        {{2, 10, 0, 22000}, "Windows 11"},
        {{2, 10, 0, 26100}, "Windows 11"},
        // Versions no row names.
        {{2, 6, 4, 9841}, "Unknown"},
        {{2, 10, 1, 30000}, "Unknown"},
        {{2, 11, 0, 30000}, "Unknown"},
        {{0, 3, 10, 0}, "Unknown"},
        {{3, 5, 0, 0}, "Unknown"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OsName(c.os), c.expected)
            << c.os.platformId << " " << c.os.major << "." << c.os.minor << " build " << c.os.build;
}

TEST(SysinfoProbes_OsFacts, VersionIsMajorDotMinorAndBuildIsTheWholeField) {
    FakeProbes probes;
    probes.os = OsVersion{1, 4, 10, 0x040A08AE};
    OsFacts facts = GetOsFacts(probes);
    EXPECT_EQ(facts.name, "Windows 98");
    EXPECT_EQ(facts.version, "4.10");
    EXPECT_EQ(facts.build, "67766446");  // 0x040A08AE: the version sits in the upper half
    EXPECT_EQ(facts.buildNumber, 0x040A08AEu);

    probes.os = OsVersion{2, 10, 0, 22631};
    facts = GetOsFacts(probes);
    EXPECT_EQ(facts.name, "Windows 11");
    EXPECT_EQ(facts.version, "10.0");
    EXPECT_EQ(facts.build, "22631");
}

TEST(SysinfoProbes_OsFacts, AFailedQueryIsUnknownWithAnEmptyRecord) {
    FakeProbes probes;
    probes.os.reset();
    const OsFacts facts = GetOsFacts(probes);
    EXPECT_EQ(facts.name, "Unknown");
    EXPECT_EQ(facts.version, "0.0");
    EXPECT_EQ(facts.build, "0");
    EXPECT_EQ(facts.buildNumber, 0u);
}

TEST(SysinfoProbes_IsWindowsNT, IsTrueOnlyForPlatformTwo) {
    FakeProbes probes;
    probes.os = OsVersion{2, 4, 0, 1381};
    EXPECT_TRUE(IsWindowsNT(probes));
    probes.os = OsVersion{1, 4, 10, 0};
    EXPECT_FALSE(IsWindowsNT(probes));
    probes.os = OsVersion{3, 10, 0, 0};
    EXPECT_FALSE(IsWindowsNT(probes));
    probes.os.reset();
    EXPECT_FALSE(IsWindowsNT(probes));
}

TEST(SysinfoProbes_Names, AskWithFiftyCharactersAndCutAtTheNul) {
    FakeProbes probes;
    probes.userName = "alice";
    probes.computerName = "WORKSTATION-7";
    EXPECT_EQ(GetUserNameText(probes), "alice");
    EXPECT_EQ(GetComputerNameText(probes), "WORKSTATION-7");
    EXPECT_EQ(probes.calls, (std::vector<std::string>{"UserName 50", "ComputerName 50"}));

    probes.userName = std::string(49, 'u');  // with its NUL, exactly the buffer
    EXPECT_EQ(GetUserNameText(probes), std::string(49, 'u'));
    probes.userName = std::string(50, 'u');  // needs more than the buffer: the query fails
    EXPECT_EQ(GetUserNameText(probes), "");
    probes.userName.reset();
    probes.computerName.reset();
    EXPECT_EQ(GetUserNameText(probes), "");
    EXPECT_EQ(GetComputerNameText(probes), "");
}

TEST(SysinfoProbes_Folders, ShortPathsTakeOneQuery) {
    FakeProbes probes;
    probes.windowsDir = "C:\\WINDOWS";
    probes.systemDir = "C:\\WINDOWS\\system32";
    probes.tempDir = "C:\\Users\\alice\\AppData\\Local\\Temp\\";
    EXPECT_EQ(GetWindowsDirText(probes), "C:\\WINDOWS");
    EXPECT_EQ(GetSystemDirText(probes), "C:\\WINDOWS\\system32");
    EXPECT_EQ(GetTempDirText(probes), "C:\\Users\\alice\\AppData\\Local\\Temp\\");
    EXPECT_EQ(probes.calls,
              (std::vector<std::string>{"WindowsDirectory 260", "SystemDirectory 260", "TempPath 260"}));
}

TEST(SysinfoProbes_Folders, ALongPathIsAskedAgainWithTheLengthItNeeds) {
    struct Case {
        std::size_t length;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {259, {"TempPath 260"}},
        {260, {"TempPath 260", "TempPath 261"}},
        {300, {"TempPath 260", "TempPath 301"}},
    };
    for (const Case& c : cases) {
        FakeProbes probes;
        const std::string path = "C:\\" + std::string(c.length - 4, 't') + "\\";
        probes.tempDir = path;
        EXPECT_EQ(GetTempDirText(probes), path) << c.length;
        EXPECT_EQ(probes.calls, c.calls) << c.length;
    }
}

TEST(SysinfoProbes_Folders, AFailedQueryGivesAnEmptyText) {
    FakeProbes probes;
    probes.windowsDir.reset();
    probes.systemDir.reset();
    probes.tempDir.reset();
    EXPECT_EQ(GetWindowsDirText(probes), "");
    EXPECT_EQ(GetSystemDirText(probes), "");
    EXPECT_EQ(GetTempDirText(probes), "");
    EXPECT_EQ(probes.calls.size(), 3u);  // a failure is not asked again
}

TEST(SysinfoProbes_Processors, CountAndMaskInDecimalAndNameFromTheTable) {
    FakeProbes probes;
    probes.processors = {16, 0xFFFF, 586};
    EXPECT_EQ(GetProcessorCount(probes), "16");
    EXPECT_EQ(GetProcessorMask(probes), "65535");
    EXPECT_EQ(GetProcessorName(probes), "Intel Pentium");
    probes.processors.activeMask = 0xFFFFFFFFFFFFFFFFull;  // unsigned, all 64 bits
    EXPECT_EQ(GetProcessorMask(probes), "18446744073709551615");

    const std::pair<std::uint32_t, const char*> names[] = {
        {386, "Intel 386"},         {486, "Intel 486"},  {586, "Intel Pentium"}, {4000, "MIPS R4000"},
        {21064, "DEC Alpha 21064"}, {8664, "(unknown)"}, {0, "(unknown)"},       {2200, "(unknown)"},
    };
    for (const auto& [type, name] : names) EXPECT_EQ(ProcessorName(type), name) << type;
}

TEST(SysinfoProbes_Processors, TheSystemsOwnNameTrimmedComesBeforeTheTable) {
    const std::pair<std::optional<std::string>, const char*> cases[] = {
        {"AMD Ryzen 7 5800X 8-Core Processor", "AMD Ryzen 7 5800X 8-Core Processor"},
        {"       Intel(R) Pentium(R) 4 CPU 2.80GHz  ", "Intel(R) Pentium(R) 4 CPU 2.80GHz"},  // padded
        {std::string("Name\0junk", 9), "Name"},
        {std::nullopt, "Intel Pentium"},  // no name: the table
        {"   ", "Intel Pentium"},
    };
    for (const auto& [name, shown] : cases) {
        FakeProbes probes;
        probes.processorName = name;
        EXPECT_EQ(GetProcessorName(probes), shown) << name.value_or("(none)");
    }
}

TEST(SysinfoProbes_Memory, KilobytesGroupedWithTheLocaleSeparator) {
    struct Case {
        std::uint64_t bytes;
        const char* separator;
        const char* expected;
    };
    const Case cases[] = {
        {536313856, ",", "523,744K"},
        {536313856, ".", "523.744K"},
        {1023, ",", "K"},  // less than a kilobyte: the number is empty
        {0, ".", "K"},
        {1024, ",", "1K"},
        {4294967295ull, ",", "4,194,303K"},
        // Above 4 GB the sizes are still true.
        {17179869184ull, ",", "16,777,216K"},
        {17179869184ull, ".", "16.777.216K"},
        {1099511627776ull, ",", "1,073,741,824K"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatKilobytes(c.bytes, c.separator), c.expected) << c.bytes;
}

TEST(SysinfoProbes_Memory, ReadsTheFourSizesInTheirOrder) {
    FakeProbes probes;
    probes.memory = MemoryFacts{8ull << 30, 3ull << 30, 128ull << 40, 2048000};
    probes.thousandsSeparator = ".";
    const MemoryTexts texts = GetMemoryTexts(probes);
    EXPECT_EQ(texts.totalPhys, "8.388.608K");
    EXPECT_EQ(texts.availPhys, "3.145.728K");
    EXPECT_EQ(texts.totalVirtual, "137.438.953.472K");
    EXPECT_EQ(texts.availVirtual, "2.000K");
    EXPECT_EQ(std::count(probes.calls.begin(), probes.calls.end(), "Memory"), 1);
}

TEST(SysinfoProbes_Memory, FailuresFallBackToACommaAndEmptySizes) {
    FakeProbes probes;
    probes.memory = MemoryFacts{2048000, 0, 0, 0};
    probes.thousandsSeparator.reset();
    EXPECT_EQ(GetMemoryTexts(probes).totalPhys, "2,000K");
    probes.memory.reset();
    const MemoryTexts texts = GetMemoryTexts(probes);
    EXPECT_EQ(texts.totalPhys, "K");
    EXPECT_EQ(texts.availVirtual, "K");
}

TEST(SysinfoProbes_FileVersion, ProductVersionAsFourNumbersOrTheFailureText) {
    using Status = FileVersionAnswer::Status;
    FakeProbes probes;
    probes.fileVersions["C:\\app\\xp.exe"] = {Status::Found, 0x00050001, 0x0A280000};
    probes.fileVersions["C:\\app\\max.exe"] = {Status::Found, 0xFFFFFFFF, 0xFFFF0000};
    probes.fileVersions["C:\\app\\broken.exe"] = {Status::Failed, 0x00010002, 0x00030004};
    EXPECT_EQ(GetFileVersionText(probes, "C:\\app\\xp.exe"), "5.1.2600.0");
    EXPECT_EQ(GetFileVersionText(probes, "c:\\APP\\xp.exe"), "5.1.2600.0");
    EXPECT_EQ(GetFileVersionText(probes, "C:\\app\\max.exe"), "65535.65535.65535.0");
    EXPECT_EQ(GetFileVersionText(probes, "C:\\app\\broken.exe"), "N/A");
    EXPECT_EQ(GetFileVersionText(probes, "C:\\app\\plain.exe"), "");
}

TEST(SysinfoProbes_Drives, EachTypeCountsAndNamesItsOwnKind) {
    struct Case {
        int type;
        const char* kind;
        long removable, fixed, cdrom, ramdisk, network;
    };
    const Case cases[] = {
        {0, "", 0, 0, 0, 0, 0},       {1, "", 0, 0, 0, 0, 0},      {2, "floppy", 1, 0, 0, 0, 0},
        {3, "disk", 0, 1, 0, 0, 0},   {4, "share", 0, 0, 0, 0, 1}, {5, "disc", 0, 0, 1, 0, 0},
        {6, "memory", 0, 0, 0, 1, 0}, {7, "", 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        FakeProbes probes;
        probes.drives['E'] = FakeDrive{c.type};
        InfoPanelState state;
        state.DriveKindRemovable = "floppy";
        state.DriveKindFixed = "disk";
        state.DriveKindCdRom = "disc";
        state.DriveKindRamDisk = "memory";
        state.DriveKindNetwork = "share";
        CountDriveType(probes, state, "e:\\");
        EXPECT_EQ(GetDriveKindText(probes, state, "e:\\"), c.kind) << c.type;
        EXPECT_EQ(state.RemovableDriveCount, c.removable) << c.type;
        EXPECT_EQ(state.FixedDriveCount, c.fixed) << c.type;
        EXPECT_EQ(state.CdRomDriveCount, c.cdrom) << c.type;
        EXPECT_EQ(state.RamDiskDriveCount, c.ramdisk) << c.type;
        EXPECT_EQ(state.NetworkDriveCount, c.network) << c.type;
    }
}

TEST(SysinfoProbes_DiskSpace, BuildsBelow1111UseTheClusterQuery) {
    FakeProbes probes;
    // 64 sectors of 512 bytes, four million clusters: past 32 bits.
    probes.drives['C'] = FakeDrive{3, ClusterCounts{64, 512, 1000000, 4000000}, ByteCounts{111, 22}};
    InfoPanelState state;
    struct Case {
        long build;
        std::uint64_t total, free;
        const char* query;
    };
    const Case cases[] = {
        {0, 131072000000, 32768000000, "DiskClusters c:\\"},
        {1110, 131072000000, 32768000000, "DiskClusters c:\\"},
        {1111, 111, 22, "DiskBytes c:\\"},
        {2600, 111, 22, "DiskBytes c:\\"},
        {0x040A08AE, 111, 22, "DiskBytes c:\\"},
    };
    for (const Case& c : cases) {
        probes.calls.clear();
        state.OsBuildNumber = c.build;
        const DiskSpace space = GetDiskSpace(probes, state, "c:\\");
        EXPECT_EQ(space.total, c.total) << c.build;
        EXPECT_EQ(space.free, c.free) << c.build;
        EXPECT_EQ(probes.calls, std::vector<std::string>{c.query}) << c.build;
    }
}

TEST(SysinfoProbes_DiskSpace, SixtyFourBitCountsAndFailures) {
    FakeProbes probes;
    probes.drives['D'] = FakeDrive{3, std::nullopt, ByteCounts{18000000000000ull, 9007199254740993ull}};
    // Cluster counts whose product would wrap 64 bits are held at the top.
    probes.drives['E'] = FakeDrive{3, ClusterCounts{0xFFFFFFFFu, 0xFFFFFFFFu, 1, 0xFFFFFFFFu}};
    probes.drives['A'] = FakeDrive{2};  // no medium: both queries fail
    InfoPanelState state;
    state.OsBuildNumber = 19045;
    DiskSpace space = GetDiskSpace(probes, state, "d:\\");
    EXPECT_EQ(space.total, 18000000000000ull);
    EXPECT_EQ(space.free, 9007199254740993ull);
    space = GetDiskSpace(probes, state, "a:\\");
    EXPECT_EQ(space.total, 0u);
    EXPECT_EQ(space.free, 0u);
    state.OsBuildNumber = 950;
    space = GetDiskSpace(probes, state, "a:\\");
    EXPECT_EQ(space.total, 0u);
    EXPECT_EQ(space.free, 0u);
    space = GetDiskSpace(probes, state, "e:\\");
    EXPECT_EQ(space.total, 18446744073709551615ull);
    EXPECT_EQ(space.free, 18446744065119617025ull);  // one cluster of (2^32 - 1)^2 bytes
}

TEST(SysinfoProbes_Volume, LabelTextsBlankAndFailure) {
    using namespace std::string_literals;
    FakeProbes probes;
    const std::pair<std::optional<std::string>, const char*> cases[] = {
        {"SYSTEM"s, "SYSTEM"}, {"My Disk"s, "My Disk"}, {""s, "NoName"},
        {"\0junk"s, "NoName"}, {"AB\0CD"s, "AB"},       {std::nullopt, ""},
    };
    for (const auto& [label, expected] : cases) {
        probes.drives['C'] = FakeDrive{3, std::nullopt, std::nullopt, label};
        EXPECT_EQ(GetVolumeLabelText(probes, "c:\\"), expected) << label.value_or("(failed)");
    }
}

TEST(SysinfoProbes_Volume, SerialAsTwoGroupsOfFourUpperCaseHexDigits) {
    const std::pair<std::optional<std::uint32_t>, const char*> cases[] = {
        {0xABCu, "0000-0ABC"}, {0xDEADBEEFu, "DEAD-BEEF"}, {0x1A2B3C4Du, "1A2B-3C4D"},
        {0u, "0000-0000"},     {0xFFFFFFFFu, "FFFF-FFFF"}, {std::nullopt, "0000-0000"},
    };
    FakeProbes probes;
    for (const auto& [serial, expected] : cases) {
        probes.drives['C'] = FakeDrive{3, std::nullopt, std::nullopt, std::nullopt, serial};
        EXPECT_EQ(GetVolumeSerialText(probes, "c:\\"), expected);
    }
}

}  // namespace
}  // namespace corvale
