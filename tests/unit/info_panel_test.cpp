// The information panel: its column width, its lines in order, and what it
// shows when drives, programs or the box itself are missing or odd.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "sysinfo/info_panel.h"
#include "tests/fake/fake_platform.h"

namespace corvale {
namespace {

using fake::FakeControl;
using fake::FakeDrive;
using fake::FakeForm;

constexpr const char* kSkin = "C:\\Panel\\Blue\\corvale.skn";

constexpr const char* kLabels =
    "[INFO]\n"
    "01=System\n02=Version\n03=Build\n04=User\n05=Windows\n"
    "06=Folder of the system's own files\n07=Temp\n08=Computer\n09=CPUs\n10=CPU mask\n11=CPU\n"
    "12=Memory\n13=Memory free\n14=Virtual\n15=Virtual free\n"
    "16=Removable\n17=Fixed\n18=CD-ROM\n19=RAM disk\n20=Network\n"
    "21=Drive\n22=Kind\n23=Size\n24=Free\n25=Label\n26=Serial\n"
    "27=Floppy\n28=Hard disk\n29=CD-ROM drive\n30=RAM disk\n31=Network share\n32=No medium\n";

// Splits on CR LF only, so a stray LF or CR would show up inside a line.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find("\r\n", start);
        lines.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos) return lines;
        start = at + 2;
    }
}

class InfoPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ctx.g.ProgramDir = "C:\\Panel";
        ctx.g.ThemeDir = "\\Blue\\";
        ctx.g.LayoutSkinName = "corvale";
        os.profile.SetFile(kSkin, kLabels);
        box = Form().Get(ControlArray::txtBox, 0);
        box->fontName = "Lucida Console";
        box->fontSize = 10;  // a space of 120 twips in the fake font
        SetColumnWidth(26);
        box->text = "what the skin put there";

        auto& probes = os.probes;
        probes.os = OsVersion{2, 5, 1, 2600};
        probes.userName = "alice";
        probes.windowsDir = "C:\\WINDOWS";
        probes.systemDir = "C:\\WINDOWS\\system32";
        probes.tempDir = "C:\\TEMP\\";
        probes.computerName = "DESK";
        probes.processors = {2, 3, 586};
        probes.memory = MemoryFacts{536313856, 104857600, 2147352576, 2000000000};
        probes.thousandsSeparator = ",";
        probes.drives['C'] =
            FakeDrive{3, std::nullopt, ByteCounts{80023715840ull, 734003200}, "SYSTEM", 0x1A2B3C4D};
        probes.drives['D'] = FakeDrive{5};  // a CD-ROM drive without a disc

        os.files.Put("C:\\Panel\\corvale.exe", std::string("MZ"), {2024, 3, 5});
        os.files.Put("C:\\Panel\\alpha.exe", std::string("MZ"), {2023, 12, 31});
        os.files.Put("C:\\Panel\\readme.txt", std::string("hi"), {2024, 1, 1});
        probes.fileVersions["C:\\Panel\\corvale.exe"] = {FileVersionAnswer::Status::Found, 0x00010002,
                                                         0x00030004};
    }

    // A box as wide as 2 * width + 4 spaces of its font.
    void SetColumnWidth(long width) { box->width = static_cast<int>((2 * width + 4) * 120 / 15); }

    std::string Fill() {
        FillInfoPanel(ctx, Form(), box, state);
        return box->text;
    }

    // A cell of W characters; a test that needs a cut writes it out itself.
    std::string Cell(const std::string& text, std::size_t width = 26) {
        EXPECT_LE(text.size(), width) << text;
        return text + std::string(width - std::min(width, text.size()), ' ');
    }
    std::string Pair(const std::string& label, const std::string& value) {
        return Cell(label) + " " + Cell(value);
    }

    FakeForm& Form() { return *form; }

    fake::FakePlatform os;
    Context ctx{os.bundle};
    FormEvents events;
    std::unique_ptr<FakeForm> form{
        static_cast<FakeForm*>(os.toolkit.CreateForm(FormKind::Main, events).release())};
    FakeControl* box = nullptr;
    InfoPanelState state;
};

