// Records what an exchange tells the user and does to the progress bar.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "status/exchange_sink.h"

namespace talq::test {

class RecordingSink : public status::ExchangeSink {
public:
    struct Message {
        std::string text;
        status::MessageIcon icon;
        bool operator==(const Message&) const = default;
    };

    void ShowMessage(const std::string& text, status::MessageIcon icon) override {
        messages.push_back({text, icon});
    }
    void SetProgress(int position) override {
        progress.push_back("set " + std::to_string(position));
    }
    void StepProgress() override {
        ++steps;
        progress.push_back("step");
    }

    // Steps taken between the first "set 0" and "set 100".
    int StepsOfRun() const {
        int count = 0;
        bool counting = false;
        for (const auto& p : progress) {
            if (p == "set 0") {
                counting = true;
                count = 0;
            } else if (p == "set 100") {
                return count;
            } else if (counting && p == "step") {
                ++count;
            }
        }
        return count;
    }

    std::vector<Message> messages;
    std::vector<std::string> progress;
    int steps = 0;
};

}  // namespace talq::test
