// Hostile themes: whatever a theme folder holds, the program starts, builds
// its face to the last entry, keeps running, answers, and shows nothing but
// its own window.
#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/driver.h"

namespace corvale::e2e {
namespace {

constexpr Box kWindow{100, 50, 900, 650};
constexpr Rgb kMarker{12, 200, 34};
// The last entry of every layout: a button, so that it stacks above
// everything built before it, whatever the broken entries cover.
constexpr Box kMarkerBox{760, 560, 780, 580};

// ---- Broken files -------------------------------------------------------------

void Put16(Bytes& out, unsigned v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}
void Set32(Bytes& bytes, size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.at(at + i) = static_cast<std::uint8_t>(v >> (8 * i));
}

// Two frames on a screen of the given size; each frame's header claims
// `frameW` x `frameH` at (x, y), and its data codes one pixel, whatever the
// header says.
Bytes GifWithSizes(unsigned screenW, unsigned screenH, unsigned frameW, unsigned frameH, unsigned x = 0,
                   unsigned y = 0, unsigned delay = 10) {
    Bytes out{'G', 'I', 'F', '8', '9', 'a'};
    Put16(out, screenW);
    Put16(out, screenH);
    out.insert(out.end(), {0x80, 0, 0, 255, 0, 0, 0, 0, 255});
    for (int frame = 0; frame < 2; ++frame) {
        out.insert(out.end(), {0x21, 0xF9, 4, 0});
        Put16(out, delay);
        out.insert(out.end(), {0, 0, 0x2C});
        Put16(out, x);
        Put16(out, y);
        Put16(out, frameW);
        Put16(out, frameH);
        out.insert(out.end(), {0, 2, 2, 0x44, 0x01, 0});  // clear, colour 0, end
    }
    out.push_back(0x3B);
    return out;
}

// A 4 x 4 bitmap with one header field (at its byte offset) rewritten.
Bytes BmpWith(size_t field, std::uint32_t value) {
    Bytes bmp = EncodeBmp(Canvas(4, 4, Rgb{200, 100, 0}));
    if (field == 28) {  // the 16-bit bit count
        bmp.at(28) = static_cast<std::uint8_t>(value);
        bmp.at(29) = static_cast<std::uint8_t>(value >> 8);
    } else {
        Set32(bmp, field, value);
    }
    return bmp;
}

Bytes Noise(std::mt19937& random, size_t size, const std::string& magic = "") {
    Bytes out(magic.begin(), magic.end());
    std::uniform_int_distribution<int> byte(0, 255);
    while (out.size() < size) out.push_back(static_cast<std::uint8_t>(byte(random)));
    return out;
}

// Noise after a GIF signature, with a graphic control marker every few
// dozen bytes: the frame cutter makes a frame of every piece.
Bytes NoiseGif(std::mt19937& random, size_t size) {
    Bytes out = Noise(random, size, "GIF89a");
    for (size_t at = 13; at + 3 < out.size(); at += 20 + random() % 40) {
        out[at] = 0x00;
        out[at + 1] = 0x21;
        out[at + 2] = 0xF9;
    }
    return out;
}

Bytes Cut(const Bytes& bytes, size_t length) {
    return Bytes(bytes.begin(), bytes.begin() + std::min(length, bytes.size()));
}

// Every length worth cutting a file at: inside each header, and near the end.
std::vector<size_t> CutLengths(size_t size) {
    return {0, 1, 2, 3, 6, 10, 13, 14, 19, 26, 30, 40, 54, 60, size / 2, size - 3, size - 2, size - 1};
}

// ---- Layouts ----------------------------------------------------------------------

struct Layout {
    std::string background = "20,20,20";
    std::string defaults;  // [DEFAULT] keys other than BackGround and the entries
    std::vector<std::string> entries;
    std::string sections;  // whole sections after [DEFAULT]

