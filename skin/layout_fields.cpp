// Cutting a layout entry into fields and reading its numbers.
#include "skin/layout_fields.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "base/values.h"

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

ClientSize ClientSizeOf(const Form& form) {
    return {[&form] { return form.ScaleWidth(); }, [&form] { return form.ScaleHeight(); }};
}

void ApplyGeometryRules(EntryRect& rect, const ClientSize& client, bool zeroReachesEdge) {
    auto fromEdge = [](long& value, long long edge) {
        if (const auto fitted = Fit32(edge + value)) value = *fitted;
    };
    if (rect.left < 0) fromEdge(rect.left, client.width());
    if (rect.top < 0) fromEdge(rect.top, client.height());
    auto reachesEdge = [&](long size) { return size < 0 || (zeroReachesEdge && size == 0); };
    if (reachesEdge(rect.width)) fromEdge(rect.width, static_cast<long long>(client.width()) - rect.left);
    if (reachesEdge(rect.height)) fromEdge(rect.height, static_cast<long long>(client.height()) - rect.top);
}

void ApplyGeometryRules(EntryRect& rect, const Form& form, bool zeroReachesEdge) {
    ApplyGeometryRules(rect, ClientSizeOf(form), zeroReachesEdge);
}

namespace {

template <typename T>
bool Keep(T& target, const std::optional<T>& read) {
    if (read) target = *read;
    return read.has_value();
}

// Reads the fields of one entry in the builder's order, noting each in the
// trace when there is one.
class EntryReader {
public:
    EntryReader(std::string_view value, EntryState& state, const ClientSize& client,
                std::vector<FieldReading>* trace)
        : cutter_(value), state_(state), client_(client), trace_(trace) {}

    EntryReading Read() {
        const auto file = cutter_.File();
        Note(1, "file", file, Keep(state_.file, file));
        const auto kind = cutter_.Kind();
        Note(2, "kind", kind, Keep(state_.kind, kind));
        if (state_.kind == "L") TextBox();
        else if (state_.kind == "P") StillPicture();
        else if (state_.kind == "B") Button();
        else if (state_.kind == "A") Animation();
        reading_.file = state_.file;
        reading_.kind = state_.kind;
        reading_.rect = state_.rect;
        return reading_;
    }

private:
    void Note(int number, const char* name, const std::optional<std::string>& text, bool taken) {
        if (trace_) trace_->push_back({number, name, text, taken});
    }

    // Fields 3 to 6. `heightIsLast`: Height runs to the end of the value.
    void ReadRect(bool heightIsLast, bool percent) {
        auto read = [&](int number, const char* name, long& target, const std::optional<std::string>& field,
                        bool across) {
            const auto value = percent ? FieldPercent(field, across ? client_.width() : client_.height())
                                       : FieldInteger(field);
            Note(number, name, field, Keep(target, value));
        };
        read(3, "left", state_.rect.left, cutter_.Next(), true);
        read(4, "top", state_.rect.top, cutter_.Next(), false);
        read(5, "width", state_.rect.width, cutter_.Next(), true);
        read(6, "height", state_.rect.height,
             heightIsLast ? std::optional<std::string>(cutter_.Rest()) : cutter_.Next(), false);
    }

    void Colour(int first, const char* const names[3], double (&parts)[3]) {
        for (int i = 0; i < 3; ++i) {
            const auto field = cutter_.Next();
            Note(first + i, names[i], field, Keep(parts[i], FieldNumber(field)));
        }
    }

    void TextBox() {
        ReadRect(false, false);
        ApplyGeometryRules(state_.rect, client_, true);
        static const char* const kBack[3] = {"background red", "background green", "background blue"};
        static const char* const kFore[3] = {"text red", "text green", "text blue"};
        Colour(7, kBack, state_.back);
        Colour(10, kFore, state_.fore);
        reading_.backColor = SkinColor(state_.back[0], state_.back[1], state_.back[2]);
        reading_.foreColor = SkinColor(state_.fore[0], state_.fore[1], state_.fore[2]);
        const auto fontName = cutter_.Next();
        Note(13, "font name", fontName, Keep(state_.fontName, fontName));
        const std::optional<std::string> fontSize = cutter_.Rest();
        Note(14, "font size", fontSize, Keep(state_.fontSize, FieldInteger(fontSize)));
        reading_.fontName = state_.fontName;
        reading_.fontSize = state_.fontSize;
    }

    void StillPicture() {
        ReadRect(true, true);
        ApplyGeometryRules(state_.rect, client_, true);
    }

    void Button() {
        ReadRect(false, false);
        reading_.hoverSound = cutter_.Next();
        Note(7, "hover sound", reading_.hoverSound, reading_.hoverSound.has_value());
        reading_.clickSound = cutter_.Next();
        Note(8, "click sound", reading_.clickSound, reading_.clickSound.has_value());
        // The password flag is read again from the entry when the button is clicked.
        const auto flag = cutter_.Next();
        Note(9, "password flag", flag, flag.has_value());
        reading_.command = cutter_.Rest();
        Note(10, "command", reading_.command, true);
        ApplyGeometryRules(state_.rect, client_, false);
    }

    void Animation() {
        ReadRect(true, false);
        ApplyGeometryRules(state_.rect, client_, false);
    }

    EntryCutter cutter_;
    EntryState& state_;
    const ClientSize& client_;
    std::vector<FieldReading>* trace_;
    EntryReading reading_;
};

}  // namespace

EntryReading ReadLayoutEntry(std::string_view value, EntryState& state, const ClientSize& client,
                             std::vector<FieldReading>* trace) {
    return EntryReader(value, state, client, trace).Read();
}

void PlaceControl(Control& control, const EntryRect& rect) {
    control.SetLeft(static_cast<int>(rect.left));
    control.SetWidth(static_cast<int>(rect.width));
    control.SetTop(static_cast<int>(rect.top));
    control.SetHeight(static_cast<int>(rect.height));
}

}  // namespace corvale
