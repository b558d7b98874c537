// The pieces of the start-up sequence that are rules rather than steps.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/system.h"
#include "platform/types.h"
#include "skin/context.h"

namespace corvale {

constexpr const char* kAppCaption = "VEXAL Terminal - Corvale";
constexpr const char* kProgramId = "Corvale";
// The caption a second instance gives itself so that its own window can
// never be taken for the running one.
constexpr const char* kSecondInstanceCaption = "VEXAL Terminal - Corvale (starting)";

constexpr std::uint32_t kToolWindowStyle = 0x80;  // WS_EX_TOOLWINDOW

bool IsToolWindow(std::uint32_t exStyle);

// The handle of the last visible, unowned (or tool-owned), non-tool top-level
// window whose caption is exactly `caption`; -1 when there is none.
long long FindPreviousInstance(const std::vector<TopWindow>& windows, const std::string& caption);

// A window rectangle in twips.
struct TwipsRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// The settings of section "Screen" as read; nullopt for a missing or
// unreadable key.
struct ScreenSettings {
    std::optional<double> left;
    std::optional<double> top;
    std::optional<double> right;
    std::optional<double> bottom;
};

// The saved rectangle (Running True). `backdrop` is the usable screen area
// in twips, which stands in for a maximized window's rectangle.
TwipsRect SavedPlacement(const ScreenSettings& screen, const TwipsRect& backdrop, int tppx, int tppy);

// The usable screen area in twips (Running False, and the backdrop above).
TwipsRect WorkAreaTwips(const Rect& workArea, int tppx, int tppy);

// Where the main window goes: the saved rectangle when there is one (Running
// True), else the whole work area.
TwipsRect MainWindowPlacement(const Rect& workArea, int tppx, int tppy,
                              const std::optional<ScreenSettings>& saved);

// "r,g,b" as the background colour: nullopt when the value has fewer than
// two commas. Components read by the leading-number rule, limited to 0..255.
std::optional<Color> ParseBackGround(const std::string& value);

// Corvale followed by the screen width in pixels.
std::string WidthLayoutSkinName(const std::string& programId, int screenWidthPixels);

}  // namespace corvale
