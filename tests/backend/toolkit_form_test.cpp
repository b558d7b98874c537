// Forms and controls over the real window manager: design-time controls,
// control arrays, properties and geometry.
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <limits>

#include "platform/form_design.h"
#include "platform/win32/text.h"
#include "platform/win32/toolkit.h"
#include "tests/backend/toolkit_test_support.h"

namespace corvale::win32 {
namespace {

using testing::AsHwnd;
using testing::RecordingEvents;
using A = ControlArray;

int CALLBACK TakeTrueTypeFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM out) {
    if (!(type & TRUETYPE_FONTTYPE) || font->lfFaceName[0] == L'@') return 1;
    *reinterpret_cast<std::wstring*>(out) = font->lfFaceName;
    return 0;
}

// A face this machine has, found without the toolkit's help.
std::string InstalledFace() {
    std::wstring found;
    const HDC screen = GetDC(nullptr);
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExW(screen, &query, TakeTrueTypeFace, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return Narrow(found);
}

LOGFONTW FontOf(HWND window) {
    LOGFONTW font{};
    const auto handle = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    if (handle) GetObjectW(handle, sizeof(font), &font);
    return font;
}

class ToolkitFormTest : public ::testing::Test {
protected:
    Win32Toolkit toolkit;
    RecordingEvents events;
};

// Both forms are made with the controls of their design, in its order,
// with its places, visibility, timers and colours.
TEST_F(ToolkitFormTest, EachFormHasTheControlsOfItsDesignInOrder) {
    for (const FormKind kind : {FormKind::Main, FormKind::Input}) {
        const auto form = toolkit.CreateForm(kind, events);
        int position = 0;
        for (const DesignControl& design : FormDesign(kind))
            for (int i = 0; i < design.count; ++i, ++position) {
                const Control* c = form->ControlAt(position);
                ASSERT_NE(c, nullptr) << "position " << position;
                EXPECT_EQ(c->Ref(), (ControlRef{design.array, i})) << "position " << position;
                EXPECT_EQ(c, form->Find(design.array, i));
                EXPECT_EQ(c->Visible(), design.visible) << "position " << position;
                EXPECT_EQ(c->Width(), design.width) << "position " << position;
                EXPECT_EQ(c->Interval(), design.interval) << "position " << position;
                EXPECT_EQ(c->Enabled(), design.enabled) << "position " << position;
            }
        EXPECT_EQ(form->ControlCount(), position);
        EXPECT_EQ(form->ControlAt(position), nullptr);
        EXPECT_EQ(form->ControlAt(-1), nullptr);
        EXPECT_EQ(form->ScaleWidth(), kFormDesignWidth);
        EXPECT_EQ(form->ScaleHeight(), kFormDesignHeight);
    }
}

TEST_F(ToolkitFormTest, DesignTimeControlsHaveTheirKindsWindowsAndTimers) {
    const auto form = toolkit.CreateForm(FormKind::Main, events);
    for (A windowed : {A::cmdFake, A::txtBox, A::imgBut}) {
        const WindowHandle h = form->Find(windowed, 0)->Handle();
        EXPECT_TRUE(IsWindow(AsHwnd(h))) << static_cast<int>(windowed);
        EXPECT_EQ(GetParent(AsHwnd(h)), AsHwnd(form->Handle()));
    }
    for (A windowless : {A::imgPic, A::imgGif, A::imgVol, A::imgLbl, A::imgMute, A::imgMeter, A::tmrMouse})
        EXPECT_EQ(form->Find(windowless, 0)->Handle(), 0u) << static_cast<int>(windowless);
    for (A timer : {A::tmrAnim, A::tmrMouse, A::tmrExit, A::tmrAudio})
        EXPECT_FALSE(form->Find(timer, 0)->HasVisibility()) << static_cast<int>(timer);
    EXPECT_EQ(form->Find(A::imgBut, 0)->BackColor(), 0xFFFFFFu);
    char className[32] = {};
    GetClassNameA(AsHwnd(form->Find(A::txtBox, 0)->Handle()), className, sizeof(className));
    EXPECT_STREQ(className, "Edit");
    const LONG style = GetWindowLongW(AsHwnd(form->Find(A::txtBox, 0)->Handle()), GWL_STYLE);
    EXPECT_TRUE(style & ES_MULTILINE);
    EXPECT_TRUE(style & ES_READONLY);
    EXPECT_FALSE(style & WS_VSCROLL) << "the box draws a bar of its own";
}

TEST_F(ToolkitFormTest, FormsAreBorderlessPopupsWithAPixelClientArea) {
    const int tpp = toolkit.TwipsPerPixelX();
    for (FormKind kind : {FormKind::Main, FormKind::Input}) {
        const auto form = toolkit.CreateForm(kind, events);
        const LONG style = GetWindowLongW(AsHwnd(form->Handle()), GWL_STYLE);
        EXPECT_TRUE(style & WS_POPUP);
        EXPECT_FALSE(style & (WS_CAPTION | WS_BORDER | WS_THICKFRAME));
        form->Move(30.0 * tpp, 40.0 * tpp, 300.0 * tpp, 200.0 * tpp);
        EXPECT_EQ(form->Left(), 30.0 * tpp);
        EXPECT_EQ(form->Top(), 40.0 * tpp);
        EXPECT_EQ(form->Width(), 300.0 * tpp);
        EXPECT_EQ(form->Height(), 200.0 * tpp);
        EXPECT_EQ(form->ScaleWidth(), 300);
        EXPECT_EQ(form->ScaleHeight(), 200);
        form->SetOuterSize(120.0 * tpp, 90.0 * tpp);
        EXPECT_EQ(form->ScaleWidth(), 120);
        EXPECT_EQ(form->ScaleHeight(), 90);
        EXPECT_EQ(form->Left(), 30.0 * tpp) << "a new size keeps the place";
        RECT r{};
        GetWindowRect(AsHwnd(form->Handle()), &r);
        EXPECT_EQ(r.left, 30);
        EXPECT_EQ(r.right - r.left, 120);
    }
}

TEST_F(ToolkitFormTest, CaptionReachesTheWindowAsUtf16) {
    const auto form = toolkit.CreateForm(FormKind::Main, events);
    const std::string caption = "VEXAL Terminal - Corval\xC3\xA9";
    form->SetCaption(caption);
    EXPECT_EQ(form->Caption(), caption);
    wchar_t text[64] = {};
    GetWindowTextW(AsHwnd(form->Handle()), text, 64);
    EXPECT_STREQ(text, L"VEXAL Terminal - Corval\u00e9");
}

TEST_F(ToolkitFormTest, TextWidthGrowsWithTheTextAndTheFont) {
    const auto form = toolkit.CreateForm(FormKind::Main, events);
    const std::string face = InstalledFace();
    ASSERT_FALSE(face.empty());
    ASSERT_TRUE(form->SetFont(face, 10));
    const int tpp = toolkit.TwipsPerPixelX();
    const double one = form->TextWidth("W");
    const double four = form->TextWidth("WWWW");
    EXPECT_GT(one, 0);
    EXPECT_GT(four, 3 * one);
    EXPECT_EQ(std::fmod(four, tpp), 0.0) << "whole pixels in twips";
    EXPECT_EQ(form->TextWidth(""), 0);
    ASSERT_TRUE(form->SetFont(face, 20));
    EXPECT_GT(form->TextWidth("WWWW"), four * 1.5);
    EXPECT_FALSE(form->SetFont(face, 0));
    EXPECT_FALSE(form->SetFont("No Such Face Anywhere", 10));
    EXPECT_GT(form->TextWidth("WWWW"), four * 1.5) << "a refused font leaves the last one";
}

TEST_F(ToolkitFormTest, CreateCopiesTheTemplateAndStartsHidden) {
    const auto form = toolkit.CreateForm(FormKind::Main, events);
    const PicturePtr picture = toolkit.LoadPictureFromBytes(testing::Bmp24(1, 1, {9, 8, 7}));
    ASSERT_NE(picture, nullptr);
    Control* templ = form->Find(A::imgGif, 0);
    templ->SetLeft(5);
    templ->SetTop(6);
    templ->SetWidth(70);
    templ->SetHeight(80);
    templ->SetStretch(false);
    templ->SetPicture(picture);
    templ->SetEnabled(false);
    templ->SetVisible(true);
    templ->SetTag("500");

    Control* made = form->Create(A::imgGif, 1);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->Ref(), (ControlRef{A::imgGif, 1}));
    EXPECT_EQ(made->Left(), 5);
    EXPECT_EQ(made->Top(), 6);
    EXPECT_EQ(made->Width(), 70);
    EXPECT_EQ(made->Height(), 80);
    EXPECT_EQ(made->Picture(), picture);
    EXPECT_FALSE(made->Enabled());
    EXPECT_FALSE(made->Visible());
    EXPECT_EQ(made->Tag(), "");

    const std::string face = InstalledFace();
    Control* box = form->Find(A::txtBox, 0);
    ASSERT_TRUE(box->SetFontName(face));
    ASSERT_TRUE(box->SetFontSize(14));
    ASSERT_TRUE(box->SetBackColor(Rgb(1, 2, 3)));
    ASSERT_TRUE(box->SetForeColor(Rgb(4, 5, 6)));
    Control* boxCopy = form->Create(A::txtBox, 1);
    ASSERT_NE(boxCopy, nullptr);
    EXPECT_NE(boxCopy->Handle(), box->Handle());
    EXPECT_FALSE(IsWindowVisible(AsHwnd(boxCopy->Handle())));
    EXPECT_EQ(boxCopy->FontName(), face);
    EXPECT_EQ(boxCopy->FontSize(), 14);
    EXPECT_EQ(Narrow(FontOf(AsHwnd(boxCopy->Handle())).lfFaceName), face);
    EXPECT_EQ(boxCopy->BackColor(), Rgb(1, 2, 3));

    form->Find(A::tmrAnim, 0)->SetInterval(40);
    Control* timer = form->Create(A::tmrAnim, 1);
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->Interval(), 40);
    EXPECT_FALSE(timer->Enabled());
}

