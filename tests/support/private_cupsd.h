// A CUPS scheduler of the test's own: its whole configuration, spool, state
// and logs in a temporary folder, listening only on a unix socket there, with
// CUPS_SERVER and CUPS_STATEDIR pointing at it while it lives. Stub `serial`
// and `parallel` backends append each job to the device their URI names.
// The scheduler is stopped (SIGTERM, then SIGKILL) when the object goes, and
// dies with the test process if that ends first.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>

namespace talq::test {

class PrivateCupsd {
  public:
    PrivateCupsd();
    ~PrivateCupsd();
    PrivateCupsd(const PrivateCupsd&) = delete;
    PrivateCupsd& operator=(const PrivateCupsd&) = delete;

    // Started and answering.
    bool Running() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }
    const std::filesystem::path& Folder() const { return folder_; }
    std::string Socket() const { return (folder_ / "cups.sock").string(); }

    // Runs a CUPS client command line (lpadmin, lpstat, lp, ...) against this
    // scheduler, at most 20 s; returns what it printed, errors included.
    std::string Client(const std::string& commandLine) const;

    bool AddQueue(const std::string& name, const std::string& deviceUri) const;
    bool DeleteQueue(const std::string& name) const;
    void DeleteAllQueues() const;
    // As the scheduler reports them.
    std::string DeviceUri(const std::string& name) const;
    bool Paused(const std::string& name) const;
    bool Exists(const std::string& name) const;
    // Sends `text` as a raw job; true when the scheduler took it.
    bool Submit(const std::string& name, const std::string& text) const;
    // Jobs of the queue not yet completed.
    int PendingJobs(const std::string& name) const;

  private:
    bool WriteConfiguration();
    bool WaitUntilAnswering();
    void Stop();

    std::filesystem::path folder_;
    pid_t pid_ = -1;
};

}  // namespace talq::test
