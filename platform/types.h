// Value types shared by the program and every platform interface.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace corvale {

// Colours are red + 256 * green + 65536 * blue, as the skins write them.
using Color = std::uint32_t;

constexpr Color Rgb(int red, int green, int blue) {
    return static_cast<Color>(red & 0xFF) | (static_cast<Color>(green & 0xFF) << 8) |
           (static_cast<Color>(blue & 0xFF) << 16);
}

// An opaque window handle, comparable with what the system reports for the
// window under the cursor. 0 means "no window".
using WindowHandle = std::uintptr_t;

struct Point {
    long x = 0;
    long y = 0;
};

// A rectangle in screen pixels, right and bottom exclusive.
struct Rect {
    long left = 0;
    long top = 0;
    long right = 0;
    long bottom = 0;
    long Width() const { return right - left; }
    long Height() const { return bottom - top; }
};

// The control arrays and single controls of the program's forms. Arrays are
// addressed with an index; single controls use index 0.
enum class ControlArray {
    Form,  // the form itself, as the source of its own mouse events
    txtBox,
    imgPic,
    imgBut,
    imgGif,
    tmrAnim,
    imgVol,
    imgLbl,
    imgMute,
    imgMeter,
    txtInput,
    cmdFake,
    tmrMouse,
    tmrExit,
    tmrAudio,
};

struct ControlRef {
    ControlArray array = ControlArray::Form;
    int index = 0;
    friend bool operator==(const ControlRef&, const ControlRef&) = default;
};

// Mouse buttons as a bit set, as the window toolkit reports them.
enum MouseButton : int { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };

// A mouse event. x and y are relative to the control's top-left corner, in
// twips (pixels times the screen's twips per pixel), as the toolkit's mouse
// events have always reported them.
struct MouseEvent {
    int button = 0;
    int shift = 0;
    double x = 0;
    double y = 0;
};

struct KeyEvent {
    int keyCode = 0;
    int shift = 0;
};

constexpr int kKeyReturn = 13;

// A decoded picture.
class Picture {
public:
    virtual ~Picture() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Pixels as three bytes each, rows top to bottom without padding, in the
    // order red, green, blue, so that a pixel's colour reads
    // b0 + 256 * b1 + 65536 * b2 like any other colour of the program.
    virtual std::vector<std::uint8_t> Rgb24() const = 0;
};

using PicturePtr = std::shared_ptr<const Picture>;

// A picture file as a display draws it: the file to read, and how many of
// its pixels make one skin pixel (2 for title@2x.bmp).
struct PictureFile {
    std::string path;
    int density = 1;
    friend bool operator==(const PictureFile&, const PictureFile&) = default;
};

}  // namespace corvale
