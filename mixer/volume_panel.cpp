// The volume panel's set-up, its slider and switch handlers and its timer.
#include "mixer/volume_panel.h"

#include <algorithm>
#include <cmath>

#include "base/values.h"
#include "mixer/sound_card_report.h"
#include "platform/probes.h"

namespace corvale {
namespace {

constexpr const char* kVolumeSection = "VOLUME";
constexpr long kMaxVolume = 65535;
constexpr int kTopStep = 19;

// The output destinations a legacy mixer may name its one destination by,
// the speakers first.
constexpr std::array<std::uint32_t, 7> kOutputDestinations = {
    mm::kDstSpeakers, mm::kDstHeadphones, mm::kDstDigital,   mm::kDstLine,
    mm::kDstMonitor,  mm::kDstTelephone,  mm::kDstUndefined,
};

bool EndpointSystem(SystemProbes& probes) {
    const std::optional<OsVersion> os = probes.QueryOsVersion();
    return os && os->platformId == 2 && os->major >= 6;
}

}  // namespace

int VolumePictureStep(long volume) {
    if (volume <= 0) return 0;
    if (volume >= kMaxVolume) return kTopStep;
    return static_cast<int>(static_cast<long long>(volume) * 20 / 65536);
}

std::optional<long> VolumeAtOffset(double y, int height) {
    if (height <= 0 || !(y >= 0) || y > height) return std::nullopt;
    double step = std::floor(kTopStep - y * kTopStep / height);
    if (step < 0) step = 0;
    if (step > kTopStep) step = kTopStep;
    // The top step is the full scale itself, which a division by 19 misses.
    if (step == kTopStep) return kMaxVolume;
    return static_cast<long>(static_cast<long long>(step) * 65536 / kTopStep);
}

std::optional<SlotGeometry> ParseSlotGeometry(const std::string& text, int scaleWidth, int scaleHeight) {
    SlotGeometry geometry;
    size_t start = 0;
    for (size_t i = 0; i < geometry.values.size(); ++i) {
        const bool last = i + 1 == geometry.values.size();
        const size_t comma = text.find(',', start);
        if (!last && comma == std::string::npos) return std::nullopt;
        const std::string field = last ? text.substr(start) : text.substr(start, comma - start);
        const std::optional<long> number = ReadLong(field);
        if (!number) return std::nullopt;
        long value = *number;
        // 0 and below count back from the window's right or bottom edge:
        // lefts and widths from its width, tops and heights from its height.
        if (value <= 0) value += (i % 2 == 0) ? scaleWidth : scaleHeight;
        geometry.values[i] = static_cast<int>(value);
        start = comma + 1;
    }
    return geometry;
}

VolumePanel::VolumePanel(Context& ctx, Form& form) : ctx_(ctx), form_(form), access_(ctx.os.mixer) {
    VolumeLevel.fill(-1);
}

Control* VolumePanel::Element(ControlArray array, int index) { return form_.Find(array, index); }

PicturePtr VolumePanel::MeterPicture(int n) {
    const Control* meter = Element(ControlArray::imgMeter, n);
    return meter ? meter->Picture() : nullptr;
}

// A key that names no file leaves the path at the theme folder itself; that
// is no picture, so nothing is loaded and the element stays empty.
PicturePtr VolumePanel::LoadThemePicture(const std::string& file) {
    if (file.empty()) return nullptr;
    return ctx_.os.toolkit.LoadPicture(ctx_.g.ThemeFolder() + file);
}

void VolumePanel::OpenMixerPanel(bool tellFailure) {
    if (mixer_) return;  // the panel is built once per run
    MixerId id = 0;
    if (ctx_.os.mixer.Open(0, id) != mm::kNoError) {
        if (tellFailure) ctx_.os.toolkit.MessageBox(kMixerOpenFailed);
        return;
    }
    mixer_.reset({&ctx_.os.mixer, id});

    VolumeLevel.fill(-1);
    SoundCardReport_.clear();
    std::array<int, kMixerSlots> LineKind{};
    FindLines(LineKind);
    LoadPictureBank();
    const std::array<std::string, kMixerSlots> LabelFile = ReadLabelFiles();
    for (int slot = 0; slot < kMixerSlots; ++slot)
        if (VolumeLevel[slot] != -1) BindSlot(slot, LabelFile[LineKind[slot]]);

    if (Control* timer = Element(ControlArray::tmrAudio, 0)) timer->SetEnabled(true);
    // Without a second text box the report has nowhere to go.
    if (Control* box = Element(ControlArray::txtBox, 2)) box->SetText(SoundCardReport_);
}

void VolumePanel::FindLines(std::array<int, kMixerSlots>& LineKind) {
    const MixerId mixer = MixerHandle();
    int slot = 0;
    for (int kind = 0; kind < kMixerSlots; ++kind) {
        const std::uint32_t type = kind == 0 ? MasterLineType(mixer) : kLineKinds[kind];
        if (!access_.FindLineControl(mixer, type, mm::kControlVolume, VolumeControl[slot])) continue;
        // Before any other look-up, while MixerLine still describes this line.
        AppendLineReport();
        VolumeLevel[slot] = access_.GetControlValue(mixer, VolumeControl[slot]);
        LineKind[slot] = kind;
        HasMute[slot] = access_.FindLineControl(mixer, type, mm::kControlMute, MuteControl[slot]);
        if (HasMute[slot]) MuteState[slot] = access_.GetControlValue(mixer, MuteControl[slot]) != 0;
        ++slot;
    }
}

// From Vista on, each legacy mixer stands for one output device and names
// its destination after the device's kind (headphones, a digital output,
// ...); the platform binds that destination to the default output device.
// So there the master slot takes whichever output destination the mixer has.
std::uint32_t VolumePanel::MasterLineType(MixerId mixer) {
    if (!EndpointSystem(ctx_.os.probes)) return mm::kDstSpeakers;
    for (const std::uint32_t type : kOutputDestinations) {
        MixerLineRecord line;
        line.cbStruct = mm::kMixerLineSize;
        line.dwComponentType = type;
        if (ctx_.os.mixer.GetLineInfo(mixer, line, mm::kGetLineInfoByComponentType) == mm::kNoError)
            return type;
    }
    return mm::kDstSpeakers;
}

void VolumePanel::AppendLineReport() {
    const Control* box = Element(ControlArray::txtBox, 2);
    if (!box) return;
    // The window measures text as the box shows it from here on.
    form_.SetFont(box->FontName(), box->FontSize());
    const double space = std::round(form_.TextWidth(" "));
    const double boxWidth = static_cast<double>(box->Width()) * ctx_.os.toolkit.TwipsPerPixelX();
    AppendLineRows(SoundCardReport_, access_.MixerLine, ReportColumnsFor(boxWidth, space));
}

void VolumePanel::LoadPictureBank() {
    for (int n = 0; n < kMeterPictures; ++n) {
        Control* meter = Element(ControlArray::imgMeter, n);
        if (!meter) continue;
        ctx_.skin.ReadSkinValue(kVolumeSection, "Meter" + TwoDigitKey(n), ctx_.g.LayoutSkinPath());
        meter->SetPicture(LoadThemePicture(ctx_.skin.SkinValue));
    }
}

std::array<std::string, kMixerSlots> VolumePanel::ReadLabelFiles() {
    std::array<std::string, kMixerSlots> files;
    for (int kind = 0; kind < kMixerSlots; ++kind)
        if (ctx_.skin.ReadSkinValue(kVolumeSection, "label" + std::to_string(kind), ctx_.g.LayoutSkinPath()))
            files[kind] = ctx_.skin.SkinValue;
    return files;
}

void VolumePanel::BindSlot(int slot, const std::string& LabelFile) {
    std::optional<SlotGeometry> geometry;
    if (ctx_.skin.ReadSkinValue(kVolumeSection, "volume" + std::to_string(slot), ctx_.g.LayoutSkinPath()))
        geometry = ParseSlotGeometry(ctx_.skin.SkinValue, form_.ScaleWidth(), form_.ScaleHeight());
    // A missing or broken geometry drops the slot; its line stays reported.
    if (!geometry) {
        VolumeLevel[slot] = -1;
        return;
    }
    const auto place = [&](ControlArray array, int first, PicturePtr picture) {
        Control* element = Element(array, slot);
        if (!element) return;
        element->SetLeft(geometry->values[first]);
        element->SetTop(geometry->values[first + 1]);
        element->SetWidth(geometry->values[first + 2]);
        element->SetHeight(geometry->values[first + 3]);
        element->SetPicture(std::move(picture));
        element->SetVisible(true);
    };
    place(ControlArray::imgVol, 0, MeterPicture(VolumePictureStep(VolumeLevel[slot])));
    place(ControlArray::imgLbl, 4, LoadThemePicture(LabelFile));
    place(ControlArray::imgMute, 8, MeterPicture(MuteState[slot] ? kMeterMuted : kMeterSoundOn));
}

void VolumePanel::DragVolumeSlider(int button, int slot, double y) {
    if (!IsSlot(slot) || !mixer_) return;
    const Control* slider = Element(ControlArray::imgVol, slot);
    if (!slider || !slider->Visible()) return;
    if (button != kLeftButton) return;
    const std::optional<long> value = VolumeAtOffset(y, slider->Height());
    // The picture follows at the next tick, when the control is read back.
    if (value && *value != VolumeLevel[slot])
        access_.SetStereoValue(MixerHandle(), VolumeControl[slot], *value, *value);
}

// The event's position is in twips of the skin's pixels, which the toolkit
// gives as 15 to the pixel at every density.
void VolumePanel::imgVol_Mouse(int index, const MouseEvent& e) {
    DragVolumeSlider(e.button, index, e.y / std::max(1, ctx_.os.toolkit.TwipsPerPixelY()));
}

void VolumePanel::imgMute_Click(int index) {
    if (!IsSlot(index) || !mixer_ || !HasMute[index]) return;
    access_.SetControlValue(MixerHandle(), MuteControl[index], MuteState[index] ? 0 : 1);
}

void VolumePanel::tmrAudio_Timer() {
    if (!mixer_) return;
    const MixerId mixer = MixerHandle();
    for (int slot = 0; slot < kMixerSlots; ++slot) {
        if (VolumeLevel[slot] == -1) continue;
        const long volume = access_.GetControlValue(mixer, VolumeControl[slot]);
        if (volume != VolumeLevel[slot]) {
            // A failed read (-1) empties the slot for good; its picture stays.
            VolumeLevel[slot] = volume;
            if (volume != -1)
                if (Control* slider = Element(ControlArray::imgVol, slot))
                    slider->SetPicture(MeterPicture(VolumePictureStep(volume)));
        }
        if (!HasMute[slot]) continue;
        // A failed read (-1) counts as muted.
        const bool muted = access_.GetControlValue(mixer, MuteControl[slot]) != 0;
        if (muted != MuteState[slot]) {
            MuteState[slot] = muted;
            if (Control* button = Element(ControlArray::imgMute, slot))
                button->SetPicture(MeterPicture(muted ? kMeterMuted : kMeterSoundOn));
        }
    }
}

void VolumePanel::CloseMixerPanel() {
    if (Control* timer = Element(ControlArray::tmrAudio, 0)) timer->SetEnabled(false);
    for (int slot = 0; slot < kMixerSlots; ++slot)
        for (ControlArray array : {ControlArray::imgLbl, ControlArray::imgVol, ControlArray::imgMute})
            if (Control* element = Element(array, slot)) element->SetVisible(false);
    mixer_.reset();
}

}  // namespace corvale