TEST_F(ToolkitFormTest, CreateRefusesElementsThatExistOrHaveNoTemplate) {
    const auto form = toolkit.CreateForm(FormKind::Main, events);
    ASSERT_NE(form->Create(A::imgBut, 1), nullptr);
    EXPECT_EQ(form->Create(A::imgBut, 1), nullptr);
    EXPECT_EQ(form->Create(A::imgBut, 0), nullptr);
    EXPECT_EQ(form->Create(A::imgBut, -1), nullptr);
    EXPECT_EQ(form->Create(A::txtInput, 1), nullptr) << "no txtInput on the main form";
    EXPECT_EQ(form->Create(A::imgVol, 3), nullptr) << "imgVol(3) exists from the start";
}

TEST_F(ToolkitFormTest, CreatedControlsFollowCreationOrderAndUnloadRemovesThem) {
    const auto form = toolkit.CreateForm(FormKind::Main, events);
    const int designed = form->ControlCount();
    Control* button = form->Create(A::imgBut, 1);
    Control* picture = form->Create(A::imgPic, 1);
    Control* timer = form->Create(A::tmrAnim, 1);
    ASSERT_TRUE(button && picture && timer);
    EXPECT_EQ(form->ControlCount(), designed + 3);
    EXPECT_EQ(form->ControlAt(designed), button);
    EXPECT_EQ(form->ControlAt(designed + 1), picture);
    EXPECT_EQ(form->ControlAt(designed + 2), timer);

    const HWND buttonWindow = AsHwnd(button->Handle());
    ASSERT_TRUE(IsWindow(buttonWindow));
    EXPECT_TRUE(form->Unload(*button));
    EXPECT_FALSE(IsWindow(buttonWindow));
    EXPECT_EQ(form->Find(A::imgBut, 1), nullptr);
    EXPECT_EQ(form->ControlAt(designed), picture);
    EXPECT_TRUE(form->Unload(*timer));
    EXPECT_EQ(form->ControlCount(), designed + 1);

    for (int i = 0; i < designed; ++i) EXPECT_FALSE(form->Unload(*form->ControlAt(i))) << "position " << i;
    EXPECT_EQ(form->ControlCount(), designed + 1);

    const auto other = toolkit.CreateForm(FormKind::Main, events);
    EXPECT_FALSE(other->Unload(*picture)) << "a control of another form";
    EXPECT_NE(form->Create(A::imgBut, 1), nullptr) << "an unloaded element can be made again";
}

