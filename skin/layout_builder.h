// Builds a window's face from the numbered entries of one skin section.
#pragma once

#include <optional>
#include <string>

#include "platform/toolkit.h"
#include "skin/context.h"
#include "skin/globals.h"
#include "skin/skin_reader.h"

namespace corvale {

// Reads "01", "02", ... of `section` in `skinFile` (an entry of the same key
// in the file named like it with "ini" for its last three characters takes
// its place) and creates a text box ("L"), still picture ("P"), button ("B")
// or animation ("A") for each, until the first number that is missing. Text
// boxes and pictures are numbered from 1 in every call; buttons, animations
// and frames continue the counters in `lists`. After each entry it pauses
// `animDelay` ms when `animated`, then lets pending events run. A step that
// fails is skipped and leaves what it would have set as it was.
void BuildSkinLayout(Context& ctx, Form& form, const std::string& section, SkinLists& lists, bool animated,
                     long animDelay, const std::string& skinFile);

// The text of entry `number` of `section`: the skin file's, or the override
// file's when that has the key too (`overridden`); nullopt when the skin file
// lacks the key, which ends the list.
struct LayoutEntryText {
    std::string value;
    bool overridden = false;
};
std::optional<LayoutEntryText> ReadLayoutEntryText(SkinReader& skin, const std::string& section, long number,
                                                   const std::string& skinFile,
                                                   const std::string& overrideFile);

// The override file of a skin file: its path with the last three characters
// replaced by "ini"; "" when the path is too short to have them.
std::string OverrideFilePath(const std::string& skinFile);

}  // namespace corvale
