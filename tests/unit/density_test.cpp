// Skin pixels against device pixels, the choice of a theme's denser
// pictures, and the scaling that brings a picture to its display.
#include <gtest/gtest.h>

#include <map>

#include "image/picture_variants.h"
#include "image/scale_pixels.h"
#include "platform/display_scale.h"

namespace corvale {
namespace {

TEST(Density_Pixels, EveryDevicePixelReadsBackAsTheSkinPixelDrawnThere) {
    for (const int dpi : {96, 120, 144, 168, 192, 240, 288})
        for (std::int64_t skin = -40; skin < 40; ++skin) {
            const std::int64_t first = SkinToDevice(skin, dpi);
            const std::int64_t next = SkinToDevice(skin + 1, dpi);
            ASSERT_LT(first, next) << "skin pixel " << skin << " at " << dpi << " dpi has no device pixel";
            for (std::int64_t device = first; device < next; ++device)
                ASSERT_EQ(DeviceToSkin(device, dpi), skin) << device << " at " << dpi << " dpi";
        }
    EXPECT_EQ(SkinToDevice(1024, 192), 2048) << "a 1024-pixel face fills a 2048-pixel screen at 200%";
    EXPECT_EQ(SkinToDevice(3, 144), 5) << "4.5 rounds up";
    EXPECT_EQ(DeviceToSkin(1536, 144), 1024);
}

TEST(Density_Variants, TheNameCarriesTheMarkBeforeTheExtension) {
    EXPECT_EQ(VariantPath("C:\\T\\title.bmp", 2), "C:\\T\\title@2x.bmp");
    EXPECT_EQ(VariantPath("C:\\my.theme\\btn", 3), "C:\\my.theme\\btn@3x") << "the dot is the folder's";
    EXPECT_EQ(VariantPath("a.b.gif", 2), "a.b@2x.gif");
}

TEST(Density_Variants, TheDisplayTakesTheSparsestFittingVariantAtOrAboveItsScale) {
    const PictureSize plain{10, 4};
    const struct {
        const char* why;
        int dpi;
        std::map<std::string, PictureSize> files;
        PictureVariant chosen;
    } cases[] = {
        {"96 dpi draws the plain picture", 96, {{"t@2x.bmp", {20, 8}}}, {"t.bmp", 1}},
        {"150% scales @2x down", 144, {{"t@2x.bmp", {20, 8}}, {"t@3x.bmp", {30, 12}}}, {"t@2x.bmp", 2}},
        {"200% takes @2x as it is", 192, {{"t@2x.bmp", {20, 8}}, {"t@3x.bmp", {30, 12}}}, {"t@2x.bmp", 2}},
        {"250% prefers @3x", 240, {{"t@2x.bmp", {20, 8}}, {"t@3x.bmp", {30, 12}}}, {"t@3x.bmp", 3}},
        {"with none above, the densest below", 300, {{"t@2x.bmp", {20, 8}}}, {"t@2x.bmp", 2}},
        {"a variant of the wrong size is passed over",
         192,
         {{"t@2x.bmp", {20, 9}}, {"t@3x.bmp", {30, 12}}},
         {"t@3x.bmp", 3}},
        {"without variants, the plain file", 192, {}, {"t.bmp", 1}},
    };
    for (const auto& c : cases) {
        const auto measure = [&](const std::string& path) -> std::optional<PictureSize> {
            const auto it = c.files.find(path);
            return it == c.files.end() ? std::nullopt : std::optional(it->second);
        };
        const PictureVariant chosen = ChooseVariant("t.bmp", plain, c.dpi, measure);
        EXPECT_EQ(chosen.path, c.chosen.path) << c.why;
        EXPECT_EQ(chosen.density, c.chosen.density) << c.why;
    }
}

using Pixels = std::vector<std::uint8_t>;

Pixels Opaque(std::initializer_list<std::uint32_t> colours) {  // 0xRRGGBB each
    Pixels out;
    for (const std::uint32_t c : colours)
        out.insert(out.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8),
                               static_cast<std::uint8_t>(c >> 16), 255});
    return out;
}

TEST(Density_Scaling, WholeFactorsRepeatPixelsAndOthersAverageWithoutTouchingTheCut) {
    constexpr std::uint32_t kMagenta = 0xFF00FF;       // as the test writes pixels
    constexpr std::uint32_t kCut = 255 + 255 * 65536;  // the same as the program's colours write it
    const struct {
        const char* why;
        Pixels from;
        int fromWidth, toWidth;
        std::optional<std::uint32_t> cut;
        Pixels to;
    } cases[] = {
        {"twice: every pixel twice",
         Opaque({0x000000, 0xFFFFFF}),
         2,
         4,
         {},
         Opaque({0x000000, 0x000000, 0xFFFFFF, 0xFFFFFF})},
        {"one and a half: the middle pixel covers both halves",
         Opaque({0x000000, 0xFFFFFF}),
         2,
         3,
         {},
         Opaque({0x000000, 0x808080, 0xFFFFFF})},
        {"down by three quarters: areas averaged",
         Opaque({0x000000, 0x000000, 0xFFFFFF, 0xFFFFFF}),
         4,
         3,
         {},
         Opaque({0x000000, 0x808080, 0xFFFFFF})},
        {"the cut colour stays exact and blends into nothing", Opaque({kMagenta, 0x202020}), 2, 3, kCut,
         Opaque({kMagenta, 0x202020, 0x202020})},
    };
    for (const auto& c : cases) {
        const int toHeight = c.toWidth == 2 * c.fromWidth ? 2 : 1;  // a whole factor scales both ways
        Pixels to(static_cast<std::size_t>(c.toWidth) * toHeight * 4);
        ASSERT_TRUE(ScalePixels(c.from, c.fromWidth, 1, to, c.toWidth, toHeight, c.cut)) << c.why;
        EXPECT_EQ(Pixels(to.end() - static_cast<std::ptrdiff_t>(c.toWidth) * 4, to.end()), c.to)
            << c.why << " (the last row)";
    }
    Pixels none(4);
    EXPECT_FALSE(ScalePixels(Opaque({0}), 1, 1, none, 2, 2)) << "a target too small for the size";
}

}  // namespace
}  // namespace corvale