TEST_F(ToolkitFormTest, PropertiesReadBackWhatWasSet) {
    const auto form = toolkit.CreateForm(FormKind::Main, events);
    Control* controls[] = {form->Create(A::txtBox, 1), form->Create(A::imgBut, 1), form->Create(A::imgPic, 1),
                           form->Find(A::imgVol, 4)};
    for (Control* c : controls) {
        ASSERT_NE(c, nullptr);
        SCOPED_TRACE(static_cast<int>(c->Ref().array));
        EXPECT_TRUE(c->SetLeft(-12));
        EXPECT_TRUE(c->SetTop(34));
        EXPECT_TRUE(c->SetWidth(56));
        EXPECT_TRUE(c->SetHeight(0));
        EXPECT_FALSE(c->SetWidth(-1));
        EXPECT_FALSE(c->SetHeight(-5));
        EXPECT_EQ(c->Left(), -12);
        EXPECT_EQ(c->Top(), 34);
        EXPECT_EQ(c->Width(), 56);
        EXPECT_EQ(c->Height(), 0);
        c->SetVisible(true);
        EXPECT_TRUE(c->Visible());
        c->SetEnabled(false);
        EXPECT_FALSE(c->Enabled());
        c->SetTag("frame \xC3\xA9");
        EXPECT_EQ(c->Tag(), "frame \xC3\xA9");
        if (c->Handle()) {
            RECT r{};
            GetWindowRect(AsHwnd(c->Handle()), &r);
            MapWindowPoints(nullptr, AsHwnd(form->Handle()), reinterpret_cast<POINT*>(&r), 2);
            EXPECT_EQ(r.left, -12);
            EXPECT_EQ(r.top, 34);
            EXPECT_EQ(r.right - r.left, 56);
            EXPECT_TRUE(GetWindowLongW(AsHwnd(c->Handle()), GWL_STYLE) & WS_VISIBLE);
            EXPECT_FALSE(IsWindowEnabled(AsHwnd(c->Handle())));
        }
    }
    Control* button = controls[1];
    EXPECT_TRUE(button->SetBackColor(0));
    EXPECT_EQ(button->BackColor(), 0u);
    EXPECT_TRUE(button->SetBackColor(0xFFFFFF));
    EXPECT_EQ(button->BackColor(), 0xFFFFFFu);
    EXPECT_TRUE(controls[2]->SetStretch(true));
    EXPECT_TRUE(controls[2]->SetPicture(nullptr));
    EXPECT_EQ(controls[2]->Picture(), nullptr);
}

