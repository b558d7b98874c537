// The volume panel and the sound-card report on Wine's mixer: sliders and
// switches seen on screen, pressed with the mouse, and the report read from
// the second text box.
#include "tests/e2e/driver.h"

#include <mmsystem.h>

#include <array>
#include <thread>

namespace corvale::e2e {
namespace {

constexpr Box kWindow{100, 50, 900, 650};
constexpr Rgb kBackground{20, 20, 20};
constexpr Box kReportBox{10, 220, 390, 580};  // inside the window

// Twenty slider pictures of distinct colours, the two switch pictures, and a
// label colour per line kind.
Rgb MeterColour(int step) {
    return {static_cast<std::uint8_t>(40 + 10 * step), static_cast<std::uint8_t>(220 - 9 * step),
            static_cast<std::uint8_t>(12 * step)};
}
constexpr Rgb kSoundOn{250, 250, 250}, kMuted{250, 0, 0};
Rgb LabelColour(int kind) { return {0, static_cast<std::uint8_t>(60 + 15 * kind), 250}; }

// Slot j: slider at (500 + 100j, 50) 40 x 200, label to its left, switch below.
Box SliderOf(int slot) { return {500 + 100 * slot, 50, 540 + 100 * slot, 250}; }
Box LabelOf(int slot) { return {450 + 100 * slot, 50, 490 + 100 * slot, 70}; }
Box SwitchOf(int slot) { return {500 + 100 * slot, 270, 540 + 100 * slot, 290}; }

std::string Geometry(const Box& b) {
    return std::to_string(b.left) + "," + std::to_string(b.top) + "," + std::to_string(b.Width()) + "," +
           std::to_string(b.Height());
}

// ---- The mixer as this process sees it ----

const std::array<DWORD, 10> kLineKinds = {
    MIXERLINE_COMPONENTTYPE_DST_SPEAKERS,    MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT,
    MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC, MIXERLINE_COMPONENTTYPE_SRC_LINE,
    MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER, MIXERLINE_COMPONENTTYPE_SRC_AUXILIARY,
    MIXERLINE_COMPONENTTYPE_SRC_DIGITAL,     MIXERLINE_COMPONENTTYPE_SRC_TELEPHONE,
    MIXERLINE_COMPONENTTYPE_SRC_PCSPEAKER,   MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE};

struct FoundLine {
    int kind;
    MIXERLINEW line;
    std::optional<DWORD> volume;  // the value of its volume control, channel 1
};

class TestMixer {
public:
    TestMixer() {
        if (mixerOpen(&handle_, 0, 0, 0, MIXER_OBJECTF_MIXER) != MMSYSERR_NOERROR) handle_ = nullptr;
    }
    ~TestMixer() {
        if (handle_) mixerClose(handle_);
    }
    TestMixer(const TestMixer&) = delete;
    TestMixer& operator=(const TestMixer&) = delete;

    bool Open() const { return handle_ != nullptr; }

    // The lines that have a volume control, in the panel's search order.
    std::vector<FoundLine> LinesWithVolume() const {
        std::vector<FoundLine> found;
        for (int kind = 0; kind < 10; ++kind) {
            MIXERLINEW line{};
            line.cbStruct = sizeof line;
            line.dwComponentType = kLineKinds[static_cast<size_t>(kind)];
            if (mixerGetLineInfoW(Object(), &line, MIXER_GETLINEINFOF_COMPONENTTYPE) != MMSYSERR_NOERROR)
                continue;
            const std::optional<MIXERCONTROLW> volume = Control(line, MIXERCONTROL_CONTROLTYPE_VOLUME);
            if (!volume) continue;
            found.push_back({kind, line, Value(*volume)});
        }
        return found;
    }

private:
    HMIXEROBJ Object() const { return reinterpret_cast<HMIXEROBJ>(handle_); }

