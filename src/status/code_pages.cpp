#include "status/code_pages.h"

namespace talq::status {
namespace {

struct CodePageBit {
    int value;
    int pin;
};

// Bit value of the index and the switch 2 pin that holds it; the highest bit sits on pin 3.
// clang-format off
constexpr std::array<CodePageBit, 6> kCodePageBits = {{
    {1, 4}, {2, 5}, {4, 6}, {8, 7}, {16, 8}, {32, 3},
}};
// clang-format on

constexpr int kHighestCodePage = 36;

}  // namespace

const std::array<std::string_view, kCodePageCount> kCodePageTexts = {
    "PC437 (USA: Standard Europe)",
    "Katakana",
    "PC850 (Multilingual)",
    "PC860 (Portugues)",
    "PC863 (Canadian-French)",
    "PC865 (Nordic)",
    "WPC1252 (Lantin 1)",
    "PC866 (Cyrillic #2)",
    "PC852 (Latin 2)",
    "PC858 (Euro)",
    "PC862 (Hebrew DOS code)",
    "PC864 (Arabic)",
    "Thai character code 42",
    "WPC1253 (Greek)",
    "WPC1254 (Turkish)",
    "WPC1257 (Baltic)",
    "Farsi",
    "WPC1251 (Cyrillic)",
    "PC737 (Greek)",
    "PC775 (Baltic)",
    "Thai character code 14",
    "Hebrew Old code",
    "WPC1255 (Hebrew)",
    "Thai character code 11",
    "Thai character code 18",
    "PC855 (Cyrillic)",
    "PC857 (Turkish)",
    "PC928 (Greek)",
    "Thai character code 16",
    "Reserved",
    "Reserved",
    "Reserved",
    "User Codepage(Page 43)",
    "User Codepage(Page 44)",
    "User Codepage(Page 45)",
    "User Codepage(Page 46)",
    "Reserved",
};

int DecodeCodePage(const PrinterStatus& status) {
    const auto& pins = status.switches[kSlotSwitch2].pins;
    int index = 0;
    for (const CodePageBit& bit : kCodePageBits) {
        if (pins[bit.pin] != 0) index += bit.value;
    }
    return index;
}

void EncodeCodePage(PrinterStatus& status, int index) {
    auto& pins = status.switches[kSlotSwitch2].pins;
    const bool storable = index >= 1 && index <= kHighestCodePage;
    for (const CodePageBit& bit : kCodePageBits) {
        pins[bit.pin] = (storable && (index & bit.value) != 0) ? 1 : 0;
    }
}

}  // namespace talq::status
