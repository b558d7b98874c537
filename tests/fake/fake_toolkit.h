// An in-memory window toolkit that records what the program asks of it and
// owns a clock that moves only when the program sleeps or a test advances it.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/toolkit.h"

namespace corvale::fake {

// A picture made by a test: a size and a name to recognise it by.
class FakePicture : public Picture {
public:
    FakePicture(std::string source, int width, int height, std::vector<std::uint8_t> rgb = {})
        : source_(std::move(source)), width_(width), height_(height), rgb_(std::move(rgb)) {}
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    std::vector<std::uint8_t> Rgb24() const override;
    const std::string& Source() const { return source_; }

private:
    std::string source_;
    int width_;
    int height_;
    std::vector<std::uint8_t> rgb_;
};

// The source a fake picture was loaded from ("" for none).
std::string PictureSource(const PicturePtr& picture);

class FakeForm;

class FakeControl : public Control {
public:
    FakeControl(FakeForm& form, ControlRef ref, bool hasVisibility, WindowHandle handle)
        : form_(form), ref_(ref), hasVisibility_(hasVisibility), handle_(handle) {}

    ControlRef Ref() const override { return ref_; }
    int Left() const override { return left; }
    int Top() const override { return top; }
    int Width() const override { return width; }
    int Height() const override { return height; }
    bool SetLeft(int value) override;
    bool SetTop(int value) override;
    bool SetWidth(int value) override;
    bool SetHeight(int value) override;
    bool HasVisibility() const override { return hasVisibility_; }
    bool Visible() const override { return hasVisibility_ && visible; }
    void SetVisible(bool value) override;
    bool Enabled() const override { return enabled; }
    void SetEnabled(bool value) override;
    Color BackColor() const override { return backColor; }
    bool SetBackColor(Color value) override;
    bool SetForeColor(Color value) override;
    std::string FontName() const override { return fontName; }
    double FontSize() const override { return fontSize; }
    bool SetFontName(const std::string& name) override;
    bool SetFontSize(double points) override;
    std::string Text() const override { return text; }
    bool SetText(const std::string& value) override;
    bool SetPasswordChar(char mask) override;
    std::string Tag() const override { return tag; }
    void SetTag(const std::string& value) override;
    bool SetStretch(bool value) override;
    PicturePtr Picture() const override { return picture; }
    bool SetPicture(PicturePtr value) override;
    int Interval() const override { return interval; }
    bool SetInterval(int milliseconds) override;
    WindowHandle Handle() const override { return handle_; }
    void BringToFront() override;

    // Properties, public so that tests can set the scene and read the result.
    int left = 0, top = 0, width = 0, height = 0;
    bool visible = false;
    bool enabled = true;
    Color backColor = 0xFFFFFF;
    Color foreColor = 0;
    std::string fontName = "Courier New";
    double fontSize = 10;
    std::string text;
    char passwordChar = 0;
    std::string tag;
    bool stretch = false;
    PicturePtr picture;
    int interval = 0;
    int pictureLoads = 0;  // how often SetPicture was called
    int zOrder = 0;        // larger is nearer the front

    // Font names the control accepts; empty accepts every name.
    static std::vector<std::string> knownFonts;

private:
    FakeForm& form_;
    ControlRef ref_;
    bool hasVisibility_;
    WindowHandle handle_;
};

class FakeToolkit;

class FakeForm : public Form {
public:
    FakeForm(FakeToolkit& toolkit, FormKind kind, FormEvents& events);
    WindowHandle owner = 0;
    ~FakeForm() override;

    WindowHandle Handle() const override { return handle_; }
    void SetCaption(const std::string& value) override { caption = value; }
    std::string Caption() const override { return caption; }
    Color BackColor() const override { return backColor; }
    void SetBackColor(Color color) override { backColor = color; }
    double Left() const override { return left; }
    double Top() const override { return top; }
    double Width() const override { return width; }
    double Height() const override { return height; }
    void Move(double l, double t, double w, double h) override;
    void SetOuterSize(double w, double h) override;
    int ScaleWidth() const override { return scaleWidth; }
    int ScaleHeight() const override { return scaleHeight; }
    bool SetFont(const std::string& name, double points) override;
    double TextWidth(const std::string& text) const override;
    bool SetPicture(PicturePtr value) override;
    void SetOutlineColor(Color mask) override { outlineColor = mask; }
    Control* Create(ControlArray array, int index) override;
    Control* Find(ControlArray array, int index) override;
    int ControlCount() const override { return static_cast<int>(controls_.size()); }
    Control* ControlAt(int position) override;
    bool Unload(Control& control) override;
    void Show() override;
    bool ShowModal() override;
    void Close() override;
    void Refresh() override { ++refreshes; }
    Sight SightNow() override {
        ++sightLooks;
        return sight;
    }

