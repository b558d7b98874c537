// The installers as a user meets them: install, upgrade and uninstall for the
// user alone, a theme chosen before and start at sign-in left out, and the
// 64-bit package. scripts/test.sh names the packages and the folders their
// files were staged from in CORVALE_MSI_*.
#include <windows.h>  // before the headers that build on it

#include <msi.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "tests/e2e/driver.h"

namespace corvale::e2e {
namespace {

namespace fs = std::filesystem;
using Pixels = std::vector<std::uint32_t>;  // 0xAARRGGBB, top row first

struct Package {
    fs::path msi, files;  // the package, and what it installs laid out as installed
};

std::optional<Package> PackageNamed(const std::string& name) {
    const char* msi = std::getenv(("CORVALE_MSI_" + name).c_str());
    const char* files = std::getenv(("CORVALE_MSI_" + name + "_FILES").c_str());
    if (!msi || !files) return std::nullopt;
    return Package{Wide(msi), Wide(files)};
}

fs::path KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    const fs::path folder = SHGetKnownFolderPath(id, 0, nullptr, &path) == S_OK ? path : L"";
    CoTaskMemFree(path);
    return folder;
}
fs::path InstallFolder() { return KnownFolder(FOLDERID_LocalAppData) / L"Programs" / L"Corvale"; }
fs::path StartMenuShortcut() { return KnownFolder(FOLDERID_Programs) / L"Corvale.lnk"; }
std::string InstalledPanelCommand() {
    return "\"" + Utf8((InstallFolder() / L"corvale.exe").wstring()) + "\"";
}

std::vector<std::wstring> InstalledProducts() {
    std::vector<std::wstring> found;
    wchar_t code[39], name[256];
    for (DWORD i = 0; MsiEnumProductsW(i, code) == ERROR_SUCCESS; ++i) {
        DWORD size = 256;
        if (MsiGetProductInfoW(code, INSTALLPROPERTY_PRODUCTNAME, name, &size) == ERROR_SUCCESS &&
            std::wstring(name) == L"Corvale")
            found.push_back(code);
    }
    return found;
}

std::optional<std::string> RunValue() {
    wchar_t text[1024];
    DWORD size = sizeof text;
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"Corvale",
                     RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return Utf8(text);
}

// The files that are in one folder and not the other, or differ; nothing
// when the two hold the same.
std::string Differences(const fs::path& installed, const fs::path& expected) {
    auto filesUnder = [](const fs::path& folder) {
        std::map<std::wstring, std::string> files;
        std::error_code error;
        for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error)) {
            std::ifstream in(it->path(), std::ios::binary);
            if (it->is_regular_file())
                files[fs::relative(it->path(), folder).wstring()] = {std::istreambuf_iterator<char>(in), {}};
        }
        return files;
    };
    const auto have = filesUnder(installed), want = filesUnder(expected);
    std::string differences;
    for (const auto& [name, bytes] : want)
        if (!have.contains(name) || have.at(name) != bytes) differences += " " + Utf8(name);
    for (const auto& [name, bytes] : have)
        if (!want.contains(name)) differences += " " + Utf8(name);
    return differences;
}

Pixels BitmapPixels(HBITMAP bitmap, int width, int height) {
    Pixels pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    BITMAPINFO request{};
    request.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    const win32::UniqueMemoryDC dc = win32::CreateMemoryDC(nullptr);
    if (!GetDIBits(dc.get(), bitmap, 0, static_cast<UINT>(height), pixels.data(), &request, DIB_RGB_COLORS))
        pixels.clear();
    return pixels;
}

// Whether the window shows the background colour of the theme's layout for
// this screen, which a panel without its theme does not have.
bool ShowsThemeBackground(HWND window, const fs::path& theme) {
    fs::path layout = theme / (L"Corvale" + std::to_wstring(ScreenWidth()) + L".skn");
    if (!fs::exists(layout)) layout = theme / L"Corvale.skn";
    wchar_t colour[64] = {};
    GetPrivateProfileStringW(L"DEFAULT", L"BackGround", L"", colour, 64, layout.c_str());
    int r = -1, g = -1, b = -1;
    const POINT corner = PointIn(ClientRectOnScreen(window), 0, 0);
    return swscanf(colour, L"%d,%d,%d", &r, &g, &b) == 3 &&
           ShownScreen().At(corner.x + 1, corner.y + 1) ==
               Rgb{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b)};
}

