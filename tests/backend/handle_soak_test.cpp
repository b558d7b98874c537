// No handle leaks: the program's own hover, animation and prompt code on
// the real toolkit, run thousands of times, leaves the process with as many
// GDI and USER objects as it had.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/desktop_win32.h"
#include "platform/win32/files_win32.h"
#include "platform/win32/handles.h"
#include "platform/win32/launcher_win32.h"
#include "platform/win32/mixer_win32.h"
#include "platform/win32/probes_win32.h"
#include "platform/win32/profile_win32.h"
#include "platform/win32/settings_win32.h"
#include "platform/win32/shaper_win32.h"
#include "platform/win32/sound_win32.h"
#include "platform/win32/text.h"
#include "platform/win32/toolkit.h"
#include "prompt/frm_input.h"
#include "skin/animation.h"
#include "skin/hover.h"
#include "skin/layout_builder.h"
#include "tests/backend/toolkit_test_support.h"

namespace corvale::win32 {
namespace {

using testing::AnimatedGif;
using testing::Bmp24;
using A = ControlArray;

// Live GDI objects of this process. Wine answers 0 to GetGuiResources, but
// it still takes a handle's low 16 bits for the whole handle, so there every
// live object answers GetObjectType at its table index.
long LiveGdiObjects() {
    if (const DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<long>(n);
    long n = 0;
    for (std::uintptr_t i = 1; i <= 0xFFFF; ++i)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(i))) ++n;
    return n;
}

BOOL CALLBACK CountOwnWindow(HWND window, LPARAM count) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId()) return TRUE;
    ++*reinterpret_cast<long*>(count);
    EnumChildWindows(window, CountOwnWindow, count);  // grandchildren come through their parents
    return TRUE;
}

// USER objects of this process; under Wine, its windows, the only USER
// objects the backend makes (message-only ones included).
long LiveUserObjects() {
    if (const DWORD n = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)) return static_cast<long>(n);
    long n = 0;
    EnumWindows(CountOwnWindow, reinterpret_cast<LPARAM>(&n));
    for (HWND w = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); w;
         w = FindWindowExW(HWND_MESSAGE, w, nullptr, nullptr))
        CountOwnWindow(w, reinterpret_cast<LPARAM>(&n));
    return n;
}

struct Counts {
    long gdi = LiveGdiObjects();
    long user = LiveUserObjects();
    std::chrono::steady_clock::time_point at = std::chrono::steady_clock::now();
};

std::vector<std::uint8_t> Solid(int width, int height, std::uint8_t red) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width * height) * 3, 0);
    for (std::size_t i = 0; i < rgb.size(); i += 3) rgb[i] = red;
    return Bmp24(width, height, rgb);
}

std::vector<std::uint8_t> Text(const std::string& text) { return {text.begin(), text.end()}; }

class HandleSoakTest : public ::testing::Test, private FormEvents {
protected:
    void SetUp() override {
        theme.Write(L"b.bmp", Solid(40, 20, 200));
        theme.Write(L"ba.bmp", Solid(40, 20, 100));
        theme.Write(L"prompt.bmp", Solid(160, 80, 50));
        const std::vector<int> pixels(16, 1);
        theme.Write(L"f.gif", AnimatedGif(4, 4, {{100, 0, 0, 4, 4, pixels}, {100, 0, 0, 4, 4, pixels}}));
        theme.Write(L"Corvale.skn", Text("[DEFAULT]\r\n01=b.bmp,B,10,10,40,20,none,none,0,nothing\r\n"
                                         "02=f.gif,A,100,10,40,40\r\n"));
        theme.Write(
            L"terminal.skn",
            Text("[DEFAULT]\r\nSound=False\r\n[INPUT]\r\nBackGround=prompt.bmp\r\nMaskColor=255,0,255\r\n"
                 "InputBox=10,10,100,20,255,255,255,0,0,0,Courier New,10\r\n"
                 "01=b.bmp,B,10,40,40,20,none,none,0,OK\r\n02=f.gif,A,60,40,20,20\r\n"));
        ctx.g.ProgramDir = Narrow(theme.Path()) + "\\";
        ctx.g.LayoutSkinName = "Corvale";
        const double tpp = toolkit.TwipsPerPixelX();
        form = toolkit.CreateForm(FormKind::Main, *this);
        form->Move(kFormX * tpp, kFormY * static_cast<double>(toolkit.TwipsPerPixelY()), 300 * tpp,
                   200.0 * toolkit.TwipsPerPixelY());
        form->Show();
        BuildSkinLayout(ctx, *form, "DEFAULT", lists, false, 0, ctx.g.LayoutSkinPath());
        ASSERT_EQ(lists.ButtonCount, 1);
        ASSERT_EQ(lists.AnimCount, 1);
    }