    std::optional<MIXERCONTROLW> Control(const MIXERLINEW& line, DWORD type) const {
        MIXERCONTROLW control{};
        control.cbStruct = sizeof control;
        MIXERLINECONTROLSW query{};
        query.cbStruct = sizeof query;
        query.dwLineID = line.dwLineID;
        query.dwControlType = type;
        query.cControls = 1;
        query.cbmxctrl = sizeof control;
        query.pamxctrl = &control;
        if (mixerGetLineControlsW(Object(), &query, MIXER_GETLINECONTROLSF_ONEBYTYPE) != MMSYSERR_NOERROR)
            return std::nullopt;
        return control;
    }

    std::optional<DWORD> Value(const MIXERCONTROLW& control) const {
        MIXERCONTROLDETAILS_UNSIGNED value{};
        MIXERCONTROLDETAILS details{};
        details.cbStruct = sizeof details;
        details.dwControlID = control.dwControlID;
        details.cChannels = 1;
        details.cbDetails = sizeof value;
        details.paDetails = &value;
        if (mixerGetControlDetailsW(Object(), &details, MIXER_GETCONTROLDETAILSF_VALUE) != MMSYSERR_NOERROR)
            return std::nullopt;
        return value.dwValue;
    }

    HMIXER handle_ = nullptr;
};

int PictureStep(DWORD volume) { return static_cast<int>(volume * 20 / 65536); }

// ---- The fixture ----

class VolumePanel : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        for (int step = 0; step < 20; ++step) WriteMeter(step, MeterColour(step), SliderOf(0));
        WriteMeter(20, kSoundOn, SwitchOf(0));
        WriteMeter(21, kMuted, SwitchOf(0));
        std::string volume = "[VOLUME]\n";
        for (int n = 0; n < 22; ++n) volume += "Meter" + TwoDigits(n) + "=meter" + TwoDigits(n) + ".bmp\n";
        for (int kind = 0; kind < 10; ++kind) {
            theme_->WriteBmp("label" + std::to_string(kind) + ".bmp", Canvas(40, 20, LabelColour(kind)));
            volume += "label" + std::to_string(kind) + "=label" + std::to_string(kind) + ".bmp\n";
        }
        for (int slot = 0; slot < 3; ++slot)
            volume += "volume" + std::to_string(slot) + "=" + Geometry(SliderOf(slot)) + "," +
                      Geometry(LabelOf(slot)) + "," + Geometry(SwitchOf(slot)) + "\n";
        const std::string box = "255,255,255,0,0,0,Courier New,8";
        theme_->WriteSkin("Corvale.skn", "[DEFAULT]\nBackGround=" + SkinColor(kBackground) +
                                             "\n01=info,L,10,10,380,200," + box + "\n02=report,L," +
                                             Geometry(kReportBox) + "," + box + "\n" + volume);
        PlaceWindow(kWindow.left, kWindow.top, kWindow.right, kWindow.bottom);
    }

    static std::string TwoDigits(int n) { return std::string(n < 10 ? "0" : "").append(std::to_string(n)); }

    void WriteMeter(int n, Rgb colour, const Box& size) const {
        theme_->WriteBmp("meter" + TwoDigits(n) + ".bmp", Canvas(size.Width(), size.Height(), colour));
    }

    // Starts the panel and waits until slot 0's switch shows either picture.
    HWND StartAndWaitForPanel() {
        const HWND window = StartPanelAndWait();
        if (!window) return nullptr;
        const POINT sw = Centre(window, SwitchOf(0));
        WaitUntil(
            [&] {
                const Rgb c = ScreenPixelNow(sw.x, sw.y);
                return c == kSoundOn || c == kMuted;
            },
            10s);
        return window;
    }

    static POINT Centre(HWND window, const Box& inner) {
        return PointIn(InnerToScreen(window, inner), 0.5, 0.5);
    }

    static bool ShowsWithin(POINT p, Rgb colour, Milliseconds limit) {
        return WaitUntil([&] { return ScreenPixelNow(p.x, p.y) == colour; }, limit);
    }
};

