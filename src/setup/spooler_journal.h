// A record on disk of the print queues this process has switched, so that
// queues a crash or a killed process left switched can be given back at the
// next start. One file per running program, held under a lock for the
// program's life; an entry is written before its queue is changed and dropped
// once the queue is restored or gone. The file exists only while it holds
// entries. Ports checked at once share the one journal: its operations are
// serialised.
#pragma once

#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/locked_file.h"

namespace talq::setup {

struct JournalEntry {
    std::string scheduler;
    std::string queue;
    std::string previousPort;
    bool pausedByUs = false;  // resume it only if it was not paused before
};

// The platform's state directory (platform/state_directory.h).
std::filesystem::path JournalDirectory();

class SpoolerJournal {
  public:
    // A journal of this process in `directory` (empty: JournalDirectory() as it
    // is when the file is made); the file is made at the first Add.
    explicit SpoolerJournal(std::filesystem::path directory);
    // Takes over a journal file that no live process holds; nullopt when one
    // does or the file is gone.
    static std::optional<SpoolerJournal> TakeOver(const std::filesystem::path& file);
    ~SpoolerJournal();

    SpoolerJournal(SpoolerJournal&& other) noexcept;
    SpoolerJournal& operator=(SpoolerJournal&&) = delete;
    SpoolerJournal(const SpoolerJournal&) = delete;

    // Written through to the disk before it returns; false when it could not be.
    bool Add(const JournalEntry& entry);
    void Drop(const std::string& scheduler, const std::string& queue);
    std::optional<JournalEntry> Find(const std::string& scheduler, const std::string& queue) const;
    std::vector<JournalEntry> Entries() const;
    // Journal files in `directory`, held or not.
    static std::vector<std::filesystem::path> FilesIn(const std::filesystem::path& directory);

  private:
    SpoolerJournal(platform::LockedFile file, std::vector<JournalEntry> entries);
    bool Create();
    bool Append(const std::string& line);
    void Close();

    std::filesystem::path directory_;
    std::optional<platform::LockedFile> file_;  // held from the first entry on
    std::vector<JournalEntry> entries_;
    mutable std::mutex mutex_;  // over the file and the entries
};

// The journal of this running program, in JournalDirectory().
SpoolerJournal& ProcessJournal();

}  // namespace talq::setup
