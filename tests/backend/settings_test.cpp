// The settings store against the real registry, under an application name
// of the test's own that is removed afterwards.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/win32/settings_win32.h"
#include "service_test_support.h"

namespace corvale::win32 {
namespace {

class RegistrySettingsTest : public ::testing::Test {
protected:
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, Widen(AppKey()).c_str()); }

    std::string AppKey() const { return "Software\\VB and VBA Program Settings\\" + app; }

    const std::string app = "Corvale backend test " + std::to_string(GetCurrentProcessId());
    RegistrySettings settings;
};

TEST_F(RegistrySettingsTest, GivesTheFallbackForAMissingApplicationSectionOrKey) {
    EXPECT_EQ(settings.Get(app, "EXIT", "VEXAL Terminal - Corvale", "0"), "0");
    ASSERT_TRUE(settings.Save(app, "Voice", "Other", "x"));
    EXPECT_EQ(settings.Get(app, "Voice", "Corvale", "fallback"), "fallback");
    EXPECT_EQ(settings.Get(app, "General", "Running", "False"), "False");
}

TEST_F(RegistrySettingsTest, ReadsBackWhatItSavedIncludingEmptyAndNonAsciiText) {
    const struct {
        const char* key;
        const char* value;
    } cases[] = {
        {"ProgramDir", "C:\\Program Files\\VEXAL\\"},
        {"Voice", ""},
        {"Caption",
         "Gr\xC3\xBC\xC3\x9F"
         "e \xE2\x9C\x93"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        ASSERT_TRUE(settings.Save(app, "Default", c.key, c.value));
        EXPECT_EQ(settings.Get(app, "Default", c.key, "fallback"), c.value);
    }
}

TEST_F(RegistrySettingsTest, ComparesSectionAndKeyNamesWithoutRegardToCase) {
    ASSERT_TRUE(settings.Save(app, "Default", "ProgramDir", "C:\\Panel\\"));
    EXPECT_EQ(settings.Get(app, "DEFAULT", "ProgramDir", ""), "C:\\Panel\\");
    EXPECT_EQ(settings.Get(app, "default", "PROGRAMDIR", ""), "C:\\Panel\\");
    ASSERT_TRUE(settings.Save(app, "DEFAULT", "programdir", "D:\\Other\\"));
    EXPECT_EQ(settings.Get(app, "Default", "ProgramDir", ""), "D:\\Other\\");
}

// The suite's other programs read the same place with the classic runtime.
TEST_F(RegistrySettingsTest, KeepsEachKeyAsAStringValueUnderTheRuntimesSettingsKey) {
    ASSERT_TRUE(settings.Save(app, "EXIT", "VEXAL Terminal - Corvale", "1"));
    const std::wstring path = Widen(AppKey() + "\\EXIT");
    wchar_t text[16] = {};
    DWORD size = sizeof(text);
    DWORD type = REG_NONE;
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, path.c_str(), L"VEXAL Terminal - Corvale", RRF_RT_ANY, &type,
                           text, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::wstring(text), L"1");
    EXPECT_EQ(size, 2 * sizeof(wchar_t));  // the text and its terminating NUL
}

TEST_F(RegistrySettingsTest, ReadsStringsWrittenByOthersAndIgnoresOtherTypes) {
    ASSERT_TRUE(settings.Save(app, "Screen", "Left", "0"));
    HKEY opened = nullptr;
    ASSERT_EQ(
        RegOpenKeyExW(HKEY_CURRENT_USER, Widen(AppKey() + "\\Screen").c_str(), 0, KEY_SET_VALUE, &opened),
        ERROR_SUCCESS);
    const UniqueKey key(opened);
    const wchar_t unterminated[] = {L'1', L'0', L'0'};
    RegSetValueExW(key.get(), L"Top", 0, REG_SZ, reinterpret_cast<const BYTE*>(unterminated),
                   sizeof(unterminated));
    const wchar_t embedded[] = L"50\0junk";
    RegSetValueExW(key.get(), L"Right", 0, REG_SZ, reinterpret_cast<const BYTE*>(embedded), sizeof(embedded));
    const DWORD number = 900;
    RegSetValueExW(key.get(), L"Bottom", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                   sizeof(number));
    EXPECT_EQ(settings.Get(app, "Screen", "Top", ""), "100");
    EXPECT_EQ(settings.Get(app, "Screen", "Right", ""), "50");
    EXPECT_EQ(settings.Get(app, "Screen", "Bottom", "none"), "none");
}

// Sections stay open between reads; one that another program removes and
// writes again must still read as it is now, and a long value whole.
TEST_F(RegistrySettingsTest, ReadsASectionRemovedAndWrittenAgainByAnotherProgram) {
    ASSERT_TRUE(settings.Save(app, "EXIT", "Caption", "0"));
    EXPECT_EQ(settings.Get(app, "EXIT", "Caption", "none"), "0");
    ASSERT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, Widen(AppKey() + "\\EXIT").c_str()), ERROR_SUCCESS);
    EXPECT_EQ(settings.Get(app, "EXIT", "Caption", "none"), "none");
    RegistrySettings other;
    const std::string text(1000, 'x');
    ASSERT_TRUE(other.Save(app, "EXIT", "Caption", text));
    EXPECT_EQ(settings.Get(app, "EXIT", "Caption", "none"), text);
}

TEST_F(RegistrySettingsTest, DeletingTheLastValuesRemovesTheEmptiedSectionAndThenTheApplication) {
    auto keyExists = [&](const std::string& path) {
        HKEY opened = nullptr;
        const bool found =
            RegOpenKeyExW(HKEY_CURRENT_USER, Widen(path).c_str(), 0, KEY_READ, &opened) == ERROR_SUCCESS;
        const UniqueKey key(opened);
        return found;
    };
    ASSERT_TRUE(settings.Save(app, "Default", "ProgramDir", "C:\\Panel\\"));
    ASSERT_TRUE(settings.Save(app, "Default", "ThemeDir", "default\\"));
    ASSERT_TRUE(settings.Save(app, "DEFAULT2", "Password", "x"));
    EXPECT_EQ(settings.Get(app, "Default", "ProgramDir", ""), "C:\\Panel\\");  // its section is open now

    EXPECT_TRUE(settings.Delete(app, "Default", "ProgramDir"));
    EXPECT_TRUE(settings.Delete(app, "Default", "Missing")) << "a value that is not there is gone already";
    EXPECT_EQ(settings.Get(app, "Default", "ProgramDir", "none"), "none");
    EXPECT_TRUE(keyExists(AppKey() + "\\Default")) << "ThemeDir is still in it";
    EXPECT_TRUE(settings.Delete(app, "Default", "ThemeDir"));
    EXPECT_FALSE(keyExists(AppKey() + "\\Default"));
    EXPECT_TRUE(keyExists(AppKey())) << "another section is still in it";
    EXPECT_TRUE(settings.Delete(app, "DEFAULT2", "Password"));
    EXPECT_FALSE(keyExists(AppKey()));
    EXPECT_FALSE(settings.Delete(app, "", "Key"));
}

TEST_F(RegistrySettingsTest, RefusesAnEmptyApplicationOrSectionName) {
    EXPECT_FALSE(settings.Save(app, "", "Key", "v"));
    EXPECT_FALSE(settings.Save("", "Default", "Key", "v"));
    EXPECT_EQ(settings.Get(app, "", "Key", "fallback"), "fallback");
}

}  // namespace
}  // namespace corvale::win32