TEST_F(VolumePanel, SpeakersAndWaveOutputTakeTheFirstTwoSlotsShowingTheirVolumeAndMute) {
    const TestMixer mixer;
    ASSERT_TRUE(mixer.Open()) << "this machine has no mixer (is ALSA's null device set up?)";
    const std::vector<FoundLine> lines = mixer.LinesWithVolume();
    ASSERT_GE(lines.size(), 2u);
    ASSERT_EQ(lines[0].kind, 0) << "no speakers line";
    ASSERT_EQ(lines[1].kind, 1) << "no wave-output line";
    const HWND window = StartAndWaitForPanel();
    ASSERT_TRUE(window);
    std::this_thread::sleep_for(300ms);
    const ScreenShot shot(ClientRectOnScreen(window));
    for (int slot = 0; slot < 2; ++slot) {
        SCOPED_TRACE("slot " + std::to_string(slot));
        ASSERT_TRUE(lines[static_cast<size_t>(slot)].volume.has_value());
        const Rgb slider = MeterColour(PictureStep(*lines[static_cast<size_t>(slot)].volume));
        for (const auto& [box, colour] :
             {std::pair{SliderOf(slot), slider},
              std::pair{LabelOf(slot), LabelColour(lines[static_cast<size_t>(slot)].kind)}}) {
            const Box b = InnerToScreen(window, box);
            EXPECT_EQ(shot.At(b.left, b.top), colour) << "at " << b;
            EXPECT_EQ(shot.At(b.right - 1, b.bottom - 1), colour) << "at " << b;
            EXPECT_NE(shot.At(b.right, b.bottom), colour) << "beyond " << b;
        }
        const Box sw = InnerToScreen(window, SwitchOf(slot));
        const Rgb switchColour = shot.At(sw.left, sw.top);
        EXPECT_TRUE(switchColour == kSoundOn || switchColour == kMuted) << switchColour;
        EXPECT_EQ(shot.At(sw.right - 1, sw.bottom - 1), switchColour);
    }
    // Only two lines on this mixer: the third slot stays hidden.
    if (lines.size() == 2) {
        const Box third = InnerToScreen(window, SliderOf(2));
        EXPECT_EQ(shot.At(third.left + Scaled(5), third.top + Scaled(5)), kBackground);
    }
}

TEST_F(VolumePanel, APressOnTheSliderSetsTheVolumeByItsHeightAndOnlyTheLeftButtonCounts) {
    const HWND window = StartAndWaitForPanel();
    ASSERT_TRUE(window);
    const Box slider = InnerToScreen(window, SliderOf(0));
    const POINT watch = PointIn(slider, 0.5, 0.5);
    const int x = watch.x;

    Press(x, slider.bottom - 1, MouseButton::Left);
    EXPECT_TRUE(ShowsWithin(watch, MeterColour(0), 500ms))
        << "a press at the bottom edge: showing " << ScreenPixelNow(watch.x, watch.y);
    Press(x, slider.top, MouseButton::Left);
    EXPECT_TRUE(ShowsWithin(watch, MeterColour(19), 500ms))
        << "a press at the top edge: showing " << ScreenPixelNow(watch.x, watch.y);

    Press(x, slider.bottom - 1, MouseButton::Right);
    EXPECT_FALSE(ShowsWithin(watch, MeterColour(0), 700ms)) << "the right button moved the slider";
    EXPECT_EQ(ScreenPixelNow(watch.x, watch.y), MeterColour(19));
}

TEST_F(VolumePanel, AClickOnTheSwitchMutesTheSpeakersAndASecondOneUnmutesThem) {
    const HWND window = StartAndWaitForPanel();
    ASSERT_TRUE(window);
    const POINT sw = Centre(window, SwitchOf(0));
    const Rgb before = ScreenPixelNow(sw.x, sw.y);
    const Rgb toggled = before == kMuted ? kSoundOn : kMuted;

    Click(sw.x, sw.y);
    EXPECT_TRUE(ShowsWithin(sw, toggled, 500ms)) << "the first click: showing " << ScreenPixelNow(sw.x, sw.y);
    Click(sw.x, sw.y);
    EXPECT_TRUE(ShowsWithin(sw, before, 500ms)) << "the second click: showing " << ScreenPixelNow(sw.x, sw.y);
}

// ---- The report ----

std::string Pad(const std::string& text, size_t width) {
    return (text + std::string(width, ' ')).substr(0, width);
}