TEST_F(ToolkitFormTest, ControlsRefuseValuesAndPropertiesTheyDoNotHave) {
    const auto form = toolkit.CreateForm(FormKind::Main, events);
    Control* box = form->Create(A::txtBox, 1);
    Control* picture = form->Create(A::imgPic, 1);
    Control* timer = form->Find(A::tmrExit, 0);
    const double fontBefore = box->FontSize();
    const std::string faceBefore = box->FontName();
    for (double bad : {0.0, -3.0, 5000.0, std::numeric_limits<double>::quiet_NaN()})
        EXPECT_FALSE(box->SetFontSize(bad)) << bad;
    EXPECT_FALSE(box->SetFontName("No Such Face Anywhere"));
    EXPECT_FALSE(box->SetFontName(""));
    EXPECT_EQ(box->FontSize(), fontBefore);
    EXPECT_EQ(box->FontName(), faceBefore);
    EXPECT_FALSE(box->SetPasswordChar('#')) << "a multi-line box shows no mask";
    EXPECT_FALSE(box->SetStretch(true));
    EXPECT_FALSE(picture->SetText("words"));
    EXPECT_FALSE(picture->SetFontSize(10));
    EXPECT_FALSE(picture->SetBackColor(0x123456));
    EXPECT_FALSE(timer->SetPicture(nullptr));
    EXPECT_FALSE(timer->SetInterval(-1));
    EXPECT_FALSE(timer->SetInterval(70000));
    EXPECT_EQ(timer->Interval(), 500);
    timer->SetVisible(true);
    EXPECT_FALSE(timer->Visible());
}

