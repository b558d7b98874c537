// The prompt window: built from the theme skin's [INPUT] section, shaped
// like its background picture, closed by OK, QUIT or Enter.
#include "prompt/frm_input.h"

#include <algorithm>

#include "base/values.h"
#include "commands/launch.h"
#include "prompt/shape_window.h"
#include "skin/animation.h"
#include "skin/hover.h"
#include "skin/layout_builder.h"
#include "skin/sound.h"

namespace corvale {
namespace {

int Component(const std::string& field) {
    return static_cast<int>(std::clamp<long long>(LeadingInteger(field), 0, 255));
}

Color FieldColor(const std::vector<std::string>& f, size_t first) {
    return Rgb(Component(f[first]), Component(f[first + 1]), Component(f[first + 2]));
}

int FieldInt(const std::string& field) {
    return static_cast<int>(std::clamp<long long>(LeadingInteger(field), -1000000, 1000000));
}

}  // namespace

std::optional<std::vector<std::string>> SplitPromptFields(const std::string& value, int count) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (int i = 0; i + 1 < count; ++i) {
        const size_t from = i == 0 ? start : start + 1;
        const size_t comma = from <= value.size() ? value.find(',', from) : std::string::npos;
        if (comma == std::string::npos) return std::nullopt;
        fields.push_back(value.substr(start, comma - start));
        start = comma + 1;
    }
    fields.push_back(value.substr(std::min(start, value.size())));
    return fields;
}

std::optional<Rect> InputBoxPlace(const std::string& value) {
    const auto f = SplitPromptFields(value, 12);
    if (!f) return std::nullopt;
    const int left = FieldInt((*f)[0]), top = FieldInt((*f)[1]);
    return Rect{left, top, left + FieldInt((*f)[2]), top + FieldInt((*f)[3])};
}

FrmInput::FrmInput(Context& ctx, bool nt, WindowHandle owner) : ctx_(ctx), nt_(nt), owner_(owner) {}
FrmInput::~FrmInput() = default;

bool FrmInput::ShowModal() {
    closed_ = false;
    lists_ = SkinLists{};
    form_ = ctx_.os.toolkit.CreateOwnedForm(FormKind::Input, *this, owner_);
    form_->SetCaption("VEXAL Terminal - Input");
    Form_Load();
    const bool answered = closed_ || form_->ShowModal();
    form_.reset();
    return answered;
}

void FrmInput::Form_Load() {
    ctx_.g.InputText.clear();
    const std::string skin = ctx_.g.ThemeFolder() + "Terminal.skn";
    std::string background;
    Color mask = 0;
    if (ctx_.skin.ReadSkinValue("INPUT", "BackGround", skin))
        background = ctx_.g.ThemeFolder() + ctx_.skin.SkinValue;
    if (ctx_.skin.ReadSkinValue("INPUT", "MaskColor", skin))
        if (const auto f = SplitPromptFields(ctx_.skin.SkinValue, 3)) mask = FieldColor(*f, 0);
    if (ctx_.skin.ReadSkinValue("INPUT", "InputBox", skin)) ApplyInputBox(ctx_.skin.SkinValue);
    // A password is never shown as typed, whether or not the skin places the box.
    if (ctx_.g.PasswordPrompt)
        if (Control* box = form_->Find(ControlArray::txtInput, 0)) box->SetPasswordChar('#');
    bool animated = false;
    long delay = 0;
    if (ctx_.skin.ReadSkinValue("STARTUP", "Animated", skin))
        animated = ReadBoolean(ctx_.skin.SkinValue).value_or(false);
    if (ctx_.skin.ReadSkinValue("STARTUP", "AnimDelay", skin))
        delay = ReadLong(ctx_.skin.SkinValue).value_or(0);
    BuildSkinLayout(ctx_, *form_, "INPUT", lists_, animated, delay, skin);
    if (form_) ShapeWindow(ctx_, *form_, mask, background, nt_);
}

// Place, colours and font of the text box; a value too short for the ten
// numbers leaves the box as designed.
void FrmInput::ApplyInputBox(const std::string& value) {
    Control* box = form_->Find(ControlArray::txtInput, 0);
    const auto f = SplitPromptFields(value, 12);
    const auto place = InputBoxPlace(value);
    if (!box || !f || !place) return;
    box->SetLeft(static_cast<int>(place->left));
    box->SetTop(static_cast<int>(place->top));
    box->SetWidth(static_cast<int>(place->Width()));
    box->SetHeight(static_cast<int>(place->Height()));
    box->SetBackColor(FieldColor(*f, 4));
    box->SetForeColor(FieldColor(*f, 7));
    box->SetFontName((*f)[10]);
    box->SetFontSize(LeadingNumber((*f)[11]));
}

void FrmInput::imgBut_Click(int index) {
    if (index < 1 || index > lists_.ButtonCount) return;
    const std::string sound = lists_.ButtonClickSound[static_cast<size_t>(index)];
    const std::string command = lists_.ButtonCommand[static_cast<size_t>(index)];
    PlaySkinSound(ctx_, sound);
    const std::string word = UpperCase(command);
    if (word == "OK") {
        AcceptInput();
    } else if (word == "QUIT") {
        closed_ = true;
        if (form_) form_->Close();
    } else if (!command.empty() && form_) {
        // Through the shell, as the main window's buttons: a command that
        // needs elevation or lives in App Paths starts the same from here.
        LaunchCommandLine(ctx_.os.launcher, form_->Handle(), command, ctx_.g.ProgramDir);
    }
}

void FrmInput::AcceptInput() {
    if (!form_ || closed_) return;
    if (Control* box = form_->Find(ControlArray::txtInput, 0)) ctx_.g.InputText = box->Text();
    closed_ = true;
    form_->Close();
}

void FrmInput::UpdatePromptHover() {
    if (!form_ || closed_) return;
    UpdateButtonHover(ctx_, *form_, lists_);
}

void FrmInput::OnMouseDown(ControlRef, const MouseEvent&) { UpdatePromptHover(); }
void FrmInput::OnMouseMove(ControlRef, const MouseEvent&) { UpdatePromptHover(); }
void FrmInput::OnMouseUp(ControlRef, const MouseEvent&) { UpdatePromptHover(); }

void FrmInput::OnClick(ControlRef source) {
    if (source.array == ControlArray::imgBut) imgBut_Click(source.index);
}

void FrmInput::OnKeyUp(ControlRef source, const KeyEvent& e) {
    if (source.array == ControlArray::txtInput && e.keyCode == kKeyReturn) AcceptInput();
}

void FrmInput::OnTimer(ControlRef source) {
    if (source.array == ControlArray::tmrMouse) UpdatePromptHover();
    else if (source.array == ControlArray::tmrAnim && form_ && !closed_)
        AdvanceAnimation(*form_, lists_, source.index, ctx_.os.toolkit.Now());
}

}  // namespace corvale