TEST_F(InfoPanelTest, AMachineWithAFixedDiskAndAnEmptyCdRomDrive) {
    const std::vector<std::string> expected = {
        Pair("System", "Windows XP"),
        Pair("Version", "5.1"),
        Pair("Build", "2600"),
        Pair("User", "alice"),
        Pair("Windows", "C:\\WINDOWS"),
        "Folder of the system's own " + Cell("C:\\WINDOWS\\system32"),
        Pair("Temp", "C:\\TEMP\\"),
        Pair("Computer", "DESK"),
        Pair("CPUs", "2"),
        Pair("CPU mask", "#3"),
        Pair("CPU", "Intel Pentium"),
        Cell("Memory") + "     523,744K",
        Cell("Memory free") + "     102,400K",
        Cell("Virtual") + "   2,097,024K",
        Cell("Virtual free") + "   1,953,125K",
        "",
        Pair("alpha.exe", "Version  20231231"),
        Pair("corvale.exe", "Version 1.2.3.4 20240305"),
        "",
        Pair("Removable", "0"),
        Pair("Fixed", "1"),
        Pair("CD-ROM", "1"),
        Pair("RAM disk", "0"),
        Pair("Network", "0"),
        "",
        Cell("Drive c:"),
        Cell("Kind") + " Hard disk",
        Pair("Size", "80.023.715.840 Bytes"),
        Pair("Free", "   734.003.200 Bytes"),
        Pair("Label", "SYSTEM"),
        Pair("Serial", "1A2B-3C4D"),
        "",
        Cell("Drive d:"),
        Cell("Kind") + " CD-ROM drive",
        Pair("Size", "0 Bytes"),
        Pair("Free", "0 Bytes"),
        Pair("Label", "No medium"),
        Pair("Serial", "0000-0000"),
    };
    EXPECT_EQ(Lines(Fill()), expected);
    // The drive without a disc is not asked for a label or a serial number.
    const auto& calls = os.probes.calls;
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "VolumeLabel d:\\"), 0);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "VolumeSerial d:\\"), 0);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "VolumeLabel c:\\"), 1);
}

TEST_F(InfoPanelTest, LeavesTheBuildNumberCountersAndKindTextsBehind) {
    state.FixedDriveCount = 7;
    state.NetworkDriveCount = 3;
    Fill();
    EXPECT_EQ(state.OsBuildNumber, 2600);
    EXPECT_EQ(state.RemovableDriveCount, 0);
    EXPECT_EQ(state.FixedDriveCount, 1);
    EXPECT_EQ(state.CdRomDriveCount, 1);
    EXPECT_EQ(state.RamDiskDriveCount, 0);
    EXPECT_EQ(state.NetworkDriveCount, 0);
    EXPECT_EQ(state.DriveKindRemovable, "Floppy");
    EXPECT_EQ(state.DriveKindFixed, "Hard disk");
    EXPECT_EQ(state.DriveKindCdRom, "CD-ROM drive");
    EXPECT_EQ(state.DriveKindRamDisk, "RAM disk");
    EXPECT_EQ(state.DriveKindNetwork, "Network share");
}

TEST_F(InfoPanelTest, TheBuildNumberChoosesTheDiskSpaceQuery) {
    os.probes.drives.erase('D');
    os.probes.drives['C'].clusters = ClusterCounts{8, 512, 1000, 4000};
    struct Case {
        OsVersion os;
        const char* query;
        const char* size;
    };
    const Case cases[] = {
        {{2, 3, 51, 1057}, "DiskClusters c:\\", "16.384.000 Bytes"},
        {{2, 4, 0, 1110}, "DiskClusters c:\\", "16.384.000 Bytes"},
        {{2, 4, 0, 1111}, "DiskBytes c:\\", "80.023.715.840 Bytes"},
        {{1, 4, 10, 0x040A08AE}, "DiskBytes c:\\", "80.023.715.840 Bytes"},
    };
    for (const Case& c : cases) {
        os.probes.os = c.os;
        os.probes.calls.clear();
        const std::vector<std::string> lines = Lines(Fill());
        EXPECT_EQ(state.OsBuildNumber, static_cast<long>(c.os.build));
        const auto& calls = os.probes.calls;
        EXPECT_EQ(std::count(calls.begin(), calls.end(), c.query), 1) << c.os.build;
        EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                                [](const std::string& call) { return call.rfind("Disk", 0) == 0; }),
                  1)
            << c.os.build;
        ASSERT_GE(lines.size(), 5u);
        EXPECT_EQ(lines[lines.size() - 4], Pair("Size", c.size)) << c.os.build;
    }
}

