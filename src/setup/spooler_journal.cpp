#include "setup/spooler_journal.h"

#include <algorithm>
#include <sstream>
#include <system_error>
#include <utility>

#include "platform/state_directory.h"

namespace talq::setup {
namespace {

constexpr std::string_view kPrefix = "queues-";
constexpr std::string_view kSuffix = ".journal";

// Fields are tab-separated on one line each; these characters are escaped.
std::string Escape(const std::string& text) {
    std::string out;
    for (const unsigned char c : text) {
        if (c == '%' || c < 0x20 || c == 0x7F) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string Unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
            HexDigit(text[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '\t');) fields.push_back(Unescape(field));
    return fields;
}

void Remove(std::vector<JournalEntry>& entries, const std::string& scheduler,
            const std::string& queue) {
    std::erase_if(entries, [&](const JournalEntry& e) {
        return e.scheduler == scheduler && e.queue == queue;
    });
}

// Replays the file's lines; a line cut short by a crash (no newline) never
// took effect, since its queue is changed only after the line is written.
std::vector<JournalEntry> Replay(const std::string& text) {
    std::vector<JournalEntry> entries;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::vector<std::string> f = Fields(text.substr(start, end - start));
        if (f.size() == 5 && f[0] == "switch") {
            Remove(entries, f[1], f[2]);
            entries.push_back({f[1], f[2], f[3], f[4] == "1"});
        } else if (f.size() == 3 && f[0] == "done") {
            Remove(entries, f[1], f[2]);
        }
    }
    return entries;
}

}  // namespace

std::filesystem::path JournalDirectory() { return platform::StateDirectory(); }

SpoolerJournal::SpoolerJournal(std::filesystem::path directory)
    : directory_(std::move(directory)) {}

SpoolerJournal::SpoolerJournal(platform::LockedFile file, std::vector<JournalEntry> entries)
    : directory_(file.Path().parent_path()), file_(std::move(file)), entries_(std::move(entries)) {}

SpoolerJournal::SpoolerJournal(SpoolerJournal&& other) noexcept
    : directory_(std::move(other.directory_)),
      file_(std::exchange(other.file_, std::nullopt)),
      entries_(std::move(other.entries_)) {}

SpoolerJournal::~SpoolerJournal() {
    Close();
}

void SpoolerJournal::Close() {
    file_.reset();  // releases the lock; a file with entries stays for recovery
}

std::optional<SpoolerJournal> SpoolerJournal::TakeOver(const std::filesystem::path& file) {
    std::optional<platform::LockedFile> held = platform::LockedFile::HoldExisting(file);
    if (!held) return std::nullopt;
    std::vector<JournalEntry> entries = Replay(held->ReadAll());
    SpoolerJournal journal(std::move(*held), std::move(entries));
    if (journal.entries_.empty()) {
        journal.file_->Remove();
        journal.Close();
    }
    return journal;
}

std::vector<std::filesystem::path> SpoolerJournal::FilesIn(const std::filesystem::path& directory) {
    std::vector<std::filesystem::path> files;
    // Names are compared as the system holds them: any file in the folder (one whose name is
    // no UTF-16, say) must not end the recovery, and a listing that fails part-way stops there.
    const std::filesystem::path::string_type prefix = std::filesystem::path(kPrefix).native();
    const std::filesystem::path::string_type suffix = std::filesystem::path(kSuffix).native();
    std::error_code error;
    for (std::filesystem::directory_iterator item(directory, error), end; !error && item != end;
         item.increment(error)) {
        const std::filesystem::path name = item->path().filename();
        if (name.native().starts_with(prefix) && name.native().ends_with(suffix)) {
            files.push_back(item->path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool SpoolerJournal::Create() {
    const std::filesystem::path directory = directory_.empty() ? JournalDirectory() : directory_;
    if (directory.empty()) return false;
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    file_ = platform::LockedFile::CreateUnique(directory, kPrefix, kSuffix);
    return file_.has_value();
}

bool SpoolerJournal::Append(const std::string& line) {
    if (!file_ && !Create()) return false;
    return file_->AppendDurably(line);
}

bool SpoolerJournal::Add(const JournalEntry& entry) {
    std::lock_guard lock(mutex_);
    const std::string line = "switch\t" + Escape(entry.scheduler) + "\t" + Escape(entry.queue) +
                             "\t" + Escape(entry.previousPort) + "\t" +
                             (entry.pausedByUs ? "1" : "0") + "\n";
    if (!Append(line)) return false;
    Remove(entries_, entry.scheduler, entry.queue);
    entries_.push_back(entry);
    return true;
}

void SpoolerJournal::Drop(const std::string& scheduler, const std::string& queue) {
    std::lock_guard lock(mutex_);
    const auto before = entries_.size();
    Remove(entries_, scheduler, queue);
    if (entries_.size() == before) return;
    if (entries_.empty()) {
        if (file_) file_->Remove();  // nothing left to give back
        Close();
        return;
    }
    Append("done\t" + Escape(scheduler) + "\t" + Escape(queue) + "\n");
}

std::optional<JournalEntry> SpoolerJournal::Find(const std::string& scheduler,
                                                 const std::string& queue) const {
    std::lock_guard lock(mutex_);
    const auto it = std::find_if(entries_.begin(), entries_.end(), [&](const JournalEntry& e) {
        return e.scheduler == scheduler && e.queue == queue;
    });
    if (it == entries_.end()) return std::nullopt;
    return *it;
}

std::vector<JournalEntry> SpoolerJournal::Entries() const {
    std::lock_guard lock(mutex_);
    return entries_;
}

SpoolerJournal& ProcessJournal() {
    static SpoolerJournal journal{std::filesystem::path()};
    return journal;
}

}  // namespace talq::setup
