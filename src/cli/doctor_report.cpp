#include "cli/doctor_report.h"

#include <algorithm>

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

struct LineWordsOf {
    std::string baud, dataBits, parity, stopBits, flow;
};

LineWordsOf WordsOf(const link::PortSettings& s) {
    const auto word = [](const auto& list, int code) {
        return code >= 0 && static_cast<std::size_t>(code) < list.size()
                   ? std::string(list[static_cast<std::size_t>(code)])
                   : std::to_string(code);
    };
    return {std::to_string(s.baudRate), std::to_string(s.dataBits), word(kParityWords, s.parity),
            word(kStopBitsWords, s.stopBits), word(kFlowWords, s.flowControl)};
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

std::string LineOptions(const link::PortSettings& settings) {
    const LineWordsOf w = WordsOf(settings);
    return "--baud " + w.baud + " --data-bits " + w.dataBits + " --parity " + w.parity +
           " --stop-bits " + w.stopBits + " --flow " + w.flow;
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
            const LineWordsOf w = WordsOf(section.printer->settings);
            Json line = nullptr;
            if (section.printer->kind == link::Serial) {
                line = {{"baud", w.baud},
                        {"dataBits", w.dataBits},
                        {"parity", w.parity},
                        {"stopBits", w.stopBits},
                        {"flow", w.flow}};
            }
            printer = {{"model", std::string(ModelName(section.printer->model))},
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
