// A pseudo-terminal for real-time tests of the serial backend: the test plays
// the printer on the master side, the code under test opens the slave path.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace talq::test {

class PtyPair {
public:
    // Creates the pair with the slave in raw mode; Valid() tells whether it worked.
    PtyPair();
    ~PtyPair();

    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool Valid() const { return master_ >= 0 && keepAlive_ >= 0; }
    int MasterFd() const { return master_; }
    const std::string& SlavePath() const { return slavePath_; }

    // Puts bytes on the line towards the slave's reader; false unless all went.
    bool Write(const std::vector<std::uint8_t>& bytes);
    // What the slave side wrote: waits at most timeoutMs in all, returns as
    // soon as `count` bytes are in (fewer when the time ran out).
    std::vector<std::uint8_t> Read(std::size_t count, int timeoutMs);
    // Closes the master: the slave's users see a hang-up.
    void CloseMaster();

private:
    int master_ = -1;
    int keepAlive_ = -1;  // keeps the slave configured while no one else holds it
    std::string slavePath_;
};

}  // namespace talq::test
