// Recording message backend.
#include "support/message_recorder.h"

namespace quillet::testing {

platform::MessageAnswer MessageRecorder::Show(const platform::MessageRequest& request) {
    messages_.push_back(request);
    if (whileShown) whileShown(request);
    if (request.buttons != platform::MessageButtons::YesNo) return platform::MessageAnswer::Ok;
    if (answers_.empty()) return platform::MessageAnswer::No;
    const platform::MessageAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

std::vector<std::string> MessageRecorder::Ids() const {
    std::vector<std::string> ids;
    for (const auto& m : messages_) ids.push_back(m.objectName);
    return ids;
}

}  // namespace quillet::testing
