// Lays out the information panel from the [INFO] labels and the probes.
#include "sysinfo/info_panel.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <vector>

#include "base/text.h"
#include "base/values.h"
#include "platform/system.h"

namespace corvale {
namespace {

constexpr long kMemoryColumn = 12;
// A guard against absurd box sizes: wider than any screen's text.
constexpr double kWidestColumn = 32767;

// The text grows line by line; `Add` puts a line break before each line but
// the first.
class PanelText {
public:
    explicit PanelText(long width) : width_(width) {}

    void Add(const std::string& line) {
        if (started_) text_ += "\r\n";
        text_ += line;
        started_ = true;
    }
    void AddEmpty() { text_ += "\r\n"; }
    // A value's column grows for its line rather than cut it: a cut path,
    // name or number reads as another one.
    void AddPair(const std::string& label, const std::string& value) {
        Add(Label(label) + " " + Whole(value));
    }
    void AddRaw(const std::string& label, const std::string& value) { Add(Label(label) + " " + value); }
    void AddRightFigure(const std::string& label, const std::string& figure, long width) {
        Add(Label(label) + " " + PadFigure(figure, width, false));
    }

    std::string Label(const std::string& label) const { return PadText(label, width_, true); }
    std::string Whole(const std::string& value) const { return PadFigure(value, width_, true); }
    const std::string& Text() const { return text_; }

private:
    long width_;
    std::string text_;
    bool started_ = false;
};

class InfoLabels {
public:
    InfoLabels(SkinReader& skin, std::string file) : skin_(skin), file_(std::move(file)) {}
    // A missing key gives an empty label; the line is written all the same.
    std::string operator()(long key) const {
        skin_.ReadSkinValue("INFO", TwoDigitKey(key), file_);
        return skin_.SkinValue;
    }

private:
    SkinReader& skin_;
    std::string file_;
};

std::string EightDigitDate(const std::optional<FileDate>& date) {
    if (!date) return {};
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d", date->year, date->month, date->day);
    return text;
}

// The drive list: every drive as "c:", in drive-letter order.
std::vector<std::string> DriveNames(SystemProbes& probes) {
    std::vector<std::string> names;
    for (const std::string& root : probes.QueryDriveRoots()) {
        if (root.size() < 2 || root[1] != ':') continue;
        const auto letter = static_cast<char>(std::tolower(static_cast<unsigned char>(root[0])));
        names.push_back(std::string(1, letter) + ":");
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

void AddSystemLines(PanelText& panel, const InfoLabels& label, SystemProbes& probes, InfoPanelState& state) {
    const OsFacts os = GetOsFacts(probes);
    panel.AddPair(label(1), os.name);
    panel.AddPair(label(2), os.version);
    panel.AddPair(label(3), os.build);
    state.OsBuildNumber = static_cast<long>(os.buildNumber);
    panel.AddPair(label(4), GetUserNameText(probes));
    panel.AddPair(label(5), GetWindowsDirText(probes));
    panel.AddPair(label(6), GetSystemDirText(probes));
    panel.AddPair(label(7), GetTempDirText(probes));
    panel.AddPair(label(8), GetComputerNameText(probes));
    panel.AddPair(label(9), GetProcessorCount(probes));
    panel.AddPair(label(10), "#" + GetProcessorMask(probes));
    panel.AddPair(label(11), GetProcessorName(probes));

    const MemoryTexts memory = GetMemoryTexts(probes);
    panel.AddRightFigure(label(12), memory.totalPhys, kMemoryColumn);
    panel.AddRightFigure(label(13), memory.availPhys, kMemoryColumn);
    panel.AddRightFigure(label(14), memory.totalVirtual, kMemoryColumn);
    panel.AddRightFigure(label(15), memory.availVirtual, kMemoryColumn);
}

// One line per program of the suite's folder. A folder that does not exist
// (or no folder at all) lists no programs.
void AddProgramLines(PanelText& panel, Context& ctx) {
    const std::string& folder = ctx.g.ProgramDir;
    if (folder.empty()) return;
    const auto names = ctx.os.files.ListFiles(folder, "*.exe");
    if (!names) return;
    for (const std::string& name : *names) {
        // Joined with "\" even when the folder ends with one: the system
        // reads the doubled separator as one.
        const std::string path = folder + "\\" + name;
        const std::string version = GetFileVersionText(ctx.os.probes, path);
        const std::string date = EightDigitDate(ctx.os.files.LastModified(path));
        // The file's name is a fact of the machine, not a skin label: whole.
        panel.Add(panel.Whole(name) + " " + panel.Whole("Version " + version + " " + date));
    }
}

void AddDriveCountLines(PanelText& panel, const InfoLabels& label, const std::vector<std::string>& drives,
                        SystemProbes& probes, InfoPanelState& state) {
    state.RemovableDriveCount = state.FixedDriveCount = state.CdRomDriveCount = 0;
    state.RamDiskDriveCount = state.NetworkDriveCount = 0;
    for (const std::string& drive : drives) CountDriveType(probes, state, drive + "\\");
    panel.AddPair(label(16), std::to_string(state.RemovableDriveCount));
    panel.AddPair(label(17), std::to_string(state.FixedDriveCount));
    panel.AddPair(label(18), std::to_string(state.CdRomDriveCount));
    panel.AddPair(label(19), std::to_string(state.RamDiskDriveCount));
    panel.AddPair(label(20), std::to_string(state.NetworkDriveCount));
}

struct DriveLabels {
    std::string heading, kind, size, free, volume, serial, noSpace;
};

DriveLabels ReadDriveLabels(const InfoLabels& label, InfoPanelState& state) {
    DriveLabels labels{label(21), label(22), label(23), label(24), label(25), label(26), {}};
    state.DriveKindRemovable = label(27);
    state.DriveKindFixed = label(28);
    state.DriveKindCdRom = label(29);
    state.DriveKindRamDisk = label(30);
    state.DriveKindNetwork = label(31);
    labels.noSpace = label(32);
    return labels;
}

void AddDriveBlock(PanelText& panel, const DriveLabels& labels, const std::string& drive,
                   SystemProbes& probes, const InfoPanelState& state) {
    const std::string root = drive + "\\";
    panel.AddEmpty();
    panel.Add(panel.Whole(labels.heading + " " + drive));
    panel.AddRaw(labels.kind, GetDriveKindText(probes, state, root));

    const DiskSpace space = GetDiskSpace(probes, state, root);
    const std::string total = FormatByteCount(space.total);
    // The free number right-aligned under the total's (a record claiming
    // more free than total bytes still shows both whole).
    const std::string free = PadFigure(FormatByteCount(space.free), CharacterCount(total), false);
    panel.AddPair(labels.size, total + " Bytes");
    panel.AddPair(labels.free, free + " Bytes");

    // Nothing on the drive to ask (no medium, or the space query failed).
    if (space.total == 0 && space.free == 0) {
        panel.AddPair(labels.volume, labels.noSpace);
        panel.AddPair(labels.serial, "0000-0000");
        return;
    }
    panel.AddPair(labels.volume, GetVolumeLabelText(probes, root));
    panel.AddPair(labels.serial, GetVolumeSerialText(probes, root));
}

}  // namespace

long InfoColumnWidth(Form& form, const Control& textBox, int twipsPerPixel) {
    form.SetFont(textBox.FontName(), textBox.FontSize());
    const long long space = RoundHalfEven(form.TextWidth(" "));
    if (space <= 0) return 0;
    const double boxWidth = static_cast<double>(textBox.Width()) * twipsPerPixel;
    const double columns = (boxWidth / static_cast<double>(space) - 4) / 2;
    return static_cast<long>(std::floor(std::clamp(columns, 0.0, kWidestColumn)));
}

std::string FillInfoPanel(Context& ctx, Form& form, Control* textBox, InfoPanelState& state) {
    if (!textBox) return {};
    SystemProbes& probes = ctx.os.probes;
    const InfoLabels label(ctx.skin, ctx.g.LayoutSkinPath());
    PanelText panel(InfoColumnWidth(form, *textBox, ctx.os.toolkit.TwipsPerPixelX()));
    // The box is found again once events have run.
    const ControlRef box = textBox->Ref();

    // The drives are asked first, so that they answer while the rest is written.
    const std::vector<std::string> drives = DriveNames(probes);
    std::vector<std::string> roots;
    for (const std::string& drive : drives) roots.push_back(drive + "\\");
    probes.StartDriveQueries(roots);

    AddSystemLines(panel, label, probes, state);
    panel.AddEmpty();
    AddProgramLines(panel, ctx);
    panel.AddEmpty();

    WaitForDrives(probes, ctx.os.toolkit);
    AddDriveCountLines(panel, label, drives, probes, state);
    const DriveLabels labels = ReadDriveLabels(label, state);
    for (const std::string& drive : drives) AddDriveBlock(panel, labels, drive, probes, state);

    if (Control* written = form.Find(box.array, box.index)) written->SetText(panel.Text());
    return {};
}

}  // namespace corvale
