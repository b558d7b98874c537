// Printing a theme check.
#include "ctl/report.h"

#include <cstdio>
#include <iomanip>

namespace corvale::ctl {
namespace {

const char* SeverityWord(Severity severity) {
    switch (severity) {
        case Severity::Error: return "error";
        case Severity::Warning: return "warning";
        case Severity::Note: break;
    }
    return "note";
}

std::string Size(int width, int height) { return std::to_string(width) + "x" + std::to_string(height); }

std::string Geometry(const EntryRect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + Size(r.width, r.height);
}

// What the entry becomes, on one line after its key and kind.
std::string Summary(const CheckedEntry& entry) {
    std::string line;
    if (entry.rect) line += Geometry(*entry.rect);
    if (!entry.role.empty()) line += ", " + entry.role;
    if (entry.kind == "B") {
        line += ", runs \"" + entry.command + "\"";
        if (entry.locked) line += ", asks for the password";
    }
    if (entry.kind == "A" && !entry.frameTimes.empty()) {
        line += ", " + std::to_string(entry.frameTimes.size()) +
                (entry.frameTimes.size() == 1 ? " frame:" : " frames:");
        for (const long time : entry.frameTimes) line.append(" ").append(std::to_string(time));
        line += " ms";
    }
    if (entry.source.ends_with(".ini")) line += " (from " + entry.source + ")";
    return line;
}

void PrintFindings(const std::vector<Finding>& findings, std::ostream& out) {
    for (const Finding& finding : findings)
        out << "        " << SeverityWord(finding.severity) << ": " << finding.text << "\n";
}

void PrintSection(const CheckedSection& section, const char* window, std::ostream& out) {
    if (section.file.empty()) return;
    out << "\n"
        << section.file << " [" << section.section << "], " << window << " "
        << Size(section.clientWidth, section.clientHeight) << "\n";
    if (section.entries.empty()) out << "  (no entries)\n";
    for (const CheckedEntry& entry : section.entries) {
        const std::string file = entry.kind == "L" ? "" : entry.file;
        out << "  " << std::left << std::setw(4) << entry.key << std::setw(10) << entry.what << " "
            << std::setw(18) << file << " " << Summary(entry) << "\n";
        PrintFindings(entry.findings, out);
    }
}

void PrintVolume(const ThemeCheck& check, std::ostream& out) {
    if (check.volume.empty()) return;
    out << "\n" << check.layoutSkin << " [VOLUME], the nth mixer line found\n";
    for (const CheckedVolumeLine& line : check.volume) {
        out << "  " << std::left << std::setw(8) << line.key;
        if (line.slider)
            out << " slider " << Geometry(*line.slider) << ", label " << Geometry(*line.label) << ", switch "
                << Geometry(*line.mute);
        else out << " dropped";
        out << "\n";
        PrintFindings(line.findings, out);
    }
}

void JsonRect(const char* name, const EntryRect& r, std::ostream& out) {
    out << ",\"" << name << "\":{\"left\":" << r.left << ",\"top\":" << r.top << ",\"width\":" << r.width
        << ",\"height\":" << r.height << "}";
}

void JsonFinding(const Finding& finding, std::ostream& out) {
    out << "{\"severity\":" << Json(SeverityWord(finding.severity)) << ",\"where\":" << Json(finding.where)
        << ",\"text\":" << Json(finding.text) << "}";
}

template <typename T, typename F>
void JsonList(const std::vector<T>& items, std::ostream& out, F each) {
    out << "[";
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) out << ",";
        each(items[i]);
    }
    out << "]";
}

void JsonEntry(const CheckedEntry& entry, std::ostream& out) {
    out << "{\"key\":" << Json(entry.key) << ",\"value\":" << Json(entry.value)
        << ",\"source\":" << Json(entry.source) << ",\"kind\":" << Json(entry.kind)
        << ",\"what\":" << Json(entry.what) << ",\"file\":" << Json(entry.file);
    if (entry.rect) JsonRect("rect", *entry.rect, out);
    if (!entry.role.empty()) out << ",\"role\":" << Json(entry.role);
    if (entry.kind == "B")
        out << ",\"command\":" << Json(entry.command) << ",\"hoverSound\":" << Json(entry.hoverSound)
            << ",\"clickSound\":" << Json(entry.clickSound)
            << ",\"locked\":" << (entry.locked ? "true" : "false");
    if (entry.kind == "A") {
        out << ",\"frameTimes\":";
        JsonList(entry.frameTimes, out, [&](long time) { out << time; });
    }
    out << ",\"problems\":";
    JsonList(entry.findings, out, [&](const Finding& f) { JsonFinding(f, out); });
    out << "}";
}

