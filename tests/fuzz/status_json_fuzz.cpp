// The command line's JSON status import: any bytes. What is no status
// document is refused with an error and yields no document, so nothing of it
// can reach a record; a document that is accepted writes back as JSON that
// reads as the same record and model.
#include <string_view>

#include "cli/status_json.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const talq::cli::StatusJsonResult result = talq::cli::ParseStatusJson(text);
    FUZZ_CHECK(result.document.has_value() == result.error.empty(),
               "a document and an error, or neither");
    if (!result.document) return 0;

    const auto& document = *result.document;
    const std::string written = talq::cli::StatusJson(document.status, document.model);
    const talq::cli::StatusJsonResult reread = talq::cli::ParseStatusJson(written);
    FUZZ_CHECK(reread.document.has_value(), "its own output refused");
    FUZZ_CHECK(reread.document->status == document.status, "the record does not round-trip");
    FUZZ_CHECK(reread.document->model == document.model, "the model does not round-trip");
    return 0;
}
