#include "platform/TrayActivation.h"

#include "platform/NotifyIcon.h"

namespace vk {

std::uint32_t TrayActivationDecoder::decode(TrayActivation activation, std::int64_t nowMs,
                                            int doubleClickMs) {
    const auto within = [&](const std::optional<std::int64_t>& at) {
        return at && nowMs - *at <= doubleClickMs;
    };
    switch (activation) {
        case TrayActivation::Single:
            if (within(single_)) {
                single_.reset();
                paired_ = nowMs;
                return MouseMessage::LeftDoubleClick;
            }
            single_ = nowMs;
            return MouseMessage::LeftUp;
        case TrayActivation::Double: {
            const bool alreadyPaired = within(paired_);
            single_.reset();
            paired_.reset();
            return alreadyPaired ? 0 : MouseMessage::LeftDoubleClick;
        }
        case TrayActivation::Context:
            single_.reset();
            paired_.reset();
            return MouseMessage::RightUp;
        case TrayActivation::Other:
            break;
    }
    return 0;
}

}  // namespace vk