TEST_F(InfoPanelTest, WithoutAnInfoSectionEveryLabelIsBlankAndEveryValueStillFollows) {
    os.profile.SetFile(kSkin, "[DEFAULT]\nBackGround=0,0,0\n");
    const std::vector<std::string> lines = Lines(Fill());
    const std::string blank(26, ' ');
    ASSERT_EQ(lines.size(), 38u);
    EXPECT_EQ(lines[0], blank + " " + Cell("Windows XP"));
    EXPECT_EQ(lines[11], blank + "     523,744K");
    EXPECT_EQ(lines[19], blank + " " + Cell("0"));
    EXPECT_EQ(lines[25], Cell(" c:"));
    EXPECT_EQ(lines[26], blank + " ");  // no kind text for the fixed drive either
    EXPECT_EQ(lines[29], blank + " " + Cell("SYSTEM"));
    EXPECT_EQ(lines[36], blank + " " + Cell(""));  // the no-medium text is empty too
}

TEST_F(InfoPanelTest, FolderWithoutProgramsMissingOrUnsetLeavesTwoEmptyLines) {
    for (const std::string folder : {"C:\\Empty", "C:\\Missing", ""}) {
        ctx.g.ProgramDir = folder;
        os.profile.SetFile(folder + "\\Blue\\corvale.skn", kLabels);  // the theme lives in the folder too
        os.files.AddFolder("C:\\Empty");
        os.probes.calls.clear();
        const std::vector<std::string> lines = Lines(Fill());
        ASSERT_EQ(lines.size(), 36u) << folder;
        EXPECT_EQ(lines[14], Cell("Virtual free") + "   1,953,125K") << folder;
        EXPECT_EQ(lines[15], "") << folder;
        EXPECT_EQ(lines[16], "") << folder;
        EXPECT_EQ(lines[17], Pair("Removable", "0")) << folder;
        for (const std::string& call : os.probes.calls) EXPECT_NE(call.rfind("FileVersion", 0), 0u) << call;
    }
}

TEST_F(InfoPanelTest, ProgramPathsJoinTheFolderWithABackslashEvenAfterOne) {
    ctx.g.ProgramDir = "C:\\Panel\\";
    Fill();
    const auto& calls = os.probes.calls;
    const std::vector<std::string> asked(
        std::find_if(calls.begin(), calls.end(),
                     [](const std::string& c) { return c.rfind("FileVersion", 0) == 0; }),
        calls.end());
    ASSERT_GE(asked.size(), 2u);
    EXPECT_EQ(asked[0], "FileVersion C:\\Panel\\\\alpha.exe");
    EXPECT_EQ(asked[1], "FileVersion C:\\Panel\\\\corvale.exe");
}

TEST_F(InfoPanelTest, AnUnreadableVersionShowsNotAvailable) {
    os.probes.fileVersions["C:\\Panel\\alpha.exe"] = {FileVersionAnswer::Status::Failed, 0, 0};
    EXPECT_EQ(Lines(Fill())[16], Pair("alpha.exe", "Version N/A 20231231"));
}

TEST_F(InfoPanelTest, LongLabelsAreCutToTheColumnButValuesAreShownWhole) {
    SetColumnWidth(8);
    // The 64-bit build's virtual size, about 128 TB: 137,438,953,344K.
    os.probes.memory = MemoryFacts{1ull << 50, 0, 140737488224256ull, 0};
    os.probes.processors = {64, 0xFFFFFFFFFFFFFFFFull, 586};
    const std::vector<std::string> lines = Lines(Fill());
    EXPECT_EQ(lines[0], "System   Windows XP");
    EXPECT_EQ(lines[5], "Folder o C:\\WINDOWS\\system32");
    EXPECT_EQ(lines[9], "CPU mask #18446744073709551615");
    EXPECT_EQ(lines[11], "Memory   1,099,511,627,776K");
    EXPECT_EQ(lines[12], "Memory f            K");  // the others keep twelve characters
    EXPECT_EQ(lines[13], "Virtual  137,438,953,344K");
    EXPECT_EQ(lines[17], "corvale.exe Version 1.2.3.4 20240305");  // a program's name is a value too
    EXPECT_EQ(lines[25], "Drive c:");
    EXPECT_EQ(lines[26], "Kind     Hard disk");  // the kind text is never cut
    EXPECT_EQ(lines[27], "Size     80.023.715.840 Bytes");
    EXPECT_EQ(lines[28], "Free        734.003.200 Bytes");
}

