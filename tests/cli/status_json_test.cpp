#include "cli/status_json.h"

#include <gtest/gtest.h>

#include <limits>
#include <nlohmann/json.hpp>

#include "status/code_pages.h"
#include "status/status_file.h"

namespace talq::cli {
namespace {

std::string ValidSwitches(const std::string& switch9 = "[0, 0, 0, 0, 0, 0, 0, 0, 1]") {
    return R"("switches": {"1": [0,0,0,0,0,0,0,0,0], "2": [0,0,0,0,0,0,0,0,0],
        "8": [0,0,0,0,0,0,0,0,0], "9": )" +
           switch9 + R"(, "10": [0,0,0,0,0,0,0,0,0], "11": [0,0,0,0,0,0,0,0,0]})";
}

TEST(StatusJson, StatusFileImageSurvivesTheJsonFormByteForByte) {
    // Every integer differs, and the unusual ones sit in pins[0] and in pins.
    status::StatusFileImage image{};
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i * 37 + 11);
    status::PrinterStatus record = status::DecodeStatusImage(image.data(), image.size());
    record.switches[0].pins[0] = std::numeric_limits<std::int32_t>::min();
    record.switches[1].pins[3] = -48;  // a missing switch reply
    record.switches[5].pins[8] = std::numeric_limits<std::int32_t>::max();
    record.switches[3].pins[2] = 2;

    for (const std::optional<int> model : {std::optional<int>(), std::optional<int>(0),
                                           std::optional<int>(1), std::optional<int>(2)}) {
        const StatusJsonResult parsed = ParseStatusJson(StatusJson(record, model));
        ASSERT_TRUE(parsed.document) << parsed.error;
        EXPECT_EQ(status::EncodeStatusImage(parsed.document->status),
                  status::EncodeStatusImage(record));
        EXPECT_EQ(parsed.document->model, model);
    }
}

TEST(StatusJson, DecodedFieldsMustAgreeWithThePins) {
    status::PrinterStatus record{};
    status::EncodeCodePage(record, 36);
    std::string text = StatusJson(record, 1);
    EXPECT_NE(text.find(R"("name": "Reserved")"), std::string::npos);
    EXPECT_NE(text.find(R"("baud": "9600")"), std::string::npos);
    EXPECT_TRUE(ParseStatusJson(text).document);

    // Editing a decoded field alone would change nothing on the printer: refused.
    const auto edited = [&](const std::string& from, const std::string& to) {
        std::string copy = text;
        copy.replace(copy.find(from), from.size(), to);
        return ParseStatusJson(copy);
    };
    EXPECT_NE(edited(R"("index": 36)", R"("index": 2)").error.find("codePage.index"),
              std::string::npos);
    EXPECT_NE(edited(R"("baud": "9600")", R"("baud": "115200")").error.find("serial.baud"),
              std::string::npos);
    // A pattern above the list is kept and named by no entry; a writer that knew no "inList"
    // left it out.
    status::PrinterStatus page44{};
    for (int pin : {3, 6, 7}) page44.switches[status::kSlotSwitch2].pins[pin] = 1;
    auto document = nlohmann::json::parse(StatusJson(page44, 0));
    EXPECT_EQ(document["codePage"],
              nlohmann::json::parse(R"({"index": 44, "name": null, "inList": false})"));
    document["codePage"]["inList"] = true;
    EXPECT_NE(ParseStatusJson(document.dump()).error.find("codePage.inList"), std::string::npos);
    document["codePage"].erase("inList");
    const StatusJsonResult older = ParseStatusJson(document.dump());
    ASSERT_TRUE(older.document) << older.error;
    EXPECT_EQ(older.document->status, page44);

    // Models 0 and 2 keep no serial settings in the pins: theirs are the printer's report.
    EXPECT_TRUE(ParseStatusJson("{" + ValidSwitches() +
                                R"(, "model": "KTV-520plus", "serial": {"baud": "2400"}})")
                    .document);
}

TEST(StatusJson, AnythingButAStatusDocumentIsAnErrorNotAThrow) {
    const std::string nested(100000, '[');
    const struct {
        std::string text;
        const char* error;
    } cases[] = {
        {"", "malformed"},
        {"{", "malformed"},
        {"\xff\xfe", "malformed"},
        {nested, "nested too deeply"},
        {"[]", "JSON object"},
        {"{}", "\"switches\" is missing"},
        {R"({"switches": []})", "must be an object"},
        {R"({"switches": {"3": []}})", "no memory switch \"3\""},
        {R"({"switches": {"1": [0,0,0,0,0,0,0,0,0]}})", "lacks switch \"2\""},
        {"{" + ValidSwitches("[0,0,0,0,0,0,0,0]") + "}", "array of 9 integers"},
        {"{" + ValidSwitches("[0,0,0,0,0,0,0,0,1.5]") + "}", "must be an integer"},
        {"{" + ValidSwitches("[0,0,0,0,0,0,0,0,\"1\"]") + "}", "must be an integer"},
        {"{" + ValidSwitches("[0,0,0,0,0,0,0,0,2147483648]") + "}", "out of range"},
        {"{" + ValidSwitches("[0,0,0,0,0,0,0,0,-2147483649]") + "}", "out of range"},
        {"{" + ValidSwitches() + R"(, "model": "KTV-999"})", "\"model\""},
        {"{" + ValidSwitches() + R"(, "model": "1"})", "\"model\""},
        {"{" + ValidSwitches() + R"(, "format": "talq-status/2"})", "\"format\""},
        {"{" + ValidSwitches() + R"(, "swiches": {}})", "unknown field \"swiches\""},
        {"{" + ValidSwitches() + R"(, "codePage": 3})", "\"codePage\" must be an object"},
    };
    for (const auto& c : cases) {
        const StatusJsonResult result = ParseStatusJson(c.text);
        EXPECT_FALSE(result.document) << c.text.substr(0, 80);
        EXPECT_NE(result.error.find(c.error), std::string::npos)
            << c.text.substr(0, 80) << " gave: " << result.error;
    }
}

}  // namespace
}  // namespace talq::cli
