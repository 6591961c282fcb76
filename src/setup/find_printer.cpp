#include "setup/find_printer.h"

#include <algorithm>
#include <string_view>

#include "link/connection_choices.h"
#include "platform/port_devices.h"
#include "platform/serial_line_accepts.h"
#include "protocol/reply_reader.h"
#include "setup/check_communication.h"
#include "setup/quick_look.h"
#include "status/status_exchanges.h"

namespace talq::setup {
namespace {

struct Framing {
    int dataBits;
    int parity;  // the record's code: 0 None, 1 Odd, 2 Even
};
constexpr Framing kFramings[] = {{8, 0}, {7, 2}, {8, 2}, {8, 1}, {7, 1}, {7, 0}};
constexpr int kCommonRates[] = {9600, 115200, 19200, 38400, 57600, 4800, 2400};

// Speaks with no one: each try's outcome is judged here, not shown.
class QuietSink : public status::ExchangeSink {
  public:
    void ShowMessage(const std::string&, status::MessageIcon) override {}
    void SetProgress(int) override {}
    void StepProgress() override {}
};

std::vector<int> RatesOf(int model) {
    std::vector<int> rates;
    for (std::string_view text : link::BaudRatesOf(model < 0 ? 0 : model)) {
        rates.push_back(std::stoi(std::string(text)));
    }
    return rates;
}

std::string DeviceOf(const FindRequest& request) {
    if (request.kind == link::Usb) {
        // The label that the port list puts before the device path (see PrinterPort).
        return request.portName.size() > 8 ? request.portName.substr(8) : std::string();
    }
    return platform::DevicePathForPort(request.portName);
}

// Opens the device for a moment, with no settings and no transfer.
bool DeviceOpens(const std::string& path) {
    if (path.empty()) return false;
    auto& os = platform::Current();
    const platform::DeviceHandle device = os.OpenDevice(path);
    if (device == platform::kNoDevice) return false;
    os.CloseDevice(device);
    return true;
}

bool HoldsQueues(const std::string& name) {
    return name.rfind("COM", 0) == 0 || name.rfind("LPT", 0) == 0;
}

// The family a model-ID byte names, and the other one.
int OtherFamily(int model) {
    return status::ExpectedModelIdByte(model) == 0x20 ? 1 : 0;
}

// The model of an identified printer of `family`: its name tells the KTV-520plusF apart.
int ModelOf(int family, const std::string& modelName) {
    if (family == 1) return 1;
    return modelName == "KTV-520plusF" ? 2 : 0;
}

// What a look that came to nothing means, as Check Communication would have ended there.
CheckResult CheckOf(Look look) {
    switch (look) {
        case Look::ConfigureFailed:
            return CheckResult::ConfigureFailed;
        case Look::OpenFailed:
            return CheckResult::OpenFailed;
        case Look::PortError:
            return CheckResult::PortError;
        case Look::Silent:
        case Look::Heard:
        case Look::ModelIdByte:
            break;
    }
    return CheckResult::WrongDeviceId;
}

}  // namespace

std::vector<platform::LineSettings> SearchOrder(int model, const FixedLine& fixed) {
    const std::vector<int> offered = RatesOf(model);
    std::vector<int> rates;
    const auto add = [&](int rate) {
        const bool listed = std::find(offered.begin(), offered.end(), rate) != offered.end();
        const bool kept = !fixed.baudRate || *fixed.baudRate == rate;
        if (listed && kept && std::find(rates.begin(), rates.end(), rate) == rates.end()) {
            rates.push_back(rate);
        }
    };
    if (model < 0) {
        add(std::stoi(std::string(link::DefaultBaudRate(0))));
        add(std::stoi(std::string(link::DefaultBaudRate(1))));
    } else {
        add(std::stoi(std::string(link::DefaultBaudRate(model))));
    }
    for (int rate : kCommonRates) add(rate);

    std::vector<platform::LineSettings> order;
    for (const Framing& framing : kFramings) {
        if (fixed.dataBits && *fixed.dataBits != framing.dataBits) continue;
        if (fixed.parity && *fixed.parity != framing.parity) continue;
        for (int rate : rates) {
            order.push_back({rate, framing.dataBits, fixed.stopBits.value_or(0), framing.parity,
                             fixed.flowControl.value_or(0)});
        }
    }
    return order;
}

int SilentTryMs(link::PortKind kind, bool thorough) {
    using namespace protocol;
    if (kind == link::Usb) return kBlockPauseMs + 2 * platform::kUntimedReadMs;
    if (kind == link::Serial && !thorough) return kQuickLookSilentMs;
    // Serial and parallel reads of one byte end 10 ms x 1 + 10 ms after they begin.
    constexpr int kOneByteReadMs = 20;
    return 5 * (50 + kOneByteReadMs) + 11 * (kBytePauseMs + kOneByteReadMs);
}

FindResult FindPrinter(link::PrinterPort& port, QueuePorts& queues, const FindRequest& request) {
    FindResult result;
    const std::string device = DeviceOf(request);
    const bool serial = request.kind == link::Serial;
    // A console's speed and the bytes a search sends would reach whoever uses it.
    result.systemConsole = platform::IsSystemConsole(device);
    // A node without a UART opens, and then nothing would ever answer at any setting.
    if (result.systemConsole ||
        (serial && platform::SerialHardwareBehind(device) == platform::SerialHardware::Absent) ||
        !DeviceOpens(device)) {
        result.outcome = FindOutcome::CannotOpen;
        return result;
    }
    if (HoldsQueues(request.portName)) RedirectSpoolerQueues(request.portName, queues);

    std::vector<std::optional<platform::LineSettings>> plan;
    if (serial) {
        plan.assign(request.lines.begin(), request.lines.end());
    } else {
        plan.push_back(std::nullopt);
    }
    QuietSink sink;
    const auto stopped = [&] { return request.stopRequested && request.stopRequested(); };
    // One look a setting, and the whole exchange only where a model-ID byte came: see
    // quick_look.h. An LPT port or a USB entry has one exchange to make, and makes it whole.
    const bool quick = serial && !request.thorough;

    for (std::size_t i = 0; i < plan.size(); ++i) {
        const std::optional<platform::LineSettings> line = plan[i];
        if (line && !platform::SerialLineAccepts(*line)) {
            ++result.refused;
            continue;
        }
        link::PortSettings settings;
        settings.portName = request.portName;
        const platform::LineSettings used = line.value_or(platform::LineSettings{});
        settings.baudRate = used.baudRate;
        settings.dataBits = used.dataBits;
        settings.stopBits = used.stopBits;
        settings.parity = used.parity;
        settings.flowControl = used.flowControl;

        const auto announce = [&] {
            if (request.onTry) {
                request.onTry(result.tries + 1, static_cast<int>(plan.size()) - result.refused,
                              line ? &*line : nullptr);
            }
            ++result.tries;
        };
        // One identification exchange at this setting, expecting `model`'s byte.
        bool answered = false;
        const auto tryAs = [&](int model) {
            announce();
            answered = false;
            return CheckCommunication(port, settings, request.kind, model, sink, &answered);
        };
        if (stopped()) {
            result.outcome = FindOutcome::Interrupted;
            return result;
        }
        ++result.settingsTried;
        int family = request.model >= 0 ? request.model : 0;
        CheckResult check = CheckResult::WrongDeviceId;
        if (quick) {
            announce();
            const LookResult look = LookForModelId(port, settings);
            if (look.look == Look::ModelIdByte) {
                if (stopped()) {
                    result.outcome = FindOutcome::Interrupted;
                    return result;
                }
                // Asked as what it said it is: the other family's byte did not come.
                if (look.modelIdByte != status::ExpectedModelIdByte(family)) {
                    family = OtherFamily(family);
                }
                check = tryAs(family);
            } else if (look.look != Look::Silent && look.look != Look::Heard) {
                check = CheckOf(look.look);
            }
            result.heardBytes =
                result.heardBytes || look.look == Look::Heard ||
                (look.look == Look::ModelIdByte && check == CheckResult::WrongDeviceId);
        } else {
            check = tryAs(family);
            if (check == CheckResult::WrongDeviceId && answered) {
                if (stopped()) {
                    result.outcome = FindOutcome::Interrupted;
                    return result;
                }
                family = OtherFamily(family);
                check = tryAs(family);
                result.heardBytes = result.heardBytes || check == CheckResult::WrongDeviceId;
            }
        }
        switch (check) {
            case CheckResult::Connected: {
                protocol::ReplyReader reader(port, protocol::ReadModeFor(request.kind));
                status::ReadPrinterInfo(reader, family, result.info, sink);
                result.model = ModelOf(family, result.info.modelName);
                result.line = line;
                result.outcome = FindOutcome::Found;
                return result;
            }
            case CheckResult::WrongMaker:
                result.line = line;
                result.outcome = FindOutcome::OtherPrinter;
                return result;
            case CheckResult::PortError:
                // The reset command did not go out: a host at Hardware flow waits for a CTS
                // the printer does not raise; Xon/Xoff does not wait for it. The line stays
                // low at every rate, so the rest of the search goes at Xon/Xoff too rather
                // than stall at each setting.
                if (line && line->flowControl == 0 && !request.flowFixed) {
                    for (std::size_t later = i + 1; later < plan.size(); ++later) {
                        plan[later]->flowControl = 1;
                    }
                    platform::LineSettings xon = *line;
                    xon.flowControl = 1;
                    plan.insert(plan.begin() + static_cast<std::ptrdiff_t>(i) + 1, xon);
                }
                break;
            case CheckResult::OpenFailed:
                port.Close();  // a port object may still hold the device it half opened
                if (!DeviceOpens(device)) {
                    result.outcome = FindOutcome::CannotOpen;
                    return result;
                }
                ++result.refused;  // the device opens, but not with this setting
                --result.settingsTried;
                break;
            case CheckResult::ConfigureFailed:
                result.outcome = FindOutcome::CannotOpen;
                return result;
            case CheckResult::WrongDeviceId:
                break;
        }
    }
    port.Close();
    result.outcome = FindOutcome::NothingAnswered;
    return result;
}

}  // namespace talq::setup
