// Cutting a layout entry into fields and reading its numbers.
#include "skin/layout_fields.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "skin/values.h"

namespace corvale {
namespace {

constexpr long long kLongMin = std::numeric_limits<std::int32_t>::min();
constexpr long long kLongMax = std::numeric_limits<std::int32_t>::max();

std::optional<long> Fit32(long long value) {
    if (value < kLongMin || value > kLongMax) return std::nullopt;
    return static_cast<long>(value);
}

std::optional<long> Fit32(double value) { return Fit32(RoundHalfEven(value)); }

}  // namespace

long EntryCutter::CommaFrom(long start) const {
    if (start < 1 || start > static_cast<long>(value_.size())) return 0;
    const size_t found = value_.find(',', static_cast<size_t>(start - 1));
    return found == std::string_view::npos ? 0 : static_cast<long>(found) + 1;
}

std::optional<std::string> EntryCutter::Mid(long start, long length) const {
    if (length < 0) return std::nullopt;
    const auto size = static_cast<long>(value_.size());
    if (start > size) return std::string();
    return std::string(value_.substr(static_cast<size_t>(start - 1), static_cast<size_t>(length)));
}

std::optional<std::string> EntryCutter::File() {
    p_ = CommaFrom(1) + 1;
    const long length = p_ - 2;
    if (length < 0) return std::nullopt;
    return std::string(value_.substr(0, static_cast<size_t>(length)));
}

std::optional<std::string> EntryCutter::Kind() {
    auto field = Mid(p_, CommaFrom(p_) - p_);
    p_ = CommaFrom(p_ + 1) + 1;
    nextField_ = 3;
    return field;
}

std::optional<std::string> EntryCutter::Next() {
    const long end = nextField_ == 3 ? CommaFrom(p_) : CommaFrom(p_ + 1);
    auto field = Mid(p_, end - p_);
    p_ = CommaFrom(p_ + 1) + 1;
    ++nextField_;
    return field;
}

std::string EntryCutter::Rest() const {
    if (p_ > static_cast<long>(value_.size())) return {};
    return std::string(value_.substr(static_cast<size_t>(p_ - 1)));
}

std::optional<double> FieldNumber(const std::optional<std::string>& field) {
    if (!field) return std::nullopt;
    return LeadingNumber(*field);
}

std::optional<long> FieldInteger(const std::optional<std::string>& field) {
    if (!field) return std::nullopt;
    return Fit32(LeadingNumber(*field));
}

std::optional<long> FieldPercent(const std::optional<std::string>& field, int whole) {
    if (!field) return std::nullopt;
    if (field->empty() || field->back() != '%') return FieldInteger(field);
    return Fit32(LeadingNumber(*field) * whole / 100.0);
}

std::optional<Color> SkinColor(double red, double green, double blue) {
    int parts[3];
    const double given[3] = {red, green, blue};
    for (int i = 0; i < 3; ++i) {
        const auto part = Fit32(given[i]);
        if (!part || *part < -32768 || *part > 32767) return std::nullopt;
        parts[i] = static_cast<int>(std::clamp<long>(*part, 0, 255));
    }
    return Rgb(parts[0], parts[1], parts[2]);
}

void ApplyGeometryRules(EntryRect& rect, const Form& form, bool zeroReachesEdge) {
    auto fromEdge = [](long& value, long long edge) {
        if (const auto fitted = Fit32(edge + value)) value = *fitted;
    };
    if (rect.left < 0) fromEdge(rect.left, form.ScaleWidth());
    if (rect.top < 0) fromEdge(rect.top, form.ScaleHeight());
    auto reachesEdge = [&](long size) { return size < 0 || (zeroReachesEdge && size == 0); };
    if (reachesEdge(rect.width)) fromEdge(rect.width, static_cast<long long>(form.ScaleWidth()) - rect.left);
    if (reachesEdge(rect.height))
        fromEdge(rect.height, static_cast<long long>(form.ScaleHeight()) - rect.top);
}

void PlaceControl(Control& control, const EntryRect& rect) {
    control.SetLeft(static_cast<int>(rect.left));
    control.SetWidth(static_cast<int>(rect.width));
    control.SetTop(static_cast<int>(rect.top));
    control.SetHeight(static_cast<int>(rect.height));
}

}  // namespace corvale