Pixels ProgramIcon(const fs::path& exe, int size) {
    const HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const HICON icon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0));
    ICONINFO info{};
    Pixels pixels;
    if (icon && GetIconInfo(icon, &info)) {
        const win32::UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
        pixels = BitmapPixels(colour.get(), size, size);
    }
    if (icon) DestroyIcon(icon);
    if (module) FreeLibrary(module);
    return pixels;
}

// The icon the window manager was given for the window, `size` pixels
// square. Under Wine another process can ask neither a window nor its class
// for its icon, so this reads what Wine gave the X server: _NET_WM_ICON,
// which holds width, height and pixels for each size.
Pixels WindowManagerIcon(HWND window, int size) {
    const auto xWindow = reinterpret_cast<std::uintptr_t>(GetPropW(window, L"__wine_x11_whole_window"));
    const Bytes said = UnixCommandOutput("xprop -id " + std::to_string(xWindow) +
                                         " -notype -f _NET_WM_ICON 32c ' $0+' _NET_WM_ICON");
    const std::string text(said.begin(), said.end());
    std::istringstream in(text.substr(std::min(text.find_first_of("0123456789", 12), text.size())));
    Pixels values;
    for (std::uint32_t value = 0; in >> value; in.ignore(1)) values.push_back(value);
    for (size_t at = 0; at + 2 <= values.size();) {
        const auto begin = values.begin() + static_cast<std::ptrdiff_t>(at + 2);
        const size_t count = size_t{values[at]} * values[at + 1];
        if (count > values.size() - at - 2) break;
        if (values[at] == static_cast<std::uint32_t>(size) && values[at + 1] == values[at])
            return {begin, begin + static_cast<std::ptrdiff_t>(count)};
        at += 2 + count;
    }
    return {};
}

class Installer : public ::testing::Test {
protected:
    void SetUp() override {
        SetProcessDPIAware();
        if (!InstalledProducts().empty())
            GTEST_SKIP() << "Corvale is installed for this user; these tests would replace it";
        sandbox_ = std::make_unique<SettingsSandbox>();
        scratch_ = std::make_unique<ThemeFolder>();
    }

    void TearDown() override {
        if (!sandbox_) return;  // skipped: someone's own installation stays
        for (const std::wstring& code : InstalledProducts()) Msi(L"/x " + code);  // after a test that stopped
    }

