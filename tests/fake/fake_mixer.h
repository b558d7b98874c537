// A simulated sound-card mixer: lines by component type, controls by type,
// a value per channel, failures on demand, and a record of every read and
// write.
#pragma once

#include <cstdint>
#include <deque>
#include <set>
#include <string>
#include <vector>

#include "platform/mixer.h"

namespace corvale::fake {

struct FakeMixerControl {
    std::uint32_t id = 0;
    std::uint32_t type = 0;
    std::uint32_t multipleItems = 0;
    std::vector<std::uint32_t> values;  // one per channel, left first
    bool failReads = false;
    bool failWrites = false;
};

struct FakeMixerLine {
    std::uint32_t componentType = 0;
    std::uint32_t lineId = 0;
    std::uint32_t connections = 0;
    std::string shortName;
    std::string name;
    std::uint32_t channels = 2;
    std::deque<FakeMixerControl> controls;  // references stay valid as controls are added
};

// One details call as the mixer received it.
struct FakeDetailsCall {
    bool write = false;
    MixerId mixer = 0;
    std::uint32_t controlId = 0;
    std::uint32_t channels = 0;
    std::uint32_t multipleItems = 0;
    std::vector<std::uint32_t> values;  // written values; for reads, what was returned
    MmResult result = 0;
};

class FakeMixer : public MixerDevice {
public:
    MmResult Open(std::uint32_t deviceId, MixerId& mixer) override;
    MmResult Close(MixerId mixer) override;
    MmResult GetLineInfo(MixerId mixer, MixerLineRecord& line, std::uint32_t flags) override;
    MmResult GetLineControls(MixerId mixer, MixerLineControlsRecord& request, std::uint32_t flags) override;
    MmResult GetControlDetails(MixerId mixer, MixerControlDetailsRecord& details,
                               std::uint32_t flags) override;
    MmResult SetControlDetails(MixerId mixer, const MixerControlDetailsRecord& details,
                               std::uint32_t flags) override;

    // Scene. Control identifiers count from 0 across the whole card, in the
    // order controls are added, as many drivers number them.
    FakeMixerLine& AddLine(std::uint32_t componentType, const std::string& name, const std::string& shortName,
                           std::uint32_t channels = 2, std::uint32_t connections = 0);
    FakeMixerControl& AddControl(FakeMixerLine& line, std::uint32_t type, std::vector<std::uint32_t> values);
    // A line with a volume fader (both channels at `volume`) and, when
    // `mute` is not negative, a mute switch holding it.
    FakeMixerLine& AddStandardLine(std::uint32_t componentType, const std::string& name, std::uint32_t volume,
                                   int mute);
    FakeMixerControl* Find(std::uint32_t componentType, std::uint32_t controlType);
    FakeMixerControl* FindById(std::uint32_t id);

    bool failOpen = false;
    std::string productName = "Fake Audio Mixer";
    std::uint32_t driverVersion = 0x0501;
    std::deque<FakeMixerLine> lines;

    // Record.
    int opens = 0;
    int closes = 0;
    std::set<MixerId> openHandles;
    int lineInfoCalls = 0;
    int lineControlsCalls = 0;
    std::vector<FakeDetailsCall> reads;
    std::vector<FakeDetailsCall> writes;

private:
    MmResult CheckDetails(MixerId mixer, const MixerControlDetailsRecord& details, std::uint32_t flags,
                          FakeMixerControl*& control);
    FakeMixerLine* LineById(std::uint32_t lineId);
    std::uint32_t nextControlId_ = 0;
    std::uint32_t nextLineId_ = 0xFFFF0000;
    MixerId nextHandle_ = 0x4000;
};

}  // namespace corvale::fake
