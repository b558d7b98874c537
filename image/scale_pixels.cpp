// Repeating pixels for whole factors, averaging covered areas otherwise.
#include "image/scale_pixels.h"

#include <algorithm>
#include <array>
#include <vector>

namespace corvale {
namespace {

// What one new pixel covers of the old ones along one axis: from `first`,
// one weight per old pixel, the weights adding up to the old length.
struct Cover {
    int first = 0;
    int count = 0;
    std::size_t weights = 0;  // into Axis::weights
    int centre = 0;           // the old pixel nearest the new one's centre
};

struct Axis {
    std::vector<Cover> covers;
    std::vector<std::uint32_t> weights;
};

// New pixel x spans old [x * from / to, (x + 1) * from / to); in units of
// 1 / to of an old pixel that is [x * from, (x + 1) * from), and old pixel
// i spans [i * to, (i + 1) * to).
Axis CoverOf(int from, int to) {
    Axis axis;
    axis.covers.resize(static_cast<std::size_t>(to));
    const auto n = static_cast<std::int64_t>(from);
    const auto m = static_cast<std::int64_t>(to);
    for (std::int64_t x = 0; x < m; ++x) {
        Cover& c = axis.covers[static_cast<std::size_t>(x)];
        const std::int64_t begin = x * n;
        const std::int64_t end = (x + 1) * n;
        c.first = static_cast<int>(begin / m);
        c.weights = axis.weights.size();
        c.centre = static_cast<int>(std::min<std::int64_t>(n - 1, (2 * x + 1) * n / (2 * m)));
        for (std::int64_t i = c.first; i * m < end; ++i) {
            const std::int64_t overlap = std::min((i + 1) * m, end) - std::max(i * m, begin);
            if (overlap <= 0) continue;
            axis.weights.push_back(static_cast<std::uint32_t>(overlap));
            ++c.count;
        }
    }
    return axis;
}

struct Cut {
    bool on = false;
    std::uint8_t b = 0, g = 0, r = 0;
    bool Is(const std::uint8_t* p) const { return on && p[3] == 255 && p[0] == b && p[1] == g && p[2] == r; }
};

void Repeat(std::span<const std::uint8_t> from, int fromWidth, int fromHeight, std::span<std::uint8_t> to,
            int factor) {
    const std::size_t toStride = static_cast<std::size_t>(fromWidth) * factor * 4;
    for (int y = 0; y < fromHeight; ++y) {
        const std::uint8_t* in = from.data() + static_cast<std::size_t>(y) * fromWidth * 4;
        std::uint8_t* first = to.data() + static_cast<std::size_t>(y) * factor * toStride;
        for (int x = 0; x < fromWidth; ++x)
            for (int k = 0; k < factor; ++k)
                std::copy(in + static_cast<std::size_t>(x) * 4, in + static_cast<std::size_t>(x) * 4 + 4,
                          first + (static_cast<std::size_t>(x) * factor + k) * 4);
        for (int k = 1; k < factor; ++k)
            std::copy(first, first + toStride, first + static_cast<std::size_t>(k) * toStride);
    }
}

void Average(std::span<const std::uint8_t> from, int fromWidth, int fromHeight, std::span<std::uint8_t> to,
             int toWidth, int toHeight, const Cut& cut) {
    const Axis across = CoverOf(fromWidth, toWidth);
    const Axis down = CoverOf(fromHeight, toHeight);
    const std::size_t stride = static_cast<std::size_t>(fromWidth) * 4;
    std::uint8_t* out = to.data();
    for (const Cover& cy : down.covers) {
        for (const Cover& cx : across.covers) {
            const std::uint8_t* centre =
                from.data() + cy.centre * stride + static_cast<std::size_t>(cx.centre) * 4;
            if (cut.Is(centre)) {
                out = std::copy(centre, centre + 4, out);
                continue;
            }
            std::array<std::uint64_t, 4> sum{};
            std::uint64_t total = 0;
            for (int j = 0; j < cy.count; ++j) {
                const std::uint8_t* row = from.data() + static_cast<std::size_t>(cy.first + j) * stride;
                const std::uint64_t wy = down.weights[cy.weights + static_cast<std::size_t>(j)];
                for (int i = 0; i < cx.count; ++i) {
                    const std::uint8_t* p = row + static_cast<std::size_t>(cx.first + i) * 4;
                    if (cut.Is(p)) continue;
                    const std::uint64_t w = wy * across.weights[cx.weights + static_cast<std::size_t>(i)];
                    for (std::size_t c = 0; c < 4; ++c) sum[c] += p[c] * w;
                    total += w;
                }
            }
            // The pixel nearest the centre is always covered and never cut
            // here, so something is averaged; the guard only keeps that so.
            total = std::max<std::uint64_t>(total, 1);
            std::uint8_t* pixel = out;
            for (std::size_t c = 0; c < 4; ++c)
                *out++ = static_cast<std::uint8_t>((sum[c] + total / 2) / total);
            // An average that lands on the cut colour by chance would be cut away.
            if (cut.Is(pixel)) pixel[0] = static_cast<std::uint8_t>(pixel[0] ^ 1);
        }
    }
}

}  // namespace

bool ScalePixels(std::span<const std::uint8_t> from, int fromWidth, int fromHeight,
                 std::span<std::uint8_t> to, int toWidth, int toHeight, std::optional<std::uint32_t> cut) {
    if (fromWidth <= 0 || fromHeight <= 0 || toWidth <= 0 || toHeight <= 0) return false;
    if (from.size() / 4 / static_cast<std::size_t>(fromWidth) < static_cast<std::size_t>(fromHeight) ||
        to.size() / 4 / static_cast<std::size_t>(toWidth) < static_cast<std::size_t>(toHeight))
        return false;
    const int factor = toWidth / fromWidth;
    if (toWidth % fromWidth == 0 && toHeight == fromHeight * factor) {
        Repeat(from, fromWidth, fromHeight, to, factor);
        return true;
    }
    Cut key;
    if (cut)
        key = {true, static_cast<std::uint8_t>(*cut >> 16), static_cast<std::uint8_t>(*cut >> 8),
               static_cast<std::uint8_t>(*cut)};
    Average(from, fromWidth, fromHeight, to, toWidth, toHeight, key);
    return true;
}

}  // namespace corvale