    FakeControl* Get(ControlArray array, int index);
    FormEvents& Events() { return events_; }
    FakeToolkit& Toolkit() { return toolkit_; }
    FormKind Kind() const { return kind_; }
    int NextZ() { return ++zCounter_; }

    std::string caption;
    Color backColor = 0x8000000F;  // the system's button-face colour until a skin sets one
    double left = 0, top = 0, width = 0, height = 0;
    int scaleWidth = 0, scaleHeight = 0;  // client size; follows Move unless a test sets it
    bool shown = false;
    bool closed = false;
    int refreshes = 0;
    Sight sight;         // what SightNow answers
    int sightLooks = 0;  // how often it was asked
    std::string fontName = "MS Sans Serif";
    double fontSize = 8;
    PicturePtr picture;
    std::optional<Color> outlineColor;

private:
    FakeControl& Add(ControlArray array, int index);

    FakeToolkit& toolkit_;
    FormKind kind_;
    FormEvents& events_;
    WindowHandle handle_;
    std::vector<std::unique_ptr<FakeControl>> controls_;  // creation order
    // The same controls by array and index, so that finding one does not cost
    // a walk over all of them (the benchmarks build forms of thousands).
    std::map<std::pair<ControlArray, int>, FakeControl*> byRef_;
    int zCounter_ = 0;
};

// One thing the program did, in order: "sleep 50", "doevents", "msgbox ...",
// "set imgBut(1).Picture <source>" and so on.
using Journal = std::vector<std::string>;

class FakeToolkit : public Toolkit {
public:
    std::unique_ptr<Form> CreateOwnedForm(FormKind kind, FormEvents& events, WindowHandle owner) override;
    PicturePtr LoadPicture(const std::string& path) override;
    PicturePtr LoadPictureFromBytes(std::span<const std::uint8_t> bytes) override;
    PicturePtr LoadDensePictureFromBytes(std::span<const std::uint8_t> bytes, int density) override;
    PictureFile ChoosePictureFile(const std::string& path) override;
    void DoEvents() override;
    void Sleep(int milliseconds) override;
    void MessageBox(const std::string& text) override;
    int ScreenWidthPixels() const override { return screenWidth; }
    int TwipsPerPixelX() const override { return twipsPerPixel; }
    int TwipsPerPixelY() const override { return twipsPerPixel; }
    Rect WorkArea() const override { return workArea; }
    NearestMonitor MonitorNearest(const Rect& r) const override;
    Point CursorPos() const override { return cursor; }
    WindowHandle WindowFromPoint(Point screen) const override;
    [[noreturn]] void EndProgram() override;

    long long Now() const override { return now; }

    // Advances the clock without sleeping, firing due timers of every form.
    void Advance(int milliseconds);
    WindowHandle NewHandle() { return ++lastHandle; }

    // Scene.
    int screenWidth = 1024;
    int twipsPerPixel = 15;
    Rect workArea{0, 0, 1024, 740};
    // The monitors, each with its work area, the nearest to any place first;
    // none stands for one of screenWidth x screenHeight with workArea.
    struct Monitor {
        Rect area, workArea;
    };
    std::vector<Monitor> monitors;
    int screenHeight = 768;
    Point cursor;
    // Window under the cursor; when unset, the front-most fake control with a
    // window whose rectangle holds the cursor, else the form under it.
    std::function<WindowHandle(Point)> windowFromPoint;
    // Picture files that load, by full path (case-sensitive), with their size.
    std::map<std::string, std::pair<int, int>> pictureFiles;
    // Denser variants the display draws from, by the plain file's path.
    std::map<std::string, PictureFile> denseVariants;
    // Their pixels, where a test gives them; every pixel black otherwise.
    std::map<std::string, std::vector<std::uint8_t>> pictureRgb;
    // Decodes in-memory pictures; by default any non-empty bytes give a
    // 1x1 picture named "bytes:<size>".
    std::function<PicturePtr(std::span<const std::uint8_t>)> decodeBytes;
    // Runs inside DoEvents (a test's way of delivering events mid-handler).
    std::function<void()> onDoEvents;
    // Runs inside a modal show; it should close the form.
    std::function<void(FakeForm&)> onShowModal;
    // The program is told to quit while a modal show runs.
    bool quitDuringModal = false;
    // Advance fires a timer at the first multiple of this many milliseconds
    // at or after it is due, as the system's clock ticks (15.6 ms on Windows).
    int timerTick = 1;

    Journal journal;
    long long now = 0;
    int doEventsCount = 0;
    long long sleptMs = 0;
    std::vector<std::string> messageBoxes;
    std::vector<FakeForm*> forms;  // live forms, in order of creation

private:
    void FireDueTimers();
    FakeForm* OwnerOf(const Control* control);
    WindowHandle lastHandle = 100;
    std::map<const Control*, long long> timerDue_;
    friend class FakeForm;
    friend class FakeControl;
};

// Thrown by EndProgram so that a test sees the program end.
struct ProgramEnded {};

}  // namespace corvale::fake
