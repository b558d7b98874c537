// The starter theme: its skins, with a comment above each part an author
// changes, and its pictures, drawn here.
#include "ctl/starter_theme.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "image/encode.h"

namespace corvale::ctl {
namespace {

struct Rgb {
    std::uint8_t r, g, b;
};

constexpr Rgb kBack{24, 28, 36};   // the window; the skin's BackGround
constexpr Rgb kPanel{14, 17, 23};  // text box and key faces
constexpr Rgb kInk{200, 214, 230};
constexpr Rgb kBlue{90, 170, 255};
constexpr Rgb kBlueDim{40, 80, 130};
constexpr Rgb kAmber{255, 170, 80};
constexpr Rgb kAmberDim{130, 85, 40};
constexpr Rgb kRed{230, 90, 80};
constexpr Rgb kRedDim{120, 50, 45};
constexpr Rgb kUnlit{40, 48, 60};
constexpr Rgb kMask{255, 0, 255};  // cut away around the prompt

// Letters three pixels wide and five high, row by row, '#' lit; a letter
// not here is a blank.
constexpr std::pair<char, std::string_view> kFont[] = {
    {'A', ".#. #.# ### #.# #.#"}, {'C', "### #.. #.. #.. ###"}, {'D', "##. #.# #.# #.# ##."},
    {'E', "### #.. ##. #.. ###"}, {'I', "### .#. .#. .#. ###"}, {'K', "#.# #.# ##. #.# #.#"},
    {'L', "#.. #.. #.. #.. ###"}, {'M', "#.# ### ### #.# #.#"}, {'N', "##. #.# #.# #.# #.#"},
    {'O', "### #.# #.# #.# ###"}, {'P', "### #.# ### #.. #.."}, {'Q', "### #.# #.# ### ..#"},
    {'R', "##. #.# ##. #.# #.#"}, {'S', "### #.. ### ..# ###"}, {'T', "### .#. .#. .#. .#."},
    {'U', "#.# #.# #.# #.# ###"}, {'V', "#.# #.# #.# #.# .#."}, {'W', "#.# #.# ### ### #.#"},
};

class Canvas {
public:
    Canvas(int width, int height, Rgb fill)
        : p_{width, height, std::vector<std::uint8_t>(static_cast<size_t>(width * height) * 4, 255)} {
        Fill(0, 0, width, height, fill);
    }

    void Fill(int x, int y, int w, int h, Rgb c) {
        for (int row = std::max(y, 0); row < std::min(y + h, p_.height); ++row)
            for (int col = std::max(x, 0); col < std::min(x + w, p_.width); ++col) {
                std::uint8_t* at = &p_.bgra[static_cast<size_t>(row * p_.width + col) * 4];
                at[0] = c.b;
                at[1] = c.g;
                at[2] = c.r;
            }
    }

    void Border(int x, int y, int w, int h, Rgb c) {
        Fill(x, y, w, 1, c);
        Fill(x, y + h - 1, w, 1, c);
        Fill(x, y, 1, h, c);
        Fill(x + w - 1, y, 1, h, c);
    }

    static int TextWidth(std::string_view text, int scale) {
        return text.empty() ? 0 : static_cast<int>(text.size()) * 4 * scale - scale;
    }

    void Text(int x, int y, std::string_view text, Rgb c, int scale) {
        for (const char letter : text) {
            for (const auto& [known, rows] : kFont) {
                if (known != letter) continue;
                int i = 0;
                for (const char dot : rows) {
                    if (dot == ' ') continue;
                    if (dot == '#') Fill(x + i % 3 * scale, y + i / 3 * scale, scale, scale, c);
                    ++i;
                }
            }
            x += 4 * scale;
        }
    }