    // Step i: the cursor onto the button or off it; true when its state
    // changed. Every tenth step also paints (a paint under Wine costs
    // more than the step itself).
    bool Hover(int i) {
        const bool onto = i % 2 == 0;
        SetCursorPos(kFormX + (onto ? 30 : 250), kFormY + (onto ? 20 : 150));
        const Color before = form->Find(A::imgBut, 1)->BackColor();
        UpdateButtonHover(ctx, *form, lists);
        if (i % 10 == 0) toolkit.DoEvents();
        return form->Find(A::imgBut, 1)->BackColor() != before;
    }

    void Frame(int i) {
        AdvanceAnimation(*form, lists, 1, toolkit.Now());
        if (i % 10 == 0) toolkit.DoEvents();
    }

    // Answers the prompt with Enter once it is up.
    static void CALLBACK AnswerPrompt(HWND, UINT, UINT_PTR, DWORD) {
        const HWND prompt = FindWindowW(nullptr, L"VEXAL Terminal - Input");
        if (const HWND box = prompt ? FindWindowExW(prompt, nullptr, L"EDIT", nullptr) : nullptr) {
            ++answered;
            SendMessageW(box, WM_KEYUP, VK_RETURN, 0xC0000001);
        }
    }
    static inline int answered = 0;
    void OpenPrompt(bool nt) {
        const UINT_PTR timer = SetTimer(nullptr, 0, 5, AnswerPrompt);
        FrmInput prompt(ctx, nt);
        prompt.ShowModal();
        KillTimer(nullptr, timer);
        toolkit.DoEvents();
    }

    // Runs `step` n times and takes the counts ten times along the way. Flat
    // means no rise, or a single one of a few objects: a cache that fills
    // once (Wine keeps the DCs it makes for windows, six at a time with their
    // regions), after which the counts stay put.
    static void Soak(const char* what, int n, const std::function<void(int)>& step) {
        std::vector<Counts> counts(1);
        for (int i = 0; i < n; ++i) {
            step(i);
            if ((i + 1) % (n / 10) == 0) counts.emplace_back();
        }
        const Counts& first = counts.front();
        const Counts& last = counts.back();
        int rises = 0;
        for (std::size_t i = 1; i < counts.size(); ++i)
            rises += counts[i].gdi > counts[i - 1].gdi || counts[i].user > counts[i - 1].user;
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(last.at - first.at).count();
        std::printf("[ soak     ] %d %s: GDI %ld -> %ld, USER %ld -> %ld, %d rise(s), %lld ms\n", n, what,
                    first.gdi, last.gdi, first.user, last.user, rises, static_cast<long long>(ms));
        EXPECT_LE(rises, 1) << what << ": the counts grew more than once";
        EXPECT_LE(last.gdi - first.gdi, 16) << what;
        EXPECT_LE(last.user - first.user, 1) << what;
    }

    static constexpr int kFormX = 80;
    static constexpr int kFormY = 60;

    testing::TempFolder theme{L"corvale-soak"};
    Win32Desktop desktop;
    Win32Toolkit toolkit;
    RegistrySettings settings;
    ProfileFileReader profile;
    Win32Files files;
    Win32Sound sound;
    Win32Launcher launcher;
    Win32Shaper shaper;
    Win32Probes probes;
    Win32Mixer mixer;
    Platform platform{toolkit, settings, profile, files, desktop, sound, launcher, shaper, probes, mixer};
    Context ctx{platform};
    std::unique_ptr<Form> form;
    SkinLists lists;
};

TEST_F(HandleSoakTest, HoverFramesAndPromptsLeaveTheObjectCountsFlat) {
    {
        // The counts must see objects come and go, or flat figures prove nothing.
        const Counts bare;
        const UniqueBrush brush(CreateSolidBrush(RGB(1, 2, 3)));
        const UniqueWindow window(
            CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
        const Counts more;
        ASSERT_GE(more.gdi - bare.gdi, 1);
        ASSERT_GE(more.user - bare.user, 1);
    }
    // What is made at first use (the screen DC of the text measures, the
    // decoder) is made here, before the counts are taken.
    Hover(0);
    Hover(1);
    Frame(0);
    OpenPrompt(true);
    OpenPrompt(false);

    int changes = 0;
    Soak("hover changes", 10000, [&](int i) { changes += Hover(i); });
    EXPECT_EQ(changes, 10000) << "the cursor did not move the button in and out";
    Soak("animation frames", 10000, [&](int i) { Frame(i); });
    answered = 0;
    Soak("prompt openings", 50, [&](int) { OpenPrompt(true); });
    EXPECT_EQ(answered, 50);
}

TEST_F(HandleSoakTest, PromptsShapedByARegionLeaveTheObjectCountsFlat) {
    if (testing::WineMajorVersion() >= 10)
        GTEST_SKIP() << "Wine " << testing::WineMajorVersion()
                     << " keeps a region object for every window that SetWindowRgn shaped, after the window "
                        "has gone";
    OpenPrompt(false);
    answered = 0;
    Soak("prompt openings shaped by a region", 50, [&](int) { OpenPrompt(false); });
    EXPECT_EQ(answered, 50);
}

}  // namespace
}  // namespace corvale::win32
