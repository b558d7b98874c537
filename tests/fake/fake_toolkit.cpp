// The fake window toolkit.
#include "tests/fake/fake_toolkit.h"

#include <algorithm>
#include <cmath>

#include "platform/form_design.h"

namespace corvale::fake {
namespace {

std::string Name(ControlArray array) {
    switch (array) {
        case ControlArray::Form: return "Form";
        case ControlArray::txtBox: return "txtBox";
        case ControlArray::imgPic: return "imgPic";
        case ControlArray::imgBut: return "imgBut";
        case ControlArray::imgGif: return "imgGif";
        case ControlArray::tmrAnim: return "tmrAnim";
        case ControlArray::imgVol: return "imgVol";
        case ControlArray::imgLbl: return "imgLbl";
        case ControlArray::imgMute: return "imgMute";
        case ControlArray::imgMeter: return "imgMeter";
        case ControlArray::txtInput: return "txtInput";
        case ControlArray::cmdFake: return "cmdFake";
        case ControlArray::tmrMouse: return "tmrMouse";
        case ControlArray::tmrExit: return "tmrExit";
        case ControlArray::tmrAudio: return "tmrAudio";
    }
    return "?";
}

std::string Label(ControlRef ref) { return Name(ref.array) + "(" + std::to_string(ref.index) + ")"; }

bool IsTimer(ControlArray array) {
    return array == ControlArray::tmrAnim || array == ControlArray::tmrMouse ||
           array == ControlArray::tmrExit || array == ControlArray::tmrAudio;
}

bool HasWindow(ControlArray array) {
    return array == ControlArray::imgBut || array == ControlArray::txtBox ||
           array == ControlArray::txtInput || array == ControlArray::cmdFake;
}

}  // namespace

std::vector<std::string> FakeControl::knownFonts;

std::vector<std::uint8_t> FakePicture::Rgb24() const {
    if (!rgb_.empty()) return rgb_;
    return std::vector<std::uint8_t>(static_cast<size_t>(width_ * height_ * 3), 0);
}

std::string PictureSource(const PicturePtr& picture) {
    if (!picture) return "";
    if (auto fake = std::dynamic_pointer_cast<const FakePicture>(picture)) return fake->Source();
    return "?";
}

// --- FakeControl -------------------------------------------------------

#define CORVALE_FAKE_RECORD(prop, value) \
    form_.Toolkit().journal.push_back("set " + Label(ref_) + "." prop " " + (value))

bool FakeControl::SetLeft(int value) {
    left = value;
    CORVALE_FAKE_RECORD("Left", std::to_string(value));
    return true;
}
bool FakeControl::SetTop(int value) {
    top = value;
    CORVALE_FAKE_RECORD("Top", std::to_string(value));
    return true;
}
bool FakeControl::SetWidth(int value) {
    if (value < 0) return false;  // the toolkit refuses negative sizes
    width = value;
    CORVALE_FAKE_RECORD("Width", std::to_string(value));
    return true;
}
bool FakeControl::SetHeight(int value) {
    if (value < 0) return false;
    height = value;
    CORVALE_FAKE_RECORD("Height", std::to_string(value));
    return true;
}
void FakeControl::SetVisible(bool value) {
    visible = value;
    CORVALE_FAKE_RECORD("Visible", value ? "True" : "False");
}
void FakeControl::SetEnabled(bool value) {
    enabled = value;
    CORVALE_FAKE_RECORD("Enabled", value ? "True" : "False");
    if (IsTimer(ref_.array)) form_.Toolkit().timerDue_.erase(this);
    if (IsTimer(ref_.array) && value && interval > 0)
        form_.Toolkit().timerDue_[this] = form_.Toolkit().now + interval;
}
bool FakeControl::SetBackColor(Color value) {
    backColor = value;
    CORVALE_FAKE_RECORD("BackColor", std::to_string(value));
    return true;
}
bool FakeControl::SetForeColor(Color value) {
    foreColor = value;
    CORVALE_FAKE_RECORD("ForeColor", std::to_string(value));
    return true;
}
bool FakeControl::SetFontName(const std::string& name) {
    if (!knownFonts.empty() && std::find(knownFonts.begin(), knownFonts.end(), name) == knownFonts.end())
        return false;
    fontName = name;
    CORVALE_FAKE_RECORD("FontName", name);
    return true;
}
bool FakeControl::SetFontSize(double points) {
    if (!(points > 0) || points > 2048) return false;
    fontSize = points;
    CORVALE_FAKE_RECORD("FontSize", std::to_string(points));
    return true;
}
bool FakeControl::SetText(const std::string& value) {
    text = value;
    CORVALE_FAKE_RECORD("Text", value);
    return true;
}
bool FakeControl::SetPasswordChar(char mask) {
    passwordChar = mask;
    CORVALE_FAKE_RECORD("PasswordChar", std::string(1, mask));
    return true;
}
void FakeControl::SetTag(const std::string& value) {
    tag = value;
    CORVALE_FAKE_RECORD("Tag", value);
}
bool FakeControl::SetStretch(bool value) {
    stretch = value;
    CORVALE_FAKE_RECORD("Stretch", value ? "True" : "False");
    return true;
}
bool FakeControl::SetPicture(PicturePtr value) {
    picture = std::move(value);
    ++pictureLoads;
    CORVALE_FAKE_RECORD("Picture", PictureSource(picture));
    return true;
}
bool FakeControl::SetInterval(int milliseconds) {
    if (milliseconds < 0 || milliseconds > 65535) return false;
    interval = milliseconds;
    CORVALE_FAKE_RECORD("Interval", std::to_string(milliseconds));
    auto& due = form_.Toolkit().timerDue_;
    due.erase(this);
    if (enabled && interval > 0) due[this] = form_.Toolkit().now + interval;
    return true;
}
void FakeControl::BringToFront() {
    zOrder = form_.NextZ();
    form_.Toolkit().journal.push_back("front " + Label(ref_));
}

#undef CORVALE_FAKE_RECORD

// --- FakeForm ----------------------------------------------------------

FakeForm::FakeForm(FakeToolkit& toolkit, FormKind kind, FormEvents& events)
    : toolkit_(toolkit), kind_(kind), events_(events), handle_(toolkit.NewHandle()) {
    for (const DesignControl& design : FormDesign(kind))
        for (int i = 0; i < design.count; ++i) {
            FakeControl& made = Add(design.array, i);
            made.left = design.left;
            made.top = design.top;
            made.width = design.width;
            made.height = design.height;
            made.visible = design.visible;
            made.stretch = design.stretch;
            made.interval = design.interval;
            made.enabled = design.enabled;
            made.backColor = design.backColor;
            if (made.enabled && made.interval > 0) toolkit_.timerDue_[&made] = toolkit_.now + made.interval;
        }
}

FakeControl& FakeForm::Add(ControlArray array, int index) {
    const WindowHandle handle = HasWindow(array) ? toolkit_.NewHandle() : 0;
    controls_.push_back(
        std::make_unique<FakeControl>(*this, ControlRef{array, index}, !IsTimer(array), handle));
    byRef_[{array, index}] = controls_.back().get();
    return *controls_.back();
}

FakeForm::~FakeForm() {
    for (auto& c : controls_) toolkit_.timerDue_.erase(c.get());
    std::erase(toolkit_.forms, this);
}

void FakeForm::Move(double l, double t, double w, double h) {
    left = l;
    top = t;
    width = w;
    height = h;
    const int tpp = toolkit_.twipsPerPixel;
    scaleWidth = static_cast<int>(std::lround(w / tpp));
    scaleHeight = static_cast<int>(std::lround(h / tpp));
    toolkit_.journal.push_back("move form");
}

void FakeForm::SetOuterSize(double w, double h) {
    width = w;
    height = h;
    const int tpp = toolkit_.twipsPerPixel;
    scaleWidth = static_cast<int>(std::lround(w / tpp));
    scaleHeight = static_cast<int>(std::lround(h / tpp));
}

bool FakeForm::SetFont(const std::string& name, double points) {
    fontName = name;
    fontSize = points;
    return true;
}

// A fixed-pitch font of 0.6 em per character, in twips (20 twips a point).
double FakeForm::TextWidth(const std::string& text) const {
    return static_cast<double>(text.size()) * fontSize * 20.0 * 0.6;
}

bool FakeForm::SetPicture(PicturePtr value) {
    picture = std::move(value);
    return true;
}

FakeControl* FakeForm::Get(ControlArray array, int index) {
    const auto it = byRef_.find({array, index});
    return it == byRef_.end() ? nullptr : it->second;
}

Control* FakeForm::Create(ControlArray array, int index) {
    if (index <= 0 || Get(array, index)) return nullptr;
    FakeControl* templ = Get(array, 0);
    if (!templ) return nullptr;
    FakeControl& made = Add(array, index);
    // A new element copies its template, except that it starts hidden.
    made.left = templ->left;
    made.top = templ->top;
    made.width = templ->width;
    made.height = templ->height;
    made.enabled = templ->enabled;
    made.backColor = templ->backColor;
    made.foreColor = templ->foreColor;
    made.fontName = templ->fontName;
    made.fontSize = templ->fontSize;
    made.stretch = templ->stretch;
    made.picture = templ->picture;
    made.interval = templ->interval;
    made.visible = false;
    toolkit_.journal.push_back("create " + Label(made.Ref()));
    return &made;
}

Control* FakeForm::Find(ControlArray array, int index) { return Get(array, index); }

Control* FakeForm::ControlAt(int position) {
    if (position < 0 || position >= ControlCount()) return nullptr;
    return controls_[static_cast<size_t>(position)].get();
}

bool FakeForm::Unload(Control& control) {
    if (control.Ref().index == 0 || control.Ref().array == ControlArray::imgVol ||
        control.Ref().array == ControlArray::imgLbl || control.Ref().array == ControlArray::imgMute ||
        control.Ref().array == ControlArray::imgMeter)
        return false;
    for (auto it = controls_.begin(); it != controls_.end(); ++it) {
        if (it->get() == &control) {
            toolkit_.journal.push_back("unload " + Label(control.Ref()));
            toolkit_.timerDue_.erase(it->get());
            byRef_.erase({control.Ref().array, control.Ref().index});
            controls_.erase(it);
            return true;
        }
    }
    return false;
}

void FakeForm::Show() {
    shown = true;
    toolkit_.journal.push_back("show form");
}

bool FakeForm::ShowModal() {
    shown = true;
    toolkit_.journal.push_back("show modal");
    if (toolkit_.onShowModal) toolkit_.onShowModal(*this);
    closed = true;
    return !toolkit_.quitDuringModal;
}

void FakeForm::Close() {
    closed = true;
    shown = false;
    for (auto& c : controls_) toolkit_.timerDue_.erase(c.get());
    toolkit_.journal.push_back("close form");
}

// --- FakeToolkit -------------------------------------------------------

std::unique_ptr<Form> FakeToolkit::CreateOwnedForm(FormKind kind, FormEvents& events, WindowHandle owner) {
    auto form = std::make_unique<FakeForm>(*this, kind, events);
    form->owner = owner;
    forms.push_back(form.get());
    return form;
}

PicturePtr FakeToolkit::LoadPicture(const std::string& path) {
    journal.push_back("load " + path);
    const auto it = pictureFiles.find(path);
    if (it == pictureFiles.end()) return nullptr;
    const auto rgb = pictureRgb.find(path);
    return std::make_shared<FakePicture>(path, it->second.first, it->second.second,
                                         rgb == pictureRgb.end() ? std::vector<std::uint8_t>{} : rgb->second);
}

PicturePtr FakeToolkit::LoadPictureFromBytes(std::span<const std::uint8_t> bytes) {
    if (decodeBytes) return decodeBytes(bytes);
    if (bytes.empty()) return nullptr;
    return std::make_shared<FakePicture>("bytes:" + std::to_string(bytes.size()), 1, 1);
}

// A dense picture reads as the plain one it stands for: "bytes:<size>@<density>".
PicturePtr FakeToolkit::LoadDensePictureFromBytes(std::span<const std::uint8_t> bytes, int density) {
    PicturePtr picture = LoadPictureFromBytes(bytes);
    if (density == 1 || !picture) return picture;
    return std::make_shared<FakePicture>(PictureSource(picture) + "@" + std::to_string(density),
                                         picture->Width(), picture->Height());
}

PictureFile FakeToolkit::ChoosePictureFile(const std::string& path) {
    const auto it = denseVariants.find(path);
    return it == denseVariants.end() ? PictureFile{path, 1} : it->second;
}

void FakeToolkit::DoEvents() {
    ++doEventsCount;
    journal.push_back("doevents");
    FireDueTimers();
    if (onDoEvents) {
        auto hook = onDoEvents;  // the hook may replace itself
        hook();
    }
}

void FakeToolkit::Sleep(int milliseconds) {
    if (milliseconds < 0) milliseconds = 0;
    now += milliseconds;
    sleptMs += milliseconds;
    journal.push_back("sleep " + std::to_string(milliseconds));
}

void FakeToolkit::MessageBox(const std::string& text) {
    messageBoxes.push_back(text);
    journal.push_back("msgbox " + text);
}

// The first monitor the rectangle overlaps; off all of them, the first.
NearestMonitor FakeToolkit::MonitorNearest(const Rect& r) const {
    if (monitors.empty())
        return {r.left < screenWidth && r.right > 0 && r.top < screenHeight && r.bottom > 0, workArea};
    for (const Monitor& m : monitors)
        if (r.left < m.area.right && m.area.left < r.right && r.top < m.area.bottom && m.area.top < r.bottom)
            return {true, m.workArea};
    return {false, monitors.front().workArea};
}

WindowHandle FakeToolkit::WindowFromPoint(Point screen) const {
    if (windowFromPoint) return windowFromPoint(screen);
    for (FakeForm* form : forms) {
        if (form->closed) continue;
        const long fx = std::lround(form->left / twipsPerPixel);
        const long fy = std::lround(form->top / twipsPerPixel);
        const FakeControl* best = nullptr;
        for (int i = 0; i < form->ControlCount(); ++i) {
            auto* c = static_cast<const FakeControl*>(form->ControlAt(i));
            if (!c->Handle() || !c->Visible()) continue;
            const long x = screen.x - fx;
            const long y = screen.y - fy;
            if (x >= c->left && x < c->left + c->width && y >= c->top && y < c->top + c->height)
                if (!best || c->zOrder >= best->zOrder) best = c;
        }
        if (best) return best->Handle();
        const long x = screen.x - fx;
        const long y = screen.y - fy;
        if (form->shown && x >= 0 && y >= 0 && x < form->scaleWidth && y < form->scaleHeight)
            return form->Handle();
    }
    return 0;
}

void FakeToolkit::EndProgram() {
    journal.push_back("end");
    throw ProgramEnded{};
}

// Fires, once each, the timers that are due now, earliest first. A handler
// may unload controls, so the due list is read afresh for every timer.
void FakeToolkit::FireDueTimers() {
    for (;;) {
        const Control* next = nullptr;
        long long due = 0;
        for (const auto& [control, when] : timerDue_)
            if (when <= now && (!next || when < due)) {
                next = control;
                due = when;
            }
        if (!next) return;
        auto* timer = const_cast<FakeControl*>(static_cast<const FakeControl*>(next));
        if (timer->interval > 0 && timer->enabled) timerDue_[next] = now + timer->interval;
        else timerDue_.erase(next);
        if (FakeForm* owner = OwnerOf(timer)) owner->Events().OnTimer(timer->Ref());
    }
}

FakeForm* FakeToolkit::OwnerOf(const Control* control) {
    for (FakeForm* form : forms)
        for (int i = 0; i < form->ControlCount(); ++i)
            if (form->ControlAt(i) == control) return form;
    return nullptr;
}

void FakeToolkit::Advance(int milliseconds) {
    const long long end = now + milliseconds;
    for (;;) {
        long long next = end + 1;
        for (const auto& [control, when] : timerDue_)
            next = std::min(next, (when + timerTick - 1) / timerTick * timerTick);
        if (next > end) break;
        now = std::max(now, next);
        FireDueTimers();
    }
    now = end;
}

}  // namespace corvale::fake