void JsonSection(const CheckedSection& section, std::ostream& out) {
    out << "{\"file\":" << Json(section.file) << ",\"section\":" << Json(section.section)
        << ",\"window\":{\"width\":" << section.clientWidth << ",\"height\":" << section.clientHeight
        << "},\"entries\":";
    JsonList(section.entries, out, [&](const CheckedEntry& e) { JsonEntry(e, out); });
}

void JsonVolumeLine(const CheckedVolumeLine& line, std::ostream& out) {
    out << "{\"key\":" << Json(line.key) << ",\"value\":" << Json(line.value);
    if (line.slider) {
        JsonRect("slider", *line.slider, out);
        JsonRect("label", *line.label, out);
        JsonRect("switch", *line.mute, out);
    }
    out << ",\"problems\":";
    JsonList(line.findings, out, [&](const Finding& f) { JsonFinding(f, out); });
    out << "}";
}

}  // namespace

std::string Json(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (byte < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            quoted += escape;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

void PrintCheckText(const ThemeCheck& check, const std::string& folder, std::ostream& out) {
    out << "theme " << folder << " on a " << Size(check.screen.width, check.screen.height) << " screen";
    if (check.workArea.width != check.screen.width || check.workArea.height != check.screen.height)
        out << " whose taskbar leaves " << Size(check.workArea.width, check.workArea.height);
    out << "\n";
    if (!check.layoutSkin.empty()) out << "layout skin " << check.layoutSkin << "\n";
    for (const Finding& finding : check.findings)
        out << SeverityWord(finding.severity) << ": " << finding.where << ": " << finding.text << "\n";
    PrintSection(check.main, "window", out);
    PrintVolume(check, out);
    PrintSection(check.prompt, "prompt while it is built", out);
    if (check.inputBox) out << "  input box " << Geometry(*check.inputBox) << "\n";
    const int errors = check.Count(Severity::Error);
    const int warnings = check.Count(Severity::Warning);
    out << "\n";
    if (errors == 0 && warnings == 0) out << "clean: no problems found\n";
    else
        out << errors << (errors == 1 ? " error, " : " errors, ") << warnings
            << (warnings == 1 ? " warning\n" : " warnings\n");
}

void PrintCheckJson(const ThemeCheck& check, const std::string& folder, std::ostream& out) {
    out << "{\"folder\":" << Json(folder) << ",\"screen\":{\"width\":" << check.screen.width
        << ",\"height\":" << check.screen.height << "},\"workArea\":{\"width\":" << check.workArea.width
        << ",\"height\":" << check.workArea.height << "},\"layoutSkin\":" << Json(check.layoutSkin)
        << ",\"problems\":";
    JsonList(check.findings, out, [&](const Finding& f) { JsonFinding(f, out); });
    out << ",\"sections\":[";
    bool first = true;
    for (const CheckedSection* section : {&check.main, &check.prompt}) {
        if (section->file.empty()) continue;
        if (!first) out << ",";
        first = false;
        JsonSection(*section, out);
        if (section == &check.main) {
            out << ",\"volume\":";
            JsonList(check.volume, out, [&](const CheckedVolumeLine& line) { JsonVolumeLine(line, out); });
        } else {
            if (check.promptPicture)
                out << ",\"picture\":{\"width\":" << check.promptPicture->width
                    << ",\"height\":" << check.promptPicture->height << "}";
            if (check.inputBox) JsonRect("inputBox", *check.inputBox, out);
        }
        out << "}";
    }
    out << "],\"errors\":" << check.Count(Severity::Error)
        << ",\"warnings\":" << check.Count(Severity::Warning) << ",\"exitCode\":" << check.ExitCode()
        << "}\n";
}

}  // namespace corvale::ctl