    const image::Pixels& Pixels() const { return p_; }

private:
    image::Pixels p_;
};

// A key: a dark face with a rim and label in its colour, lit under the cursor.
Canvas Key(std::string_view label, int w, int h, Rgb tone, Rgb dim, bool lit) {
    Canvas key(w, h, lit ? tone : kPanel);
    key.Border(0, 0, w, h, lit ? tone : dim);
    key.Text((w - Canvas::TextWidth(label, 2)) / 2, (h - 10) / 2, label, lit ? kPanel : tone, 2);
    return key;
}

// Volume step `step` of 20: the segments up to it lit, the top ones amber.
Canvas Meter(int step) {
    Canvas meter(24, 120, kBack);
    meter.Fill(4, 0, 16, 120, kPanel);
    for (int segment = 0; segment < 20; ++segment)
        meter.Fill(6, 120 - (segment + 1) * 6 + 1, 12, 4,
                   segment > step  ? kUnlit
                   : segment >= 16 ? kAmber
                                   : kBlue);
    return meter;
}

Canvas Switch(bool muted) {
    Canvas button(40, 14, muted ? kRed : kPanel);
    button.Border(0, 0, 40, 14, muted ? kRed : kBlueDim);
    const std::string_view label = muted ? "MUTE" : "ON";
    button.Text((40 - Canvas::TextWidth(label, 1)) / 2, 5, label, muted ? kPanel : kBlue, 1);
    return button;
}

Canvas Title() {
    Canvas title(240, 24, kBack);
    title.Text(0, 2, "CORVALE STARTER", kBlue, 2);
    title.Fill(0, 20, 240, 2, kBlueDim);
    return title;
}

Canvas Label() {
    Canvas label(48, 9, kBack);
    label.Text((48 - Canvas::TextWidth("MASTER", 1)) / 2, 2, "MASTER", kInk, 1);
    return label;
}

// The prompt's plate: what is of the mask colour is cut away, here the
// rounded corners.
Canvas PromptPlate() {
    Canvas plate(240, 110, kBack);
    plate.Border(0, 0, 240, 110, kBlue);
    plate.Border(1, 1, 238, 108, kBlue);
    for (const auto& [x, y] : {std::pair{0, 0}, {237, 0}, {0, 107}, {237, 107}})
        plate.Fill(x, y, 3, 3, kMask);
    plate.Text(20, 14, "PASSWORD", kInk, 2);
    plate.Border(18, 38, 204, 24, kBlueDim);
    return plate;
}

// Three dots, one lit a frame.
std::vector<image::GifFrame> Spinner() {
    std::vector<image::GifFrame> frames;
    for (int lit = 0; lit < 3; ++lit) {
        Canvas frame(48, 16, kBack);
        for (int dot = 0; dot < 3; ++dot) frame.Fill(4 + dot * 16, 4, 8, 8, dot == lit ? kBlue : kUnlit);
        frames.push_back({frame.Pixels(), 30});
    }
    return frames;
}

constexpr const char* kInfoLabels[32] = {"Operating System",
                                         "Version",
                                         "Build",
                                         "User",
                                         "Windows Folder",
                                         "System Folder",
                                         "Temp Folder",
                                         "Computer",
                                         "Processors",
                                         "Processor Mask",
                                         "Processor",
                                         "Total Memory",
                                         "Free Memory",
                                         "Total Virtual",
                                         "Free Virtual",
                                         "Removable Drives",
                                         "Fixed Drives",
                                         "CD-ROM Drives",
                                         "RAM Disks",
                                         "Network Drives",
                                         "Drive",
                                         "Type",
                                         "Size",
                                         "Free",
                                         "Label",
                                         "Serial",
                                         "Removable",
                                         "Fixed",
                                         "CD-ROM",
                                         "RAM Disk",
                                         "Network",
                                         "(no medium)"};

std::string LayoutSkin() {
    std::string skin =
        "; The starter theme's layout, for screens of every width; a layout for one width\n"
        "; only is named after it (Corvale1024.skn). docs/THEMES.md walks through this file.\n"
        "\n"
        "[DEFAULT]\n"
        "; The window's colour: red, green, blue.\n"
        "BackGround=24,28,36\n"
        "; Entries, in the order they are made: FILE,KIND,LEFT,TOP,WIDTH,HEIGHT, then the kind's own\n"
        "; fields. A negative Left or Top counts from the right or bottom edge; a negative Width\n"
        "; or Height ends that many pixels before it.\n"
        "; A picture (P), at its own size.\n"
        "01=title.bmp,P,16,16,240,24\n"
        "; An animation (A): a GIF's frames, each for its own time.\n"
        "02=spin.gif,A,-64,20,48,16\n"
        "; A text box (L): colours of its back and its text, its font. The first text box is the\n"
        "; information box, with the labels of [INFO].\n"
        "03=info,L,16,56,460,-16,14,17,23,200,214,230,Courier New,9\n"
        "; Buttons (B): hover sound, click sound (none: no sound), password flag, command. Under\n"
        "; the cursor a button shows its picture's hover face: open.bmp has opena.bmp.\n"
        "04=open.bmp,B,500,56,156,28,none,none,True,notepad.exe\n"
        "05=quit.bmp,B,500,92,156,28,none,none,False,QUIT\n"
        "\n"
        "[INFO]\n";
    for (int n = 0; n < 32; ++n)
        skin += (n < 9 ? "0" : "") + std::to_string(n + 1) + "=" + kInfoLabels[n] + "\n";
    skin +=
        "\n"
        "[VOLUME]\n"
        "; The slider's 20 faces, silent to full, then the switch playing and muted.\n";
    for (int n = 0; n < 20; ++n) {
        const std::string number = (n < 10 ? "0" : "") + std::to_string(n);
        skin += "Meter" + number + "=meter" + number + ".bmp\n";
    }
    skin +=
        "Meter20=on.bmp\n"
        "Meter21=mute.bmp\n"
        "label0=master.bmp\n"
        "; The first mixer line found: slider, label and switch, each Left,Top,Width,Height.\n"
        "volume0=566,140,24,120,554,266,48,9,558,280,40,14\n";
    return skin;
}

constexpr const char kThemeSkin[] =
    "; The starter theme's switches and its password prompt.\n"
    "\n"
    "[DEFAULT]\n"
    "Animated=False\n"
    "AnimDelay=0\n"
    "Sound=True\n"
    "Multiple=False\n"
    "\n"
    "[INPUT]\n"
    "; The prompt takes its picture's size; the mask colour's pixels are cut away.\n"
    "BackGround=prompt.bmp\n"
    "MaskColor=255,0,255\n"
    "; Left, Top, Width, Height, back colour, text colour, font, size of the password box.\n"
    "InputBox=20,40,200,20,14,17,23,200,214,230,Courier New,10\n"
    "; OK hands the password in, QUIT closes the prompt.\n"
    "01=ok.bmp,B,20,76,90,22,none,none,False,OK\n"
    "02=cancel.bmp,B,130,76,90,22,none,none,False,QUIT\n"
    "\n"
    "[STARTUP]\n"
    "Animated=False\n"
    "AnimDelay=0\n";

// Skins keep Windows' line ends.
std::vector<std::uint8_t> Text(const std::string& text) {
    std::vector<std::uint8_t> bytes;
    for (const char c : text) {
        if (c == '\n') bytes.push_back('\r');
        bytes.push_back(static_cast<std::uint8_t>(c));
    }
    return bytes;
}

}  // namespace

std::map<std::string, std::vector<std::uint8_t>> StarterTheme() {
    std::map<std::string, std::vector<std::uint8_t>> files;
    auto picture = [&](const std::string& name, const Canvas& canvas) {
        files[name] = image::EncodeBmp(canvas.Pixels());
    };
    files["terminal.skn"] = Text(kThemeSkin);
    files["Corvale.skn"] = Text(LayoutSkin());
    picture("title.bmp", Title());
    picture("open.bmp", Key("NOTEPAD", 156, 28, kAmber, kAmberDim, false));
    picture("opena.bmp", Key("NOTEPAD", 156, 28, kAmber, kAmberDim, true));
    picture("quit.bmp", Key("QUIT", 156, 28, kRed, kRedDim, false));
    picture("quita.bmp", Key("QUIT", 156, 28, kRed, kRedDim, true));
    for (int step = 0; step < 20; ++step)
        picture("meter" + std::string(step < 10 ? "0" : "") + std::to_string(step) + ".bmp", Meter(step));
    picture("on.bmp", Switch(false));
    picture("mute.bmp", Switch(true));
    picture("master.bmp", Label());
    picture("prompt.bmp", PromptPlate());
    picture("ok.bmp", Key("OK", 90, 22, kBlue, kBlueDim, false));
    picture("oka.bmp", Key("OK", 90, 22, kBlue, kBlueDim, true));
    picture("cancel.bmp", Key("CANCEL", 90, 22, kRed, kRedDim, false));
    picture("cancela.bmp", Key("CANCEL", 90, 22, kRed, kRedDim, true));
    // Three frames of few colours always fit one table and cut cleanly.
    files["spin.gif"] = image::EncodeGif(Spinner()).value();
    return files;
}

}  // namespace corvale::ctl