TEST_F(ToolkitFormTest, TextBoxesShowTheirTextColoursAndFont) {
    const auto form = toolkit.CreateForm(FormKind::Main, events);
    Control* box = form->Create(A::txtBox, 1);
    const std::string text = "Line one\r\nLigne deux \xC3\xA9\r\n";
    ASSERT_TRUE(box->SetText(text));
    EXPECT_EQ(box->Text(), text);
    wchar_t shown[64] = {};
    GetWindowTextW(AsHwnd(box->Handle()), shown, 64);
    EXPECT_STREQ(shown, L"Line one\r\nLigne deux \u00e9\r\n");

    ASSERT_TRUE(box->SetBackColor(Rgb(10, 20, 30)));
    ASSERT_TRUE(box->SetForeColor(Rgb(200, 100, 50)));
    const HDC dc = CreateCompatibleDC(nullptr);
    // A read-only edit asks its parent for colours as a static control does.
    const LRESULT brush =
        SendMessageW(AsHwnd(form->Handle()), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(AsHwnd(box->Handle())));
    EXPECT_NE(brush, 0);
    EXPECT_EQ(GetBkColor(dc), RGB(10, 20, 30));
    EXPECT_EQ(GetTextColor(dc), RGB(200, 100, 50));
    LOGBRUSH logBrush{};
    GetObjectW(reinterpret_cast<HBRUSH>(brush), sizeof(logBrush), &logBrush);
    EXPECT_EQ(logBrush.lbColor, RGB(10, 20, 30));
    DeleteDC(dc);

    ASSERT_TRUE(box->SetFontSize(20));
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(FontOf(AsHwnd(box->Handle())).lfHeight, -static_cast<LONG>(std::lround(20.0 * dpi / 72)));
}

TEST_F(ToolkitFormTest, InputBoxMasksTypedTextButKeepsIt) {
    const auto form = toolkit.CreateForm(FormKind::Input, events);
    Control* input = form->Find(A::txtInput, 0);
    const HWND edit = AsHwnd(input->Handle());
    EXPECT_FALSE(GetWindowLongW(edit, GWL_STYLE) & ES_MULTILINE);
    EXPECT_FALSE(GetWindowLongW(edit, GWL_STYLE) & ES_READONLY);
    ASSERT_TRUE(input->SetText("secret"));
    ASSERT_TRUE(input->SetPasswordChar('#'));
    EXPECT_EQ(SendMessageW(edit, EM_GETPASSWORDCHAR, 0, 0), '#');
    EXPECT_EQ(input->Text(), "secret");
    SetWindowTextW(edit, L"typed \u00e9");  // as if the user typed
    EXPECT_EQ(input->Text(), "typed \xC3\xA9");
    ASSERT_TRUE(input->SetPasswordChar(0));
    EXPECT_EQ(SendMessageW(edit, EM_GETPASSWORDCHAR, 0, 0), 0);
}

TEST_F(ToolkitFormTest, ClosedFormLetsGoOfItsWindowsAndStaysUsable) {
    auto form = toolkit.CreateForm(FormKind::Main, events);
    Control* button = form->Create(A::imgBut, 1);
    const HWND formWindow = AsHwnd(form->Handle());
    const HWND buttonWindow = AsHwnd(button->Handle());
    form->Close();
    EXPECT_FALSE(IsWindow(formWindow));
    EXPECT_FALSE(IsWindow(buttonWindow));
    EXPECT_EQ(form->Handle(), 0u);
    EXPECT_EQ(button->Handle(), 0u);
    EXPECT_TRUE(button->SetLeft(3));
    EXPECT_EQ(button->Left(), 3);
    EXPECT_EQ(form->ScaleWidth(), 0);
    EXPECT_TRUE(form->Unload(*button));
    form.reset();
}

}  // namespace
}  // namespace corvale::win32
