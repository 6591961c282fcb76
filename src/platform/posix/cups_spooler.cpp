#include "platform/posix/cups_spooler.h"

#include <cups/cups.h>

#include <charconv>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/port_match.h"
#include "platform/serial_uri.h"

namespace talq::platform::posix {
namespace {

struct CupsFree {
    void operator()(http_t* http) const { httpClose(http); }
    void operator()(ipp_t* message) const { ippDelete(message); }
};
using Connection = std::unique_ptr<http_t, CupsFree>;
using Message = std::unique_ptr<ipp_t, CupsFree>;

// Remote, discovered and class queues print to no device of this machine.
constexpr int kNotLocalQueue = CUPS_PRINTER_REMOTE | CUPS_PRINTER_DISCOVERED | CUPS_PRINTER_CLASS;

const char* NoPassword(const char*, http_t*, const char*, const char*, void*) {
    return nullptr;
}

int GiveUp(http_t*, void*) {
    return 0;
}

// "host:port", or a local socket path.
Connection Connect(const std::string& scheduler) {
    cupsSetPasswordCB2(NoPassword, nullptr);
    std::string host = scheduler;
    int port = ippPort();
    if (!host.empty() && host.front() != '/') {
        const auto colon = host.rfind(':');
        if (colon != std::string::npos) {
            int given = 0;
            const char* end = host.data() + host.size();
            const auto [stop, error] = std::from_chars(host.data() + colon + 1, end, given);
            if (error == std::errc{} && stop == end && given > 0 && given < 65536) {
                port = given;
                host.resize(colon);
            }
        }
    }
    Connection http(httpConnect2(host.c_str(), port, nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                 CupsSpooler::kConnectMs, nullptr));
    if (http) httpSetTimeout(http.get(), CupsSpooler::kRequestSeconds, GiveUp, nullptr);
    return http;
}

std::string PrinterUri(const std::string& name) {
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0,
                     "/printers/%s", name.c_str());
    return uri;
}

Message Request(ipp_op_t operation) {
    Message request(ippNewRequest(operation));
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    return request;
}

Message QueueRequest(ipp_op_t operation, const std::string& name) {
    Message request = Request(operation);
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 PrinterUri(name).c_str());
    return request;
}

void AskFor(ipp_t* request, std::initializer_list<const char*> attributes) {
    const std::vector<const char*> names(attributes);
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(names.size()), nullptr, names.data());
}

struct Reply {
    ipp_status_t status = IPP_STATUS_ERROR_INTERNAL;
    Message message;
};

// Sends `request` (consumed) and waits, within the connection's bounds.
Reply Exchange(const std::string& scheduler, Message request, const char* resource) {
    Connection http = Connect(scheduler);
    if (!http) return {};
    Reply reply;
    reply.message.reset(cupsDoRequest(http.get(), request.release(), resource));
    reply.status = reply.message ? ippGetStatusCode(reply.message.get()) : cupsLastError();
    return reply;
}

bool Succeeded(const Reply& reply) {
    return reply.status <= IPP_STATUS_OK_EVENTS_COMPLETE;
}

bool Administer(const std::string& scheduler, Message request) {
    return Succeeded(Exchange(scheduler, std::move(request), "/admin/"));
}

std::string Text(ipp_attribute_t* attribute) {
    const char* value = ippGetString(attribute, 0, nullptr);
    return value != nullptr ? value : "";
}

}  // namespace

std::string CupsSpooler::Scheduler() {
    if (!scheduler_.empty()) return scheduler_;
    cupsSetServer(nullptr);  // forget a cached server: follow the environment as it is now
    std::string server = cupsServer();
    if (!server.empty() && server.front() != '/' && server.find(':') == std::string::npos) {
        server += ":" + std::to_string(ippPort());
    }
    return server;
}

std::unique_ptr<Spooler> CupsSpooler::Reach(const std::string& scheduler) {
    if (scheduler.empty()) return nullptr;
    return std::make_unique<CupsSpooler>(scheduler);
}

