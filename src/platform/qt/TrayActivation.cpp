#include "platform/qt/TrayActivation.h"

#include "platform/TrayShell.h"

namespace vk::qt {

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
                return WM_LBUTTONDBLCLK;
            }
            single_ = nowMs;
            return WM_LBUTTONUP;
        case TrayActivation::Double: {
            const bool alreadyPaired = within(paired_);
            single_.reset();
            paired_.reset();
            return alreadyPaired ? 0 : WM_LBUTTONDBLCLK;
        }
        case TrayActivation::Context:
            single_.reset();
            paired_.reset();
            return WM_RBUTTONUP;
        case TrayActivation::Other:
            break;
    }
    return 0;
}

}  // namespace vk::qt
