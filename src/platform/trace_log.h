// A wire trace: one line per operation on a device, written as it happens, for a user to attach
// to a support ticket. Every line reads
//
//     SECONDS PORT OPERATION[  |TEXT|][  (REMARK)]
//
// SECONDS since the trace began (microseconds), PORT the port the device was opened for, and
// OPERATION in the form of the test transcripts ("write 1B 40", "read 16 -> 3: 5F 4B 00",
// "pause 100", "settings 19200 8 0 0 0"), so that a trace compares with them line for line.
// The bytes' text follows (a byte outside printable ASCII as '.'), then what the operation
// came to in words. Several ports write into one trace at once: each line goes out whole.
#pragma once

#include <chrono>
#include <fstream>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

namespace talq::platform {

class TraceLog {
  public:
    // A trace into the file at `path` (created, or emptied), its header already written;
    // nullptr with the system's reason in `failure` when the file cannot be made.
    static std::unique_ptr<TraceLog> Create(const std::string& path, const std::string& header,
                                            std::string& failure);
    // A trace that only copies go to (see AddCopy).
    explicit TraceLog(const std::string& header);

    TraceLog(const TraceLog&) = delete;
    TraceLog& operator=(const TraceLog&) = delete;

    // Every line from now on goes to `copy` too (not owned; kept until this log ends).
    void AddCopy(std::ostream& copy);
    void Line(const std::string& port, const std::string& operation);
    // A line of its own, without time and port, such as a section's heading.
    void Note(const std::string& text);

    // False once a line could not be written to the file (a full disk).
    bool Complete() const;
    const std::string& Path() const { return path_; }

  private:
    void Put(const std::string& line);

    std::string path_;
    std::ofstream file_;
    std::vector<std::ostream*> copies_;
    std::string header_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    mutable std::mutex mutex_;
    bool lost_ = false;
};

// "1B 40" and "|.@|": the two spellings of a run of bytes on a trace line.
std::string TraceHex(const std::uint8_t* data, int count);
std::string TraceText(const std::uint8_t* data, int count);

// The first lines of every trace: who wrote it, when, and how to read it.
std::string TraceHeader(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace talq::platform
