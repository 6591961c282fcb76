// The entries of a port list, in the order they were added; the connection
// dialog shows them in its combo box.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace talq::link {

class PortList {
  public:
    void Add(std::string entry) { entries_.push_back(std::move(entry)); }
    void Clear() { entries_.clear(); }
    const std::vector<std::string>& entries() const { return entries_; }
    bool empty() const { return entries_.empty(); }

  private:
    std::vector<std::string> entries_;
};

}  // namespace talq::link