    void Add(const std::string& value) { entries.push_back(value); }
    std::string Text() const {
        std::string text = "[DEFAULT]\nBackGround=" + background + "\n" + defaults;
        for (size_t i = 0; i < entries.size(); ++i) text += Key(i + 1) + "=" + entries[i] + "\n";
        text += Key(entries.size() + 1) + "=marker.bmp,B," + std::to_string(kMarkerBox.left) + "," +
                std::to_string(kMarkerBox.top) + ",20,20,none,none,0,nothing\n";
        return text + sections;
    }
    static std::string Key(size_t n) { return std::string(n < 10 ? "0" : "").append(std::to_string(n)); }
};

// Places for the entries that are not about geometry: small tiles in rows,
// the buttons in the row the cursor sweeps.
std::string Tile(size_t i, int row) {
    return std::to_string(10 + 25 * (i % 28)) + "," + std::to_string(row + 25 * (i / 28 % 3)) + ",20,20";
}
std::string ButtonAt(size_t i) { return std::to_string(10 + 45 * (i % 16)) + ",100,40,30"; }

// A picture under a name for each kind that takes one: still, button (its
// hover picture the same bytes) and animation.
void UseAsPicture(const ThemeFolder& theme, Layout& layout, const std::string& name, const Bytes& bytes,
                  const std::string& sounds = "none,none") {
    const size_t i = layout.entries.size();
    const std::string ext = name.substr(name.size() - 4);
    const std::string base = name.substr(0, name.size() - 4);
    theme.WriteBytes(name, bytes);
    theme.WriteBytes(base + "a" + ext, bytes);
    layout.Add(name + ",P," + Tile(i, 10));
    layout.Add(name + ",A," + Tile(i + 1, 10));
    layout.Add(name + ",B," + ButtonAt(i / 3) + "," + sounds + ",0,nothing");
}

// Numbers at and beyond the ends of every type a field could be read into.
// clang-format off
const std::vector<std::string> kLimits = {
    "2147483647", "2147483648", "-2147483648", "-2147483649", "4294967296", "9223372036854775808",
    "32767", "32768", "-32769", "65536", "1e308", "-1e308", "1e309", "-1e309", "1e-320", "0.5", "-0.5",
    "&H7FFFFFFF", "&HFFFFFFFF", "&H80000000", "&HFFFFFFFFFFFFFFFFFFFF", std::string(400, '9'), "-", "1e"};
// clang-format on

// ---- The broken themes ----------------------------------------------------------

void HeaderSizes(const ThemeFolder& theme, Layout& layout, std::mt19937&) {
    const struct {
        unsigned sw, sh, fw, fh, x, y;
    } gifs[] = {{32768, 32768, 1, 1, 0, 0}, {65535, 65535, 1, 1, 0, 0}, {0, 0, 1, 1, 0, 0},
                {1, 1, 0, 0, 0, 0},         {8, 8, 65535, 65535, 0, 0}, {8, 8, 1, 1, 65535, 65535},
                {65535, 1, 65535, 1, 0, 0}, {1, 65535, 1, 65535, 0, 0}};
    int n = 0;
    for (const auto& g : gifs)
        UseAsPicture(theme, layout, "g" + std::to_string(n++) + ".gif",
                     GifWithSizes(g.sw, g.sh, g.fw, g.fh, g.x, g.y));
    // Width, height, bit count, pixel offset, compression, palette size, header size.
    const struct {
        size_t field;
        std::uint32_t value;
    } bmps[] = {{18, 0x7FFFFFFF}, {22, 0x7FFFFFFF}, {18, 0},          {22, 0},          {18, 0x80000000},
                {22, 0x80000000}, {18, 65536},      {22, 0xFFFFFFFC}, {18, 0xFFFFFFFF}, {28, 0},
                {28, 7},          {28, 64},         {10, 0xFFFFFFFF}, {10, 0},          {30, 1},
                {30, 0xFFFFFFFF}, {46, 0x40000000}, {14, 0xFFFFFFFF}, {14, 0},          {2, 0}};
    for (const auto& b : bmps)
        UseAsPicture(theme, layout, std::string("b").append(std::to_string(n++)).append(".bmp"),
                     BmpWith(b.field, b.value));
    // Both sides at the largest a header can hold.
    Bytes huge = BmpWith(18, 0x7FFFFFFF);
    Set32(huge, 22, 0x7FFFFFFF);
    UseAsPicture(theme, layout, "huge.bmp", huge);
}

void TruncatedFiles(const ThemeFolder& theme, Layout& layout, std::mt19937&) {
    Canvas stripes(16, 16, Rgb{10, 10, 200});
    stripes.FillRect(0, 0, 8, 16, Rgb{200, 10, 10});
    const Bytes gif = EncodeGif({{stripes, 5}, {Canvas(16, 16, Rgb{0, 90, 0}), 5}, {stripes, 5}});
    const Bytes bmp = EncodeBmp(stripes);
    const Bytes wav = EncodeWav(150, 440);
    int n = 0;
    for (const Bytes* file : {&gif, &bmp}) {
        const std::string ext = file == &gif ? ".gif" : ".bmp";
        for (size_t length : CutLengths(file->size())) {
            const std::string sound = "w" + std::to_string(n);
            theme.WriteBytes(sound + ".wav", Cut(wav, length));
            UseAsPicture(theme, layout, "t" + std::to_string(n++) + ext, Cut(*file, length),
                         sound + "," + sound);
        }
    }
    theme.WriteBytes("start.wav", Cut(wav, 44));
    layout.defaults += "StartupSound=start\n";
    theme.WriteSkin("terminal.skn", "[DEFAULT]\nSound=True\nMultiple=False\n");
    // An override in UTF-16 that ends in the middle of a character.
    std::string text = "\xFF\xFE";
    for (char c : std::string("[DEFAULT]\r\n01=t3.gif,P,0,0,0,0\r\n02=t4.bmp,B,1,1,1,1")) text += {c, '\0'};
    text.pop_back();
    theme.WriteBytes("Corvale.ini", Bytes(text.begin(), text.end()));
}

void RandomBytes(const ThemeFolder& theme, Layout& layout, std::mt19937& random) {
    int n = 0;
    for (size_t size : {1, 7, 100, 4096, 65536}) {
        const std::string riff("RIFF\x10\0\0\0WAVEfmt ", 16);
        theme.WriteBytes("r" + std::to_string(n) + ".wav", Noise(random, size, size > 16 ? riff : ""));
        const std::string sounds = "r" + std::to_string(n) + ",r" + std::to_string(n);
        UseAsPicture(theme, layout, "r" + std::to_string(n++) + ".bmp", Noise(random, size), sounds);
        UseAsPicture(theme, layout, "r" + std::to_string(n++) + ".bmp", Noise(random, size, "BM"), sounds);
        UseAsPicture(theme, layout, "r" + std::to_string(n++) + ".gif", NoiseGif(random, size + 13), sounds);
    }
    theme.WriteBytes("noise", Noise(random, 3000));
    layout.Add("noise,P," + Tile(0, 60));
    layout.Add("noise,A," + Tile(1, 60));
    layout.defaults += "StartupSound=r4\n";
    // Sounds through the media control interface, from a file of noise too.
    theme.WriteSkin("terminal.skn", "[DEFAULT]\nSound=True\nMultiple=True\nPassStartSound=r3\n");
    // The volume panel's pictures are noise as well.
    std::string volume = "[VOLUME]\n";
    for (int m = 0; m <= 21; ++m)
        volume += "Meter" + Layout::Key(m) + "=r" + std::to_string(m % 15) + ".bmp\n";
    for (int k = 0; k <= 9; ++k) volume += "label" + std::to_string(k) + "=r" + std::to_string(k) + ".gif\n";
    for (int s = 0; s <= 9; ++s)
        volume += "volume" + std::to_string(s) + "=" + std::to_string(10 + 30 * s) + ",300,20,80," +
                  std::to_string(10 + 30 * s) + ",390,20,10," + std::to_string(10 + 30 * s) + ",405,20,10\n";
    layout.sections += volume;
    // An override file of noise, with lines that look like entries in it.
    Bytes ini = Noise(random, 2000);
    const std::string lines = "\r\n[DEFAULT]\r\n01=";
    ini.insert(ini.begin() + 500, lines.begin(), lines.end());
    ini.insert(ini.begin() + 1500, lines.begin(), lines.end());
    theme.WriteBytes("Corvale.ini", ini);
}

void NumbersAtTheLimits(const ThemeFolder& theme, Layout& layout, std::mt19937&) {
    theme.WriteBmp("p.bmp", Canvas(4, 4, Rgb{90, 90, 200}));
    theme.WriteBmp("pa.bmp", Canvas(4, 4, Rgb{200, 90, 90}));
    theme.WriteGif("a.gif", {{Canvas(4, 4, Rgb{0, 200, 200}), 65535}, {Canvas(4, 4, Rgb{0, 0, 200}), 0}});
    theme.WriteGif("z.gif", {{Canvas(4, 4, Rgb{200, 200, 0}), 0}, {Canvas(4, 4, Rgb{0, 0, 200}), 1}});
    // Each value in every field of every kind: once as the place (and, since
    // sizes count from the place, as the size too), once as the size alone.
    for (const std::string& v : kLimits) {
        const std::string all = v + "," + v + "," + v + "," + v;
        const std::string size = "300,300," + v + "," + v;
        const std::string colours = v + "," + v + "," + v + "," + v + ",0," + v;
        layout.Add("p.bmp,P," + v + "%," + v + "%," + v + "%," + v + "%");
        for (const std::string& rect : {all, size}) {
            layout.Add("x,L," + rect + "," + colours + ",Courier New," + v);
            layout.Add("p.bmp,P," + rect);
            layout.Add("p.bmp,B," + rect + ",none,none," + v + ",nothing");
            layout.Add("a.gif,A," + rect);
        }
    }
    layout.Add("z.gif,A,400,10,20,20");
    layout.background = "2147483648,-2147483649,1e308";
    theme.WriteSkin("terminal.skn",
                    "[DEFAULT]\nAnimated=1e308\nAnimDelay=-2147483648\nSound=-1e309\nMultiple=&HFFFFFFFF\n");
    std::string volume = "[VOLUME]\nMeter00=p.bmp\n";
    for (int s = 0; s <= 9; ++s) {
        std::string geometry;
        for (int f = 0; f < 12; ++f) geometry += (f ? "," : "") + kLimits[(s * 12 + f) % kLimits.size()];
        volume += "volume" + std::to_string(s) + "=" + geometry + "\n";
    }
    layout.sections += volume;
}

void VeryLongValues(const ThemeFolder& theme, Layout& layout, std::mt19937&) {
    theme.WriteBmp("p.bmp", Canvas(4, 4, Rgb{90, 90, 200}));
    const std::string longName(31000, 'n');
    layout.Add(longName + ".bmp,P,10,10,20,20");
    layout.Add(longName + ".gif,A,40,10,20,20");
    layout.Add("p.bmp,B," + ButtonAt(0) + ",none,none,0," + std::string(40000, 'c'));
    layout.Add("p.bmp,B," + ButtonAt(1) + "," + std::string(20000, 'h') + "," + std::string(20000, 'k') +
               ",0,x");
    layout.Add("x,L,10,200,200,100,255,255,255,0,0,0," + std::string(30000, 'F') + ",10");
    layout.Add("p.bmp,P,70,10," + std::string(31000, '7'));
    layout.Add(std::string(20000, ','));
    layout.Add("p.bmp,B," + ButtonAt(2) + ",none,none,0," + std::string(20000, ','));
    layout.Add(std::string(40000, 'v'));
    layout.background = std::string(30000, '1') + "," + std::string(2000, '2') + ",3";
    layout.defaults = "StartupSound=" + std::string(30000, 's') + "\n";
    std::string info = "[INFO]\n";
    for (int k = 1; k <= 32; ++k)
        info += Layout::Key(static_cast<size_t>(k)) + "=" + std::string(3000, 'i') + "\n";
    layout.sections += info;
    theme.WriteSkin("terminal.skn", "[DEFAULT]\nSound=" + std::string(40000, 'T') +
                                        "\nAnimated=" + std::string(40000, '1') + "\n");
}

// Also the case where letting events run could keep the build from going
// on: a large animation with frames of 10 ms runs while a long animation is
// cut and hundreds of entries are built, and then taken down.
void VeryManyEntries(const ThemeFolder& theme, Layout& layout, std::mt19937&) {
    theme.WriteBmp("p.bmp", Canvas(2, 2, Rgb{90, 90, 200}));
    theme.WriteGif("fast.gif", {{Canvas(64, 48, Rgb{40, 40, 40}), 1}, {Canvas(64, 48, Rgb{60, 60, 60}), 1}});
    std::vector<GifFrame> frames;
    for (int f = 0; f < 200; ++f)
        frames.push_back({Canvas(2, 2, Rgb{static_cast<std::uint8_t>(f), 0, 100}), 1});
    theme.WriteGif("long.gif", frames);
    layout.Add("fast.gif,A,0,0,400,300");
    layout.Add("long.gif,A,10,500,20,20");
    for (size_t i = 0; i < 400; ++i)
        layout.Add("p.bmp,P," + std::to_string(i % 38 * 20) + "," + std::to_string(i / 38 * 20 + 40) +
                   ",10,10");
    for (size_t i = 0; i < 100; ++i) layout.Add("p.bmp,B," + ButtonAt(i) + ",none,none,0,nothing");
}

void BrokenOverrides(const ThemeFolder& theme, Layout& layout, std::mt19937& random) {
    theme.WriteBmp("p.bmp", Canvas(4, 4, Rgb{90, 90, 200}));
    theme.WriteGif("a.gif", {{Canvas(4, 4, Rgb{0, 200, 200}), 10}, {Canvas(4, 4, Rgb{0, 0, 200}), 10}});
    theme.WriteBytes("noise.bmp", Noise(random, 500, "BM"));
    const std::vector<std::string> valid = {"x,L,10,200,100,40,255,255,255,0,0,0,Courier New,10",
                                            "p.bmp,P,10,10,20,20", "p.bmp,B,10,100,40,30,none,none,0,nothing",
                                            "a.gif,A,40,10,20,20"};
    std::string noiseText;
    for (std::uint8_t b : Noise(random, 300))
        if (b != '\r' && b != '\n' && b != 0) noiseText += static_cast<char>(b);
    // clang-format off
    const std::vector<std::string> broken = {
        "", "x", "x,", ",,,,,,,,,,,,,,", "p.bmp,b,10,10,20,20", "p.bmp, P,10,10,20,20", "p.bmp,Q,10,10,20,20",
        "p.bmp,A,10,10,20,20", "a.gif,B,10,100,40,30", "x,L", "p.bmp,P,a,b,c,d", "p.bmp,P,,,,",
        "p.bmp,P,1e308,-1e308,2147483648,-2147483649%", "x,L,1,1,1,1,1e309,-1,256,-32769,32768,&HFFFFFFFF,,-5",
        "missing.bmp,P,10,10,20,20", "noise.bmp,B,10,100,40,30,none,none,maybe", "noise.bmp,A,0,0,0,0",
        "NotFound", "p.bmp,B,10,100,40,30", std::string(40000, 'o'), noiseText, "\xC3\x28\xFF\xFE,P,1,1,1,1"};
    // clang-format on
    std::string ini = "[DEFAULT]\n";
    for (const std::string& b : broken) {
        for (const std::string& v : valid) {
            layout.Add(v);
            ini += Layout::Key(layout.entries.size()) + "=" + b + "\n";
        }
    }
    // Keys the skin does not have, written in ways that are not its keys,
    // twice over, and in a second [DEFAULT].
    ini +=
        "999=p.bmp,P,0,0,0,0\n1=p.bmp,P,0,0,0,0\n001=p.bmp,P,0,0,0,0\n 02 =p.bmp,P,0,0,0,0\n"
        "01=p.bmp,P,0,0,0,0\n[DEFAULT]\n03=p.bmp,P,0,0,0,0\n[default\n=\n==\n";
    theme.WriteSkin("Corvale.ini", ini);
}

struct BrokenTheme {
    const char* name;
    void (*write)(const ThemeFolder&, Layout&, std::mt19937&);
    bool askToClose;
};

void PrintTo(const BrokenTheme& theme, std::ostream* out) { *out << theme.name; }

const BrokenTheme kThemes[] = {
    {"HeaderSizes", HeaderSizes, false},         {"TruncatedFiles", TruncatedFiles, false},
    {"RandomBytes", RandomBytes, false},         {"NumbersAtTheLimits", NumbersAtTheLimits, false},
    {"VeryLongValues", VeryLongValues, false},   {"VeryManyEntries", VeryManyEntries, true},
    {"BrokenOverrides", BrokenOverrides, false},
};

// ---- Watching ------------------------------------------------------------------

struct OthersWindows {
    DWORD panel;
    std::set<HWND> found;
};
BOOL CALLBACK CollectOthersWindow(HWND w, LPARAM search) {
    auto& s = *reinterpret_cast<OthersWindows*>(search);
    DWORD process = 0;
    GetWindowThreadProcessId(w, &process);
    if (IsWindowVisible(w) && process != GetCurrentProcessId() && process != s.panel) s.found.insert(w);
    return TRUE;
}
// Visible top-level windows of every process but the driver and the panel:
// where a crash dialog would show.
std::set<HWND> OtherProgramsWindows(DWORD panel) {
    OthersWindows search{panel, {}};
    EnumWindows(CollectOthersWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Caption, class and the texts of a dialog's labels and buttons.
std::string Describe(HWND w) {
    std::string text = "\"" + WindowText(w) + "\" (" + WindowClass(w) + ")";
    for (const ChildWindow& c : ChildWindows(w))
        if (!c.text.empty() && (c.className == "Static" || c.className == "Button"))
            text += " \"" + c.text.substr(0, 200) + "\"";
    return text;
}

// The two messages the program has: a skin read that failed, and no mixer.
bool OneOfTheProgramsMessages(HWND w) {
    const std::string text = Describe(w);
    return text.find("\"Error Retrieving Key\"") != std::string::npos ||
           text.find("\"Couldn't open the mixer please check if a audio mixer is installed then retry.\"") !=
               std::string::npos;
}

// Along the row of buttons and over the rest of the window: every button
// gets entered and left, with its hover picture and sound.
void SweepTheCursor(const Box& client) {
    for (int x = 0; x < kWindow.Width(); x += 20) {
        MoveCursor(client.left + Scaled(x), client.top + Scaled(115));
        std::this_thread::sleep_for(8ms);
    }
    for (int y = 10; y < kWindow.Height(); y += 120)
        for (int x = 10; x < kWindow.Width(); x += 160) {
            MoveCursor(client.left + Scaled(x), client.top + Scaled(y));
            std::this_thread::sleep_for(8ms);
        }
    MoveCursor(0, 0);
}

class BrokenThemeTest : public PanelTest, public ::testing::WithParamInterface<BrokenTheme> {};

TEST_P(BrokenThemeTest, BuildsToTheLastEntryAndRunsOnAloneAndAnswering) {
    Layout layout;
    std::mt19937 random(20240611);
    GetParam().write(*theme_, layout, random);
    theme_->WriteBmp("marker.bmp", Canvas(20, 20, kMarker));
    theme_->WriteSkin("Corvale.skn", layout.Text());
    PlaceWindow(kWindow.left, kWindow.top, kWindow.right, kWindow.bottom);
    const std::set<HWND> before = OtherProgramsWindows(0);

    Panel& panel = StartPanel();
    const HWND window = panel.WaitForWindow(20s);
    ASSERT_TRUE(window) << (panel.Running() ? "no window" : "the program ended");
    const Box marker = InnerToScreen(window, kMarkerBox);
    EXPECT_TRUE(WaitUntil(
        [&] { return ScreenPixelNow(marker.left + Scaled(10), marker.top + Scaled(10)) == kMarker; }, 40s))
        << "the face was not built to its last entry";
    SweepTheCursor(ClientRectOnScreen(window));
    std::this_thread::sleep_for(300ms);

    ASSERT_TRUE(panel.Running()) << "the program ended with code " << panel.ExitCode().value_or(0);
    DWORD_PTR answer = 0;
    EXPECT_NE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer), 0)
        << "the window does not answer";
    for (HWND w : VisibleTopLevelWindows(panel.ProcessId()))
        EXPECT_TRUE(w == window || OneOfTheProgramsMessages(w))
            << "the program shows another window: " << Describe(w);
    for (HWND w : OtherProgramsWindows(panel.ProcessId()))
        EXPECT_TRUE(before.count(w)) << "another program showed a window (a crash dialog?): " << Describe(w);
    if (GetParam().askToClose) {
        RequestExit();
        EXPECT_TRUE(panel.WaitForExit(20s)) << "the teardown did not end";
    }
}

INSTANTIATE_TEST_SUITE_P(Themes, BrokenThemeTest, ::testing::ValuesIn(kThemes),
                         [](const ::testing::TestParamInfo<BrokenTheme>& p) { return p.param.name; });

}  // namespace
}  // namespace corvale::e2e
