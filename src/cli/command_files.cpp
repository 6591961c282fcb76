// talq show, diff and factory: status files only, no printer.
#include "cli/commands.h"
#include "cli/models.h"
#include "cli/status_diff.h"
#include "cli/status_files.h"
#include "cli/status_json.h"
#include "cli/status_text.h"
#include "status/code_pages.h"
#include "status/factory_values.h"

namespace talq::cli {
namespace {

// The model for captions: --model when given (false when it names none), else the first
// model a document names.
bool CaptionModel(const Console& console, const std::string& text,
                  std::initializer_list<const StatusDocument*> documents,
                  std::optional<int>& model) {
    model.reset();
    if (!text.empty()) {
        Failure failure;
        model = ResolveModel(text, failure);
        if (!model) Report(console, failure);
        return model.has_value();
    }
    for (const StatusDocument* document : documents) {
        if (!model) model = document->model;
    }
    return true;
}

}  // namespace

int RunShow(const Console& console, const std::string& file, const std::string& modelText,
            bool json) {
    std::optional<int> model;
    if (!CaptionModel(console, modelText, {}, model)) return kExitUsage;
    Failure failure;
    const auto document = ReadStatusInput(file, failure);
    if (!document) return Report(console, failure).exitCode;
    // Another model's captions over these pins would mislead, as set refuses to write them.
    if (model && document->model && *model != *document->model) {
        return Report(console, {kExitUsage, file + ": written for the " +
                                                std::string(ModelName(*document->model)) +
                                                ", not the " + std::string(ModelName(*model))})
            .exitCode;
    }
    if (!model) model = document->model;
    if (json) {
        console.out << StatusJson(document->status, model) << std::flush;
    } else {
        PrintStatus(console.out, document->status, model);
    }
    return kExitDone;
}

int RunDiff(const Console& console, const std::string& fileA, const std::string& fileB,
            const std::string& modelText) {
    std::optional<int> model;
    if (!CaptionModel(console, modelText, {}, model)) return kExitUsage;
    Failure failure;
    const auto a = ReadStatusInput(fileA, failure);
    if (!a) return Report(console, failure).exitCode;
    const auto b = ReadStatusInput(fileB, failure);
    if (!b) return Report(console, failure).exitCode;
    CaptionModel(console, modelText, {&*a, &*b}, model);
    const auto changes = ExactDifferences(a->status, b->status);
    PrintChanges(console.out, a->status, b->status, changes, model);
    return changes.empty() ? kExitDone : kExitDiffers;
}

int RunCodePages(const Console& console) {
    for (int index = 0; index < status::kCodePageCount; ++index) {
        console.out << (index < 10 ? " " : "") << index << "  "
                    << status::kCodePageTexts[static_cast<std::size_t>(index)] << "\n";
    }
    return kExitDone;
}

int RunFactory(const Console& console, const std::string& modelText, const std::string& output) {
    Failure failure;
    const auto model = ResolveModel(modelText, failure);
    if (!model) return Report(console, failure).exitCode;
    if (const std::string error = CheckOutputName(output); !error.empty()) {
        return Report(console, {kExitUsage, error}).exitCode;
    }
    // Initialize Status on a record the status dialog has just cleared.
    status::PrinterStatus record{};
    status::ApplyFactoryValues(record, *model, nullptr);
    if (!WriteStatusOutput(output, record, *model, nullptr, failure)) {
        return Report(console, failure).exitCode;
    }
    return kExitDone;
}

}  // namespace talq::cli
