// Font look-up and creation.
#include "platform/win32/toolkit_font.h"

#include <cmath>
#include <cwchar>

#include "platform/win32/text.h"
#include "platform/win32/toolkit_screen.h"

namespace corvale::win32 {
namespace {

// Bigger than any screen; anything above it is a broken skin value.
constexpr double kMaxPoints = 2048;

int CALLBACK NoteFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;  // one is enough
}

}  // namespace

bool FontFaceInstalled(const std::string& name) {
    const std::wstring face = Widen(name);
    if (face.empty() || face.size() >= LF_FACESIZE) return false;
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(query.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    const UniqueWindowDC screen = GetWindowDCOf(nullptr);
    if (!screen) return false;
    bool found = false;
    EnumFontFamiliesExW(screen.get().dc, &query, NoteFamily, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

bool FontSizeAcceptable(double points) { return std::isfinite(points) && points > 0 && points <= kMaxPoints; }

UniqueFont MakeFont(const std::string& name, double points, int dpi) {
    if (!FontSizeAcceptable(points)) return {};
    const std::wstring face = Widen(name);
    if (face.size() >= LF_FACESIZE) return {};
    LOGFONTW font{};
    // Negative: the size of the characters, not of the cell, as points mean.
    font.lfHeight = -static_cast<LONG>(std::lround(points * dpi / 72.0));
    if (font.lfHeight == 0) font.lfHeight = -1;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    return UniqueFont(CreateFontIndirectW(&font));
}

}  // namespace corvale::win32
