// The status file: any bytes as a file's contents. A load that fails (the
// path names a folder, nothing, or a FIFO; or the bytes are no status file)
// leaves the record untouched; a load succeeds exactly when the bytes pass
// the one check the dialogs and talq share, gives their image, and saving that
// record writes exactly that image back. Files live in one folder under
// /dev/shm (or the temporary folder), made once per process.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "fuzz_check.h"
#include "status/status_file.h"

namespace {

using talq::status::PrinterStatus;

const std::string& Folder() {
    static const std::string folder = [] {
        std::string pattern = access("/dev/shm", W_OK) == 0 ? "/dev/shm/talq-fuzz-XXXXXX"
                                                            : "/tmp/talq-fuzz-XXXXXX";
        FUZZ_CHECK(mkdtemp(pattern.data()) != nullptr, "no folder for the status files");
        const std::string made = pattern;
        FUZZ_CHECK(mkdir((made + "/folder.sts").c_str(), 0700) == 0, "folder");
        FUZZ_CHECK(mkfifo((made + "/fifo.sts").c_str(), 0600) == 0, "fifo");
        return made;
    }();
    return folder;
}

void WriteWhole(const std::string& path, const std::uint8_t* data, std::size_t size) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    FUZZ_CHECK(fd >= 0, "cannot write the input file");
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = write(fd, data + done, size - done);
        FUZZ_CHECK(n > 0, "cannot write the input file");
        done += static_cast<std::size_t>(n);
    }
    close(fd);
}

std::string ReadWhole(const std::string& path) {
    std::string bytes(512, '\0');
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    FUZZ_CHECK(fd >= 0, "saved file missing");
    const ssize_t n = read(fd, bytes.data(), bytes.size());
    close(fd);
    FUZZ_CHECK(n >= 0, "saved file unreadable");
    bytes.resize(static_cast<std::size_t>(n));
    return bytes;
}

PrinterStatus Marked() {
    PrinterStatus status;
    for (int i = 0; i < talq::status::kStatusIntegerCount; ++i) talq::status::IntegerAt(status, i) = 0x5A5A0000 + i;
    return status;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& folder = Folder();
    const std::string input = folder + "/input.sts";
    WriteWhole(input, data, size);

    // The last byte picks what the loaded path names, mostly the file itself.
    static const char* const kOther[] = {"/folder.sts", "/missing.sts", "/fifo.sts"};
    const int pick = size == 0 ? 0 : data[size - 1] % 8;
    const std::string path = pick < 5 ? input : folder + kOther[pick - 5];

    PrinterStatus record = Marked();
    std::string reason;
    using talq::status::LoadOutcome;
    const LoadOutcome outcome = talq::status::LoadStatusFile(path, record, &reason);
    const auto problem = talq::status::StatusImageProblem({data, size});
    if (outcome != LoadOutcome::Loaded) {
        FUZZ_CHECK(pick >= 5 || outcome == LoadOutcome::WrongFormat,
                   "a regular file could not be read");
        FUZZ_CHECK(pick >= 5 || (problem && reason == *problem),
                   "refused other than by the shared check");
        FUZZ_CHECK(record == Marked(), "a failed load changed the record");
        FUZZ_CHECK(!reason.empty(), "a failed load gave no reason");
        return 0;
    }
    FUZZ_CHECK(pick < 5, "something other than a file loaded");
    FUZZ_CHECK(!problem && size == talq::status::kStatusFileSize, "a broken file loaded");

    talq::status::StatusFileImage expected{};
    std::copy_n(data, expected.size(), expected.begin());
    FUZZ_CHECK(record == talq::status::DecodeStatusImage(expected.data(), expected.size()),
               "load and decode disagree");
    for (int i = 0; i < talq::status::kStatusIntegerCount; ++i) {
        const std::int32_t value = talq::status::IntegerAt(record, i);
        FUZZ_CHECK(i % 9 == 0 || value == 0 || value == 1, "a pin other than 0 or 1 loaded");
    }
    FUZZ_CHECK(talq::status::EncodeStatusImage(record) == expected, "the image does not round-trip");

    const std::string saved = folder + "/saved.sts";
    FUZZ_CHECK(talq::status::SaveStatusFile(saved, record, &reason), "save failed");
    const std::string bytes = ReadWhole(saved);
    FUZZ_CHECK(bytes.size() == expected.size() &&
                   std::memcmp(bytes.data(), expected.data(), expected.size()) == 0,
               "the saved file is not the image");
    return 0;
}
