// How one layout entry is cut into fields, and how its numbers, colours and
// rectangle are read.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/toolkit.h"
#include "platform/types.h"

namespace corvale {

// Cuts an entry value into fields the way the skins have always been read, so
// that existing skins keep their look: the end of a field is searched from the
// field's start (field 2 and 3) or from one past it (the fields after), an
// empty field therefore swallows the comma that follows it, and a missing
// comma sends the next field back to the start of the value. A field whose
// length comes out negative cannot be cut and reads as nullopt.
// Call File, Kind, then Next for each middle field, then Rest, in that order.
class EntryCutter {
public:
    explicit EntryCutter(std::string_view value) : value_(value) {}

    std::optional<std::string> File();
    std::optional<std::string> Kind();
    std::optional<std::string> Next();
    // The last field of the kind: from the current position to the end.
    std::string Rest() const;

private:
    // 1-based position of the first comma at or after `start`, 0 for none.
    long CommaFrom(long start) const;
    std::optional<std::string> Mid(long start, long length) const;

    std::string_view value_;
    long p_ = 1;
    int nextField_ = 3;
};

// The field's leading number; nullopt when the field could not be cut.
std::optional<double> FieldNumber(const std::optional<std::string>& field);

// The field's leading number rounded half to even; nullopt when the field
// could not be cut or the number does not fit 32 bits.
std::optional<long> FieldInteger(const std::optional<std::string>& field);

// As FieldInteger, except that a field ending in "%" is that share of `whole`.
std::optional<long> FieldPercent(const std::optional<std::string>& field, int whole);

// red + 256 * green + 65536 * blue. Each component is rounded to a 16-bit
// signed integer first, and one outside that range leaves the colour unset
// (nullopt). Within it, components are limited to 0..255 as everywhere else a
// skin gives a colour.
std::optional<Color> SkinColor(double red, double green, double blue);

struct EntryRect {
    long left = 0;
    long top = 0;
    long width = 0;
    long height = 0;
};

// A window's client size in pixels, asked afresh by every rule that needs it.
struct ClientSize {
    std::function<int()> width;
    std::function<int()> height;
};

// The form's client size, read from the form at every call.
ClientSize ClientSizeOf(const Form& form);

// A negative Left or Top counts from the right or bottom edge; a Width or
// Height below 0 (or at 0 when `zeroReachesEdge`, the text box and picture
// rule) stops that many pixels before the edge. The client size is read afresh
// for every rule. A rule whose result would not fit 32 bits leaves its value.
void ApplyGeometryRules(EntryRect& rect, const ClientSize& client, bool zeroReachesEdge);
void ApplyGeometryRules(EntryRect& rect, const Form& form, bool zeroReachesEdge);

// What the fields of the entries read so far gave. A field that cannot be
// read leaves its value from earlier in the entry or from an earlier entry,
// which is how skins that leave fields out have always been shown.
struct EntryState {
    std::string file;
    std::string kind;
    EntryRect rect;
    double back[3] = {0, 0, 0};
    double fore[3] = {0, 0, 0};
    std::string fontName;
    long fontSize = 0;
};

// One field of an entry as it was read: the text cut out (nullopt when it
// could not be cut) and whether the value it gave was taken (false: what was
// read before stays).
struct FieldReading {
    int number = 0;  // counted from 1, as the skin's author counts
    std::string name;
    std::optional<std::string> text;
    bool taken = false;
};

// One entry as the layout builder makes it. For the four kinds "L", "P", "B"
// and "A"; any other kind reads nothing after field 2.
struct EntryReading {
    std::string file;  // field 1, or the earlier one when it cannot be cut
    std::string kind;  // field 2, or the earlier entry's when it cannot be cut
    EntryRect rect;    // after the percentage and geometry rules
    // Text boxes: a colour the components do not give is left unset.
    std::optional<Color> backColor;
    std::optional<Color> foreColor;
    std::string fontName;
    long fontSize = 0;
    // Buttons: a sound field that cannot be cut stores nothing.
    std::optional<std::string> hoverSound;
    std::optional<std::string> clickSound;
    std::string command;
};

// Cuts and reads one entry value as the layout builder does before it makes
// the control, carrying `state` from the entries before. `trace`, when given,
// receives every field in the order it was read.
EntryReading ReadLayoutEntry(std::string_view value, EntryState& state, const ClientSize& client,
                             std::vector<FieldReading>* trace = nullptr);

// Left, Width, Top, Height, in this order; a value the control refuses keeps
// what the control had.
void PlaceControl(Control& control, const EntryRect& rect);

}  // namespace corvale
