// A message backend for tests: records every message and notice and answers Yes/No
// questions from a queue (No when the queue is empty).
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/messages.h"

namespace quillet::testing {

class MessageRecorder final : public platform::MessageBackend {
public:
    MessageRecorder() : scope_(this) {}

    bool Available() override { return true; }
    platform::MessageAnswer Show(const platform::MessageRequest& request) override;

    // Queues the answer to the next Yes/No question.
    void AnswerNext(platform::MessageAnswer answer) { answers_.push_back(answer); }

    const std::vector<platform::MessageRequest>& Messages() const { return messages_; }
    // The objectNames ("202", "builtin") in order.
    std::vector<std::string> Ids() const;
    void Clear() { messages_.clear(); }
    // Runs while each message is shown, as a user's wait would.
    std::function<void(const platform::MessageRequest&)> whileShown;

private:
    std::vector<platform::MessageRequest> messages_;
    std::deque<platform::MessageAnswer> answers_;
    platform::ScopedMessageBackend scope_;
};

}  // namespace quillet::testing
