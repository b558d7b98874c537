// The theme checker's reading of the volume panel ([VOLUME]), the
// information box's labels ([INFO]) and the password prompt ([INPUT]).
#include <algorithm>
#include <map>

#include "base/values.h"
#include "ctl/theme_checker.h"
#include "mixer/volume_panel.h"
#include "platform/form_design.h"
#include "prompt/frm_input.h"

namespace corvale::check {
namespace {

constexpr int kInfoLabels = 32;
constexpr int kSliderFaces = 20;

std::string MeterKey(int n) { return "Meter" + TwoDigitKey(n); }
std::string LabelKey(int kind) { return "label" + std::to_string(kind); }
std::string VolumeKey(int slot) { return "volume" + std::to_string(slot); }

// Names of a run of numbered keys, consecutive numbers joined: "Meter00–Meter19",
// "label2, label4–label9".
std::string Runs(const std::vector<int>& numbers, std::string (*name)(int)) {
    std::string text;
    for (size_t i = 0; i < numbers.size();) {
        size_t end = i;
        while (end + 1 < numbers.size() && numbers[end + 1] == numbers[end] + 1) ++end;
        text += (text.empty() ? "" : ", ") + name(numbers[i]);
        if (end > i) text += (end == i + 1 ? ", " : "–") + name(numbers[end]);
        i = end + 1;
    }
    return text;
}

EntryRect Part(const SlotGeometry& g, int first) {
    return {g.values[first], g.values[first + 1], g.values[first + 2], g.values[first + 3]};
}

}  // namespace

void ThemeChecker::Volume(const std::string& layout, ScreenSize client) {
    if (!SectionKeys(layout, "VOLUME")) return;  // no volume panel
    std::vector<PicturePtr> meters, labels;
    VolumePictures(layout, meters, labels);
    Stretches stretches;
    for (int slot = 0; slot < kMixerSlots; ++slot)
        VolumeLine(layout, slot, client, meters, labels, stretches);
    for (const auto& [text, slots] : stretches) {
        const std::string first = VolumeKey(slots.front());
        const std::vector<int> others(slots.begin() + 1, slots.end());
        const auto line = std::find_if(result_.volume.begin(), result_.volume.end(),
                                       [&first](const CheckedVolumeLine& l) { return l.key == first; });
        Report({FindingList::Of::Volume, static_cast<size_t>(line - result_.volume.begin())},
               Severity::Warning, Where(layout, "VOLUME", first),
               text + (others.empty() ? "" : " (so also on " + Runs(others, VolumeKey) + ")"));
    }
    if (result_.volume.empty()) return;
    std::vector<int> missing;
    for (int n = 0; n < kMeterPictures; ++n)
        if (!Read("VOLUME", MeterKey(n), layout)) missing.push_back(n);
    if (!missing.empty())
        Report(Severity::Warning, Where(layout, "VOLUME", ""),
               "has no " + Runs(missing, MeterKey) + ": the " +
                   (missing.back() < kSliderFaces ? "slider shows" : "sliders and switches show") +
                   " nothing at those volumes");
}

// Every picture the volume panel loads, each once: the slider's faces and
// the switch's two (Meter00 to Meter21), and each kind of line's label.
void ThemeChecker::VolumePictures(const std::string& layout, std::vector<PicturePtr>& meters,
                                  std::vector<PicturePtr>& labels) {
    auto load = [&](const std::string& key) -> PicturePtr {
        const auto file = Read("VOLUME", key, layout);
        if (!file || file->empty()) return nullptr;
        return Picture({}, Severity::Error, Where(layout, "VOLUME", key), *file);
    };
    for (int n = 0; n < kMeterPictures; ++n) meters.push_back(load(MeterKey(n)));
    for (int kind = 0; kind < kMixerSlots; ++kind) labels.push_back(load(LabelKey(kind)));
}

// The place of the nth mixer line found, by the panel's own reading. The
// line of kind k lands at place n <= k, so each place may show the labels
// of its own kind and every later one.
void ThemeChecker::VolumeLine(const std::string& layout, int slot, ScreenSize client,
                              const std::vector<PicturePtr>& meters, const std::vector<PicturePtr>& labels,
                              Stretches& stretches) {
    const std::string key = VolumeKey(slot);
    const auto value = Read("VOLUME", key, layout);
    if (!value) return;
    const FindingList at{FindingList::Of::Volume, result_.volume.size()};
    CheckedVolumeLine& line = result_.volume.emplace_back();
    line.key = key;
    line.value = *value;
    const std::string where = Where(layout, "VOLUME", key);
    const auto geometry = ParseSlotGeometry(*value, client.width, client.height);
    if (!geometry) {
        const long values = std::count(value->begin(), value->end(), ',') + 1;
        Report(at, Severity::Error, where,
               (values != 12 ? "has " + std::to_string(values) + " values where the panel needs 12"
                             : std::string("holds a value that is not a whole number")) +
                   ": the line is dropped, with its slider, label and switch");
        return;
    }
    const SlotGeometry written = *ParseSlotGeometry(*value, 0, 0);
    line.slider = Part(*geometry, 0);
    line.label = Part(*geometry, 4);
    line.mute = Part(*geometry, 8);
    // Pictures of one size share one report: "Meter00–Meter19 are 24x120".
    auto place = [&](const char* what, int first, const std::vector<PicturePtr>& pictures, int from, int to,
                     std::string (*name)(int)) {
        const EntryRect rect = Part(*geometry, first);
        Geometry(at, where, rect, client, what);
        const Shown shown{rect, written.values[first + 2] <= 0, written.values[first + 3] <= 0};
        std::map<std::pair<int, int>, std::vector<int>> bySize;
        for (int n = from; n <= to; ++n)
            if (pictures[n] && IsStretched(*pictures[n], shown))
                bySize[{pictures[n]->Width(), pictures[n]->Height()}].push_back(n);
        for (const auto& [size, numbers] : bySize)
            stretches[Runs(numbers, name) + (numbers.size() > 1 ? " are " : " is ") +
                      Size(size.first, size.second) + ", stretched to the " + Size(rect.width, rect.height) +
                      " " + what]
                .push_back(slot);
    };
    place("slider", 0, meters, 0, kSliderFaces - 1, MeterKey);
    place("label", 4, labels, slot, kMixerSlots - 1, LabelKey);
    place("switch", 8, meters, kMeterSoundOn, kMeterMuted, MeterKey);
}

// The first text box shows a line for each of the 32 labels, with the
// label's text in front of the value; a label that is missing is empty.
void ThemeChecker::Info(const std::string& layout) {
    const auto& entries = result_.main.entries;
    const bool infoBox = std::any_of(entries.begin(), entries.end(),
                                     [](const CheckedEntry& e) { return e.role == "information box"; });
    if (!infoBox) return;
    const std::string where = Where(layout, "INFO", "");
    if (!SectionKeys(layout, "INFO")) {
        Report(Severity::Warning, where, "missing: the information box shows its values without labels");
        return;
    }
    std::vector<int> missing;
    for (int n = 1; n <= kInfoLabels; ++n)
        if (!Read("INFO", TwoDigitKey(n), layout)) missing.push_back(n);
    if (!missing.empty())
        Report(Severity::Warning, where, "has no " + Runs(missing, [](int n) {
                                             return TwoDigitKey(n);
                                         }) + ": those lines of the information box have no label");
}

void ThemeChecker::Prompt() {
    const std::string theme = "terminal.skn";
    if (!Exists(theme)) return;
    if (const auto background = Read("INPUT", "BackGround", theme))
        if (const PicturePtr picture =
                Picture({}, Severity::Error, Where(theme, "INPUT", "BackGround"), *background))
            result_.promptPicture = ScreenSize{picture->Width(), picture->Height()};
    PromptFields(theme, "MaskColor", 3, "the mask colour is black");
    PromptFields(theme, "InputBox", 12, "the text box keeps its designed place, colours and font");
    InputBox(theme);
    Boolean(theme, "STARTUP", "Animated", "False");
    Whole(theme, "STARTUP", "AnimDelay");
    Entries(FindingList::Of::Prompt, "INPUT", theme, {kFormDesignWidth, kFormDesignHeight},
            result_.promptPicture);
}

// MaskColor and InputBox: comma-separated numbers (the InputBox's font name
// aside), cut by the prompt's own rule.
void ThemeChecker::PromptFields(const std::string& theme, const char* key, int count, const char* otherwise) {
    const auto value = Read("INPUT", key, theme);
    if (!value) return;
    const std::string where = Where(theme, "INPUT", key);
    const auto fields = SplitPromptFields(*value, count);
    if (!fields) {
        Report(Severity::Warning, where,
               Quote(*value) + " has fewer than " + std::to_string(count) +
                   " fields, or an empty one after the first: " + otherwise);
        return;
    }
    const size_t numbers = count == 12 ? 10 : 3;
    for (size_t i = 0; i < numbers; ++i)
        if (!WholeNumber((*fields)[i]))
            Report(Severity::Warning, where,
                   "field " + std::to_string(i + 1) + " " + Quote((*fields)[i]) +
                       " is not a number: it reads as " + std::to_string(LeadingInteger((*fields)[i])));
}

// The input box where the prompt puts it, which must lie on the picture the
// prompt takes its size and outline from.
void ThemeChecker::InputBox(const std::string& theme) {
    std::optional<Rect> place;
    if (const auto value = Read("INPUT", "InputBox", theme)) place = InputBoxPlace(*value);
    if (!place) {
        for (const DesignControl& control : FormDesign(FormKind::Input))
            if (control.array == ControlArray::txtInput)
                place = Rect{control.left, control.top, control.left + control.width,
                             control.top + control.height};
    }
    if (!place) return;
    result_.inputBox = EntryRect{place->left, place->top, place->Width(), place->Height()};
    if (result_.promptPicture)
        OutsidePicture({}, Where(theme, "INPUT", "InputBox"), *result_.inputBox, *result_.promptPicture);
}

}  // namespace corvale::check
