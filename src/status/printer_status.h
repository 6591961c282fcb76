// The in-memory image of the six memory switches that the status dialog edits.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <type_traits>

namespace talq::status {

inline constexpr int kSlotCount = 6;
inline constexpr int kPinsPerSwitch = 8;
// pins[0] is no pin: it only keeps its place in the byte image of the status file.
inline constexpr int kIntegersPerSwitch = kPinsPerSwitch + 1;
inline constexpr int kStatusIntegerCount = kSlotCount * kIntegersPerSwitch;

// Memory switch number held by each slot, in record order.
inline constexpr std::array<int, kSlotCount> kSwitchNumbers = {1, 2, 8, 9, 10, 11};

inline constexpr int kSlotSwitch1 = 0;
inline constexpr int kSlotSwitch2 = 1;
inline constexpr int kSlotSwitch8 = 2;
inline constexpr int kSlotSwitch9 = 3;
inline constexpr int kSlotSwitch10 = 4;
inline constexpr int kSlotSwitch11 = 5;

struct MemorySwitch {
    // pins[1]..pins[8] are pin 1..8: 1 = set, 0 = clear.
    std::array<std::int32_t, kIntegersPerSwitch> pins{};

    friend bool operator==(const MemorySwitch&, const MemorySwitch&) = default;
};

struct PrinterStatus {
    std::array<MemorySwitch, kSlotCount> switches{};

    // All 54 integers to 0, pins[0] included.
    void Clear();

    friend bool operator==(const PrinterStatus&, const PrinterStatus&) = default;
};

static_assert(sizeof(MemorySwitch) == kIntegersPerSwitch * sizeof(std::int32_t));
static_assert(sizeof(PrinterStatus) == 216, "the status file is the record's 216-byte image");
static_assert(std::is_trivially_copyable_v<PrinterStatus>);

// Slot of a memory switch number (1, 2, 8, 9, 10, 11); nullopt for any other number.
std::optional<int> SlotOfSwitch(int switchNumber);

// Slot shown by page 1..6 of the memory switch page; nullopt outside 1..6.
std::optional<int> SlotOfPage(int page);

// Integer k (0..53) of the record in record order: pin p of slot s is 9*s + p.
std::int32_t& IntegerAt(PrinterStatus& status, int index);
std::int32_t IntegerAt(const PrinterStatus& status, int index);

}  // namespace talq::status