TEST_F(InfoPanelTest, DriveFiguresKeepEveryDigitPastTheRangeOfADouble) {
    os.probes.drives.erase('D');
    // 2^53 + 1 and the largest count: a double would show ...992 and ...616.
    os.probes.drives['C'].bytes = ByteCounts{18446744073709551615ull, 9007199254740993ull};
    SetColumnWidth(30);
    const std::vector<std::string> lines = Lines(Fill());
    EXPECT_EQ(lines[lines.size() - 4], Cell("Size", 30) + " " + Cell("18.446.744.073.709.551.615 Bytes", 32));
    EXPECT_EQ(lines[lines.size() - 3], Cell("Free", 30) + " " + Cell("     9.007.199.254.740.993 Bytes", 32));
    // More free than total bytes: both still whole.
    os.probes.drives['C'].bytes = ByteCounts{1000, 123456};
    const std::vector<std::string> odd = Lines(Fill());
    EXPECT_EQ(odd[odd.size() - 4], Cell("Size", 30) + " " + Cell("1.000 Bytes", 30));
    EXPECT_EQ(odd[odd.size() - 3], Cell("Free", 30) + " " + Cell("123.456 Bytes", 30));
}

TEST_F(InfoPanelTest, FreeSpaceIsRightAlignedUnderTheTotal) {
    os.probes.drives.erase('D');
    os.probes.drives['C'].bytes = ByteCounts{1000000, 12345};
    const std::vector<std::string> lines = Lines(Fill());
    EXPECT_EQ(lines[lines.size() - 4], Pair("Size", "1.000.000 Bytes"));
    EXPECT_EQ(lines[lines.size() - 3], Pair("Free", "   12.345 Bytes"));
}

TEST_F(InfoPanelTest, DrivesWithoutSpaceOrRootAreShownButNotCounted) {
    os.probes.drives.clear();
    os.probes.drives['A'] = FakeDrive{2};                                             // removable, no medium
    os.probes.drives['Q'] = FakeDrive{1};                                             // no root directory
    os.probes.drives['F'] = FakeDrive{3, std::nullopt, std::nullopt, "DATA", 0xABC};  // space query fails
    const std::vector<std::string> lines = Lines(Fill());
    EXPECT_EQ(state.RemovableDriveCount, 1);
    EXPECT_EQ(state.FixedDriveCount, 1);
    EXPECT_EQ(state.CdRomDriveCount + state.RamDiskDriveCount + state.NetworkDriveCount, 0);
    const std::vector<std::string> drives(lines.end() - 21, lines.end());
    const std::vector<std::string> expected = {
        "",
        Cell("Drive a:"),
        Cell("Kind") + " Floppy",
        Pair("Size", "0 Bytes"),
        Pair("Free", "0 Bytes"),
        Pair("Label", "No medium"),
        Pair("Serial", "0000-0000"),
        "",
        Cell("Drive f:"),
        Cell("Kind") + " Hard disk",
        Pair("Size", "0 Bytes"),
        Pair("Free", "0 Bytes"),
        Pair("Label", "No medium"),
        Pair("Serial", "0000-0000"),
        "",
        Cell("Drive q:"),
        Cell("Kind") + " ",
        Pair("Size", "0 Bytes"),
        Pair("Free", "0 Bytes"),
        Pair("Label", "No medium"),
        Pair("Serial", "0000-0000"),
    };
    EXPECT_EQ(drives, expected);
}

TEST_F(InfoPanelTest, AFullDiskStillShowsItsLabelAndSerial) {
    os.probes.drives.erase('D');
    os.probes.drives['C'].bytes = ByteCounts{1000000, 0};
    const std::vector<std::string> lines = Lines(Fill());
    EXPECT_EQ(lines[lines.size() - 3], Pair("Free", "        0 Bytes"));
    EXPECT_EQ(lines[lines.size() - 2], Pair("Label", "SYSTEM"));
    EXPECT_EQ(lines[lines.size() - 1], Pair("Serial", "1A2B-3C4D"));
}

TEST_F(InfoPanelTest, AVolumeWithABlankLabelShowsNoName) {
    os.probes.drives.erase('D');
    os.probes.drives['C'].label = "";
    const std::vector<std::string> lines = Lines(Fill());
    EXPECT_EQ(lines[lines.size() - 2], Pair("Label", "NoName"));
}

TEST_F(InfoPanelTest, MemoryUsesTheUsersThousandsSeparator) {
    os.probes.thousandsSeparator = ".";
    os.probes.memory = MemoryFacts{17179869184ull, 8589934592ull, 68719476736ull, 0};
    const std::vector<std::string> lines = Lines(Fill());
    EXPECT_EQ(lines[11], Cell("Memory") + "  16.777.216K");
    EXPECT_EQ(lines[12], Cell("Memory free") + "   8.388.608K");
    EXPECT_EQ(lines[13], Cell("Virtual") + "  67.108.864K");
    EXPECT_EQ(lines[14], Cell("Virtual free") + "            K");
}

