// The sound-card report's rows.
#include "mixer/sound_card_report.h"

#include <cmath>

#include "base/text.h"

namespace corvale {

long ReportColumnsFor(double boxWidth, double spaceWidth) {
    if (!(spaceWidth > 0) || !std::isfinite(boxWidth)) return 0;
    const double columns = std::floor((boxWidth / spaceWidth - 4) / 2);
    if (!(columns > 0)) return 0;
    // A box of absurd width (a broken skin entry) must not make rows of
    // millions of blanks.
    return columns < kMaxReportColumns ? static_cast<long>(columns) : kMaxReportColumns;
}

std::string ReportRow(std::string_view label, std::string_view value, long columns) {
    return PadText(label, columns, true) + " " + PadText(value, columns, true) + "\r\n";
}

void AppendLineRows(std::string& report, const MixerLineRecord& line, long columns) {
    if (report.empty()) {
        report += ReportRow("SoundCard", TrimAtNul(line.Target.szPname), columns);
        report += ReportRow("Driver Version", std::to_string(line.Target.vDriverVersion), columns);
    }
    report += " \r\n";
    report += ReportRow("AudioDevice:", TrimAtNul(line.szName), columns);
    report += ReportRow("Channels:", std::to_string(line.cChannels), columns);
    report += ReportRow("Connections:", std::to_string(line.cConnections), columns);
    report += ReportRow("Controls:", std::to_string(line.cControls), columns);
    report += ReportRow("Shortname:", TrimAtNul(line.szShortName), columns);
}

}  // namespace corvale