    // The system's own msiexec, silent and logged; a failure shows the log's end.
    DWORD Msi(const std::wstring& arguments) {
        BOOL wow64 = FALSE;
        IsWow64Process(GetCurrentProcess(), &wow64);
        wchar_t windows[MAX_PATH];
        GetWindowsDirectoryW(windows, MAX_PATH);
        const fs::path msiexec = fs::path(windows) / (wow64 ? L"Sysnative" : L"System32") / L"msiexec.exe";
        const fs::path log = scratch_->RootPath() / L"msiexec.log";
        const ProgramRun run = RunProgram(msiexec, arguments + L" /qn /l*v \"" + log.wstring() + L"\"",
                                          scratch_->RootPath(), 180s);
        std::ifstream in(log, std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        EXPECT_EQ(run.code, 0u) << "msiexec " << Utf8(arguments) << "; its log ends:\n"
                                << text.substr(text.size() > 3000 ? text.size() - 3000 : 0);
        return run.code;
    }
    DWORD Install(const Package& p, const std::wstring& more = L"") {
        return Msi(L"/i \"" + p.msi.wstring() + L"\" " + more);
    }
    DWORD Uninstall(const Package& p) { return Msi(L"/x \"" + p.msi.wstring() + L"\""); }

    ProgramRun InstalledCtl(const std::string& arguments) {
        return RunProgram(InstallFolder() / L"corvalectl.exe", Wide(arguments), scratch_->RootPath());
    }

    void ExpectInstalledFrom(const Package& package) {
        EXPECT_EQ(Differences(InstallFolder(), package.files), "") << Utf8(InstallFolder().wstring());
        EXPECT_TRUE(fs::exists(StartMenuShortcut())) << Utf8(StartMenuShortcut().wstring());
        EXPECT_EQ(InstalledProducts().size(), 1u);
    }

    void ExpectNothingLeft() {
        EXPECT_TRUE(InstalledProducts().empty());
        EXPECT_FALSE(fs::exists(InstallFolder())) << Utf8(InstallFolder().wstring());
        EXPECT_FALSE(fs::exists(StartMenuShortcut()));
        EXPECT_EQ(RunValue(), std::nullopt);
    }

    std::unique_ptr<SettingsSandbox> sandbox_;
    std::unique_ptr<ThemeFolder> scratch_;  // logs and output
};

TEST_F(Installer, InstallsForTheUserUpgradesInPlaceAndUninstallsWhatItWrote) {
    const auto first = PackageNamed("X86"), next = PackageNamed("X86_NEXT");
    if (!first || !next) GTEST_SKIP() << "CORVALE_MSI_X86 and CORVALE_MSI_X86_NEXT name no packages";
    SaveSetting("DEFAULT", "Password", "kept");
    const std::string themes = Utf8((InstallFolder() / L"themes").wstring()) + "\\";

    ASSERT_EQ(Install(*first), 0u);
    ExpectInstalledFrom(*first);
    EXPECT_EQ(RunValue(), InstalledPanelCommand());
    EXPECT_EQ(GetSetting("Default", "ProgramDir"), themes);
    EXPECT_EQ(GetSetting("Default", "ThemeDir"), "default\\");
    {
        // Started as the system starts it at sign-in: from a folder with no theme.
        wchar_t system[MAX_PATH];
        GetSystemDirectoryW(system, MAX_PATH);
        Panel panel(Wide(RunValue().value_or("")), system);
        const HWND window = panel.WaitForWindow();
        ASSERT_TRUE(window) << "no panel window from the Run value";
        const fs::path theme = InstallFolder() / L"themes" / L"default";
        EXPECT_TRUE(WaitUntil([&] { return ShowsThemeBackground(window, theme); }, 15s))
            << "the window does not show the default theme";
        if (RunningUnderWine())
            EXPECT_EQ(WindowManagerIcon(window, 32), ProgramIcon(InstallFolder() / L"corvale.exe", 32));
        else EXPECT_NE(GetClassLongPtrW(window, GCLP_HICON), 0u);
    }
    const std::wstring firstProduct = InstalledProducts().at(0);

    ASSERT_EQ(Install(*next), 0u);
    ExpectInstalledFrom(*next);
    EXPECT_NE(InstalledProducts().at(0), firstProduct);
    EXPECT_EQ(GetSetting("Default", "ProgramDir"), themes);
    EXPECT_EQ(RunValue(), InstalledPanelCommand());

    ASSERT_EQ(Uninstall(*next), 0u);
    ExpectNothingLeft();
    EXPECT_EQ(GetSetting("Default", "ProgramDir"), std::nullopt);
    EXPECT_EQ(GetSetting("Default", "ThemeDir"), std::nullopt);
    EXPECT_EQ(GetSetting("DEFAULT", "Password"), "kept");

    const ThemeFolder chosen;
    chosen.Register();
    ASSERT_EQ(Install(*first, L"STARTATLOGON=0"), 0u);
    EXPECT_EQ(GetSetting("Default", "ProgramDir"), chosen.Root());
    const struct {
        const char* arguments;
        DWORD code;
        std::optional<std::string> runValue;
    } switches[] = {
        {"startup status", 1, std::nullopt},
        {"startup on", 0, InstalledPanelCommand()},
        {"startup status", 0, InstalledPanelCommand()},
        {"startup off", 0, std::nullopt},
    };
    EXPECT_EQ(RunValue(), std::nullopt) << "left out at install";
    for (const auto& s : switches) {
        const ProgramRun run = InstalledCtl(s.arguments);
        EXPECT_EQ(run.code, s.code) << s.arguments << "\n" << run.out << run.err;
        EXPECT_EQ(RunValue(), s.runValue) << s.arguments;
    }
    ASSERT_EQ(Uninstall(*first), 0u);
    ExpectNothingLeft();
    EXPECT_EQ(GetSetting("Default", "ProgramDir"), chosen.Root());
}

TEST_F(Installer, The64BitPackageInstallsThe64BitProgramsOn64BitWindows) {
    const auto package = PackageNamed("X64");
    if (!package) GTEST_SKIP() << "CORVALE_MSI_X64 names no package";
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    if (!wow64) GTEST_SKIP() << "32-bit Windows (32-bit Wine alone): the x64 package cannot install here";

    ASSERT_EQ(Install(*package), 0u);
    ExpectInstalledFrom(*package);
    EXPECT_EQ(RunValue(), InstalledPanelCommand());
    EXPECT_EQ(GetSetting("Default", "ThemeDir"), "default\\");
    EXPECT_TRUE(InstalledCtl("--version").out.starts_with("Corvale "));
    ASSERT_EQ(Uninstall(*package), 0u);
    ExpectNothingLeft();
}

}  // namespace
}  // namespace corvale::e2e