TEST_F(InfoPanelTest, ANullBoxDoesNothing) {
    const std::string before = box->text;
    const int reads = os.profile.reads;
    EXPECT_EQ(FillInfoPanel(ctx, Form(), nullptr, state), "");
    EXPECT_EQ(box->text, before);
    EXPECT_EQ(os.profile.reads, reads);
    EXPECT_TRUE(os.probes.calls.empty());
    EXPECT_EQ(state.OsBuildNumber, 0);
    EXPECT_EQ(Form().fontName, "MS Sans Serif");
}

TEST_F(InfoPanelTest, ReturnsAnEmptyTextAndSetsTheBoxOnce) {
    EXPECT_EQ(FillInfoPanel(ctx, Form(), box, state), "");
    const auto& journal = os.toolkit.journal;
    EXPECT_EQ(
        std::count_if(journal.begin(), journal.end(),
                      [](const std::string& entry) { return entry.find(".Text ") != std::string::npos; }),
        1);
}

TEST_F(InfoPanelTest, ABoxNarrowerThanFourSpacesGivesAnEmptyColumn) {
    for (const int pixels : {0, 16, 31, 32, 47}) {  // 0 to 3.9 spaces, in 8-pixel spaces
        box->width = pixels;
        const std::vector<std::string> lines = Lines(Fill());
        ASSERT_EQ(lines.size(), 38u) << pixels;
        EXPECT_EQ(lines[0], " Windows XP") << pixels;
        EXPECT_EQ(lines[11], "     523,744K") << pixels;
        EXPECT_EQ(lines[16], "alpha.exe Version  20231231") << pixels;
        EXPECT_EQ(lines[25], "Drive c:") << pixels;
        EXPECT_EQ(lines[26], " Hard disk") << pixels;
    }
}

struct WidthCase {
    const char* what;
    int boxPixels;
    int twipsPerPixel;
    double fontSize;
    long expected;
};

TEST(InfoPanel_ColumnWidth, HalfTheSpacesTheBoxHoldsLessTwoEach) {
    // The fake font: a space is 12 twips per point.
    const WidthCase cases[] = {
        {"25 spaces", 200, 15, 10, 10},  // (25 - 4) / 2 = 10.5
        {"26 spaces", 208, 15, 10, 11},
        {"56 spaces", 448, 15, 10, 26},
        {"large fonts", 200, 12, 10, 8},  // 2400 twips: 20 spaces
        {"8 pt", 200, 15, 8, 13},         // 96 twips a space: 31.25 spaces
        // A space of 112.5 twips rounds half to even (112): 30 spaces, not 29.7.
        {"half-way space", 224, 15, 9.375, 13},
        {"just over four spaces", 33, 15, 10, 0},
        {"four spaces", 32, 15, 10, 0},
        {"three spaces", 24, 15, 10, 0},
        {"no width", 0, 15, 10, 0},
        {"six spaces", 48, 15, 10, 1},
    };
    for (const WidthCase& c : cases) {
        fake::FakePlatform os;
        FormEvents events;
        auto form = os.toolkit.CreateForm(FormKind::Main, events);
        auto& fakeForm = static_cast<FakeForm&>(*form);
        FakeControl& box = *fakeForm.Get(ControlArray::txtBox, 0);
        box.width = c.boxPixels;
        box.fontName = "Courier New";
        box.fontSize = c.fontSize;
        EXPECT_EQ(InfoColumnWidth(*form, box, c.twipsPerPixel), c.expected) << c.what;
        // Measured in the box's own font.
        EXPECT_EQ(fakeForm.fontName, "Courier New") << c.what;
        EXPECT_DOUBLE_EQ(fakeForm.fontSize, c.fontSize) << c.what;
    }
}

TEST(InfoPanel_ColumnWidth, AFontWithoutWidthOrAHugeBoxStaysSound) {
    fake::FakePlatform os;
    FormEvents events;
    auto form = os.toolkit.CreateForm(FormKind::Main, events);
    FakeControl& box = *static_cast<FakeForm&>(*form).Get(ControlArray::txtBox, 0);
    box.fontSize = 0.01;  // a space of 0.12 twips rounds to nothing
    box.width = 500;
    EXPECT_EQ(InfoColumnWidth(*form, box, 15), 0);
    box.fontSize = 1;
    box.width = 2000000000;
    EXPECT_EQ(InfoColumnWidth(*form, box, 15), 32767);
}

}  // namespace
}  // namespace corvale