std::string Row(const std::string& label, const std::string& value, size_t columns) {
    return Pad(label, columns) + " " + Pad(value, columns) + "\r\n";
}

std::string ReportTextOf(HWND window) {
    return TextBoxText(window, kReportBox).value_or("<no second text box>");
}

TEST_F(VolumePanel, TheSecondTextBoxHoldsTheReportOfTheCardAndEveryLineFound) {
    const TestMixer mixer;
    ASSERT_TRUE(mixer.Open());
    const std::vector<FoundLine> lines = mixer.LinesWithVolume();
    ASSERT_FALSE(lines.empty());
    const HWND window = StartAndWaitForPanel();
    ASSERT_TRUE(window);
    std::string report;
    WaitUntil(
        [&] {
            report = ReportTextOf(window);
            return !report.empty() && report[0] != '<';
        },
        5s);
    const size_t firstRow = report.find("\r\n");
    ASSERT_NE(firstRow, std::string::npos) << report;
    const size_t columns = (firstRow - 1) / 2;
    ASSERT_GT(columns, 10u);

    const MIXERLINEW& first = lines[0].line;
    std::string expected = Row("SoundCard", Utf8(first.Target.szPname), columns) +
                           Row("Driver Version", std::to_string(first.Target.vDriverVersion), columns);
    for (const FoundLine& found : lines) {
        expected += " \r\n";
        expected += Row("AudioDevice:", Utf8(found.line.szName), columns);
        expected += Row("Channels:", std::to_string(found.line.cChannels), columns);
        expected += Row("Connections:", std::to_string(found.line.cConnections), columns);
        expected += Row("Controls:", std::to_string(found.line.cControls), columns);
        expected += Row("Shortname:", Utf8(found.line.szShortName), columns);
    }
    EXPECT_EQ(report, expected);
}

// ---- No mixer at all ----

struct DialogSearch {
    DWORD processId;
    HWND found = nullptr;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<DialogSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.processId || !IsWindowVisible(window) || WindowClass(window) != "#32770") return TRUE;
    search.found = window;
    return FALSE;
}

std::string DialogMessage(HWND dialog) {
    std::string message;
    for (const ChildWindow& child : ChildWindows(dialog))
        if (child.className == "Static" && !child.text.empty()) message = child.text;
    return message;
}

std::vector<std::string> DialogButtons(HWND dialog) {
    std::vector<std::string> buttons;
    for (const ChildWindow& child : ChildWindows(dialog))
        if (child.className == "Button" && child.visible) buttons.push_back(child.text);
    return buttons;
}

TEST_F(VolumePanel, WithoutAnySoundDeviceTheMixerMessageShowsAndTheStartGoesOnAfterOk) {
    if (!RunningUnderWine()) GTEST_SKIP() << "only Wine lets a test take the sound devices away";
    const WineSetting noSound = NoAudioDriver();
    Panel& panel = StartPanel();
    DialogSearch search{panel.ProcessId()};
    ASSERT_TRUE(WaitUntil(
        [&] {
            EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        15s))
        << "no message box";
    EXPECT_EQ(DialogMessage(search.found),
              "Couldn't open the mixer please check if a audio mixer is installed then retry.");
    EXPECT_EQ(DialogButtons(search.found), std::vector<std::string>{"OK"});

    PostMessageW(search.found, WM_COMMAND, IDOK, 0);
    const HWND window = panel.WaitForWindow();
    ASSERT_TRUE(window);
    // The information panel comes after the mixer: once it is filled the
    // start is complete.
    EXPECT_TRUE(WaitUntil(
        [&] {
            return !TextBoxText(window, {10, 10, 390, 210}).value_or("").empty();
        },
        10s))
        << "the start did not finish after the message";
    EXPECT_EQ(ReportTextOf(window), "");
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(search.found); }, 2s));
    EXPECT_TRUE(panel.Running());
    // No slider shows without a mixer.
    const Box slider = InnerToScreen(window, SliderOf(0));
    EXPECT_EQ(ScreenPixel(slider.left + Scaled(5), slider.top + Scaled(5)), kBackground);
}

}  // namespace
}  // namespace corvale::e2e