// A CUPS queue names the device node itself ("serial:/dev/ttyS0?baud=9600").
std::string CupsSpooler::PortMatchText(const std::string& portName) {
    return DevicePathForPort(portName);
}

bool CupsSpooler::PrintsTo(const std::string& portText, const std::string& match) {
    return UriNamesDevice(portText, match);
}

std::string CupsSpooler::DiscardPort() {
    return "file:/dev/null";
}

std::optional<std::vector<SpoolerQueue>> CupsSpooler::LocalQueues() {
    Message request = Request(IPP_OP_CUPS_GET_PRINTERS);
    AskFor(request.get(), {"printer-name", "device-uri", "printer-type"});
    const Reply reply = Exchange(Scheduler(), std::move(request), "/");
    if (!Succeeded(reply) && reply.status != IPP_STATUS_ERROR_NOT_FOUND) return std::nullopt;

    std::vector<SpoolerQueue> queues;
    if (!reply.message) return queues;
    // One printer group per queue; a separator (no name) ends each group.
    SpoolerQueue queue;
    int type = 0;
    bool inGroup = false;
    const auto finish = [&] {
        if (inGroup && !queue.name.empty() && (type & kNotLocalQueue) == 0) {
            queues.push_back(queue);
        }
        queue = {};
        type = 0;
        inGroup = false;
    };
    for (ipp_attribute_t* attribute = ippFirstAttribute(reply.message.get()); attribute != nullptr;
         attribute = ippNextAttribute(reply.message.get())) {
        const char* name = ippGetName(attribute);
        if (ippGetGroupTag(attribute) != IPP_TAG_PRINTER || name == nullptr) {
            finish();
            continue;
        }
        inGroup = true;
        const std::string_view key(name);
        if (key == "printer-name") queue.name = Text(attribute);
        if (key == "device-uri") queue.portText = Text(attribute);
        if (key == "printer-type") type = ippGetInteger(attribute, 0);
    }
    finish();
    return queues;
}

QueueState CupsSpooler::ReadQueue(const std::string& name) {
    Message request = QueueRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, name);
    AskFor(request.get(), {"device-uri", "printer-state"});
    const Reply reply = Exchange(Scheduler(), std::move(request), "/");
    QueueState state;
    if (reply.status == IPP_STATUS_ERROR_NOT_FOUND) {
        state.lookup = QueueLookup::Missing;
        return state;
    }
    if (!Succeeded(reply) || !reply.message) return state;
    ipp_attribute_t* uri = ippFindAttribute(reply.message.get(), "device-uri", IPP_TAG_URI);
    ipp_attribute_t* printerState =
        ippFindAttribute(reply.message.get(), "printer-state", IPP_TAG_ENUM);
    if (uri == nullptr || printerState == nullptr) return state;
    state.lookup = QueueLookup::Found;
    state.portText = Text(uri);
    state.paused = ippGetInteger(printerState, 0) == IPP_PSTATE_STOPPED;
    return state;
}

bool CupsSpooler::SetPortText(const std::string& name, const std::string& portText) {
    Message request = QueueRequest(IPP_OP_CUPS_ADD_MODIFY_PRINTER, name);
    ippAddString(request.get(), IPP_TAG_PRINTER, IPP_TAG_URI, "device-uri", nullptr,
                 portText.c_str());
    return Administer(Scheduler(), std::move(request));
}

std::optional<std::string> CupsSpooler::PortTextAtLine(const std::string& portText,
                                                       const LineSettings& line) {
    return SerialUriAtLine(portText, line);
}

bool CupsSpooler::Pause(const std::string& name) {
    return Administer(Scheduler(), QueueRequest(IPP_OP_PAUSE_PRINTER, name));
}

bool CupsSpooler::Resume(const std::string& name) {
    return Administer(Scheduler(), QueueRequest(IPP_OP_RESUME_PRINTER, name));
}

}  // namespace talq::platform::posix
