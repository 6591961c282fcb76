#include "cli/doctor_report.h"

#include <algorithm>

#include "cli/saved_line_settings.h"

namespace talq::cli {
namespace {

const char* VerdictWord(Verdict verdict, bool shout) {
    switch (verdict) {
        case Verdict::Ok:
            return "ok";
        case Verdict::Note:
            return "note";
        case Verdict::Problem:
            return shout ? "PROBLEM" : "problem";
        case Verdict::Skipped:
            break;
    }
    return "skipped";
}

std::string Padded(std::string text, std::size_t width) {
    if (text.size() < width) text.resize(width, ' ');
    return text;
}

// The five words of the ports file and the options: baud, data bits, parity, stop bits, flow.
std::vector<std::string> WordsOf(const platform::LineSettings& line) {
    link::PortSettings record;
    record.baudRate = line.baudRate;
    record.dataBits = line.dataBits;
    record.stopBits = line.stopBits;
    record.parity = line.parity;
    record.flowControl = line.flowControl;
    return LineSettingsWords(record);
}

}  // namespace

bool ReportSection::HasProblem() const {
    return std::any_of(findings.begin(), findings.end(),
                       [](const Finding& f) { return f.verdict == Verdict::Problem; });
}

int DoctorReport::Problems() const {
    int count = 0;
    for (const ReportSection& section : sections) {
        count += static_cast<int>(
            std::count_if(section.findings.begin(), section.findings.end(),
                          [](const Finding& f) { return f.verdict == Verdict::Problem; }));
    }
    return count;
}

std::string LineOptions(const platform::LineSettings& line) {
    const auto w = WordsOf(line);
    return "--baud " + w[0] + " --data-bits " + w[1] + " --parity " + w[2] + " --stop-bits " +
           w[3] + " --flow " + w[4];
}

std::string ReportText(const DoctorReport& report) {
    std::string text = "talq " TALQ_VERSION " on " + report.system + "; user " + report.user + "\n";
    constexpr std::size_t kVerdictWidth = 9, kCheckWidth = 14;
    for (const ReportSection& section : report.sections) {
        text += "\n" + section.title + "\n";
        for (const Finding& finding : section.findings) {
            text += "  " + Padded(VerdictWord(finding.verdict, true), kVerdictWidth) +
                    Padded(finding.check, kCheckWidth) + finding.text + "\n";
            if (!finding.mend.empty()) {
                text += "  " + std::string(kVerdictWidth, ' ') + Padded("mend:", kCheckWidth) +
                        finding.mend + "\n";
            }
        }
    }
    const int problems = report.Problems();
    text += "\n" + (problems == 0 ? std::string("Nothing wrong found.")
                                  : std::to_string(problems) +
                                        (problems == 1 ? " problem" : " problems") + " found.") +
            "\n";
    return text;
}

Json ReportJson(const DoctorReport& report, int exitCode) {
    Json sections = Json::array();
    for (const ReportSection& section : report.sections) {
        Json findings = Json::array();
        for (const Finding& f : section.findings) {
            findings.push_back({{"check", f.check},
                                {"verdict", VerdictWord(f.verdict, false)},
                                {"text", f.text},
                                {"mend", TextOrNull(f.mend)}});
        }
        Json printer = nullptr;
        if (section.printer) {
            Json line = nullptr;
            if (section.printer->line) {
                const auto w = WordsOf(*section.printer->line);
                line = {{"baud", w[0]},
                        {"dataBits", w[1]},
                        {"parity", w[2]},
                        {"stopBits", w[3]},
                        {"flow", w[4]}};
            }
            printer = {{"model", std::string(ModelName(section.printer->model))},
                       {"modelName", section.printer->info.modelName},
                       {"firmwareVersion", section.printer->info.firmwareVersion},
                       {"line", std::move(line)}};
        }
        sections.push_back({{"title", section.title},
                            {"port", TextOrNull(section.port)},
                            {"device", TextOrNull(section.device)},
                            {"findings", std::move(findings)},
                            {"printer", std::move(printer)}});
    }
    return {{"format", "talq-doctor/1"}, {"talq", TALQ_VERSION},
            {"system", report.system},   {"user", report.user},
            {"sections", sections},      {"problems", report.Problems()},
            {"exitCode", exitCode}};
}

}  // namespace talq::cli
