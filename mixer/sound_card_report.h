// The plain-text report on the sound card and the lines the volume panel
// found, laid out in two fixed character columns.
#pragma once

#include <string>
#include <string_view>

#include "platform/mixer.h"

namespace corvale {

// Half the spaces that fit across a box, less two; never below 0, so that
// a box too narrow for four spaces lays out like one of four to six (every
// row a single space), and a font whose space measures nothing gives 0.
// Both widths are in the same unit; the result is capped at
// kMaxReportColumns.
constexpr long kMaxReportColumns = 4096;
long ReportColumnsFor(double boxWidth, double spaceWidth);

// The label and the value each fitted to `columns` characters, a space
// between them, and a line end.
std::string ReportRow(std::string_view label, std::string_view value, long columns);

// Adds the rows of one line; the two rows of the card itself come first,
// when the report is still empty.
void AppendLineRows(std::string& report, const MixerLineRecord& line, long columns);

}  // namespace corvale
