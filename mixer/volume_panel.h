// The volume panel: up to ten slider, label and mute-switch pictures bound
// to the sound card's mixer lines, following changes made elsewhere.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "mixer/mixer_access.h"
#include "platform/mixer.h"
#include "platform/toolkit.h"
#include "skin/context.h"

namespace corvale {

constexpr int kMixerSlots = 10;
constexpr int kMeterPictures = 22;  // 0..19 slider steps, 20 sound on, 21 muted
constexpr int kMeterSoundOn = 20;
constexpr int kMeterMuted = 21;

constexpr const char* kMixerOpenFailed =
    "Couldn't open the mixer please check if a audio mixer is installed then retry.";

// The component type of each line kind, in the order the lines are searched.
constexpr std::array<std::uint32_t, kMixerSlots> kLineKinds = {
    mm::kDstSpeakers,  mm::kSrcWaveOut, mm::kSrcCompactDisc, mm::kSrcLine,      mm::kSrcSynthesizer,
    mm::kSrcAuxiliary, mm::kSrcDigital, mm::kSrcTelephone,   mm::kSrcPcSpeaker, mm::kSrcMicrophone,
};

// The picture step (0..19) of a volume value; values outside 0..65535 take
// the nearest end.
int VolumePictureStep(long volume);

// The volume a pointer `y` pixels down a slider `height` pixels high stands
// for, or nothing when the pointer is above or below it.
std::optional<long> VolumeAtOffset(double y, int height);

// One slot's geometry: slider, label and switch, each left, top, width,
// height, with values of 0 or below counted back from the far edge.
struct SlotGeometry {
    std::array<int, 12> values{};
};

// The twelve comma-separated whole numbers of a "volume" key, or nothing
// when there are fewer fields or a field is not a number.
std::optional<SlotGeometry> ParseSlotGeometry(const std::string& text, int scaleWidth, int scaleHeight);

class VolumePanel {
public:
    VolumePanel(Context& ctx, Form& form);
    VolumePanel(const VolumePanel&) = delete;
    VolumePanel& operator=(const VolumePanel&) = delete;

    // `tellFailure`: a mixer that does not open is reported in a message box.
    void OpenMixerPanel(bool tellFailure = true);
    void CloseMixerPanel();
    void DragVolumeSlider(int button, int slot, double y);
    // Down, move and up of a slider alike: the event's twips become pixels.
    void imgVol_Mouse(int index, const MouseEvent& e);
    void imgMute_Click(int index);
    void tmrAudio_Timer();

    MixerId MixerHandle() const { return mixer_.get().id; }
    const std::string& SoundCardReport() const { return SoundCardReport_; }

private:
    void FindLines(std::array<int, kMixerSlots>& LineKind);
    std::uint32_t MasterLineType(MixerId mixer);
    void AppendLineReport();
    void LoadPictureBank();
    std::array<std::string, kMixerSlots> ReadLabelFiles();
    void BindSlot(int slot, const std::string& LabelFile);
    PicturePtr MeterPicture(int n);
    PicturePtr LoadThemePicture(const std::string& file);
    Control* Element(ControlArray array, int index);
    static bool IsSlot(int slot) { return slot >= 0 && slot < kMixerSlots; }

    Context& ctx_;
    Form& form_;
    MixerAccess access_;
    UniqueMixer mixer_;

    std::array<MixerControlRecord, kMixerSlots> VolumeControl{};
    std::array<MixerControlRecord, kMixerSlots> MuteControl{};
    std::array<long, kMixerSlots> VolumeLevel{};
    std::array<bool, kMixerSlots> MuteState{};
    // Whether the slot's line has a mute switch at all: a line without one
    // keeps a zeroed record whose identifier 0 may well name another control
    // of the card, so the switch then neither reads nor writes.
    std::array<bool, kMixerSlots> HasMute{};
    std::string SoundCardReport_;
};

}  // namespace corvale
