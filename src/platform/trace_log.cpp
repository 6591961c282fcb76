#include "platform/trace_log.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <system_error>

#include "platform/utf8_names.h"

namespace talq::platform {

std::unique_ptr<TraceLog> TraceLog::Create(const std::string& path, const std::string& header,
                                           std::string& failure) {
    auto log = std::make_unique<TraceLog>(header);
    errno = 0;
    log->file_.open(PathFromUtf8(path), std::ios::binary | std::ios::trunc);
    if (!log->file_) {
        const int error = errno;
        failure = error != 0 ? std::generic_category().message(error) : "it cannot be created";
        return nullptr;
    }
    log->path_ = path;
    log->Put(header);
    return log;
}

TraceLog::TraceLog(const std::string& header) : header_(header) {}

void TraceLog::AddCopy(std::ostream& copy) {
    std::lock_guard lock(mutex_);
    copy << header_;
    copies_.push_back(&copy);
}

void TraceLog::Line(const std::string& port, const std::string& operation) {
    const auto since = std::chrono::steady_clock::now() - start_;
    const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(since).count();
    char time[32];
    std::snprintf(time, sizeof time, "%lld.%06lld ", static_cast<long long>(micros / 1000000),
                  static_cast<long long>(micros % 1000000));
    Put(time + port + " " + operation + "\n");
}

void TraceLog::Note(const std::string& text) {
    Put("# " + text + "\n");
}

void TraceLog::Put(const std::string& line) {
    std::lock_guard lock(mutex_);
    // Flushed line by line: a run that hangs or is killed still leaves what led up to it.
    if (file_.is_open() && !lost_) {
        file_ << line << std::flush;
        lost_ = !file_;
    }
    for (std::ostream* copy : copies_) *copy << line;
}

bool TraceLog::Complete() const {
    std::lock_guard lock(mutex_);
    return !lost_;
}

std::string TraceHex(const std::uint8_t* data, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, i == 0 ? "%02X" : " %02X", data[i]);
        text += hex;
    }
    return text;
}

std::string TraceText(const std::uint8_t* data, int count) {
    std::string text = "|";
    for (int i = 0; i < count; ++i) {
        text += data[i] >= 0x20 && data[i] < 0x7F ? static_cast<char>(data[i]) : '.';
    }
    return text + "|";
}

std::string TraceHeader(const std::string& program, const std::vector<std::string>& arguments) {
    const std::time_t now = std::time(nullptr);
    char started[64] = "";
    if (const std::tm* utc = std::gmtime(&now)) {
        std::strftime(started, sizeof started, "%Y-%m-%d %H:%M:%S UTC", utc);
    }
    std::string command = program;
    for (const std::string& argument : arguments) command += " " + argument;
    return "# trace of: " + command + "\n# started " + started +
           "\n# each line: seconds since the start, the port, what was done on its device;\n"
           "# bytes in hex, then |as text| ('.' for a byte that is no printable character)\n";
}

}  // namespace talq::platform
