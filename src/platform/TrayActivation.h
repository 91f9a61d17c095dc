#pragma once
// What a tray host reports, turned into the mouse message it stands for.
// Hosts differ: an XEmbed tray reports a press as a single activation and a
// second press as a double-click; a StatusNotifierItem host may report only
// single activations. Two single activations within the double-click
// interval count as one double-click, and a double-click reported right
// after such a pair is the same gesture, not a second one.
#include <cstdint>
#include <optional>

namespace vk {

enum class TrayActivation : std::uint8_t { Single, Double, Context, Other };

class TrayActivationDecoder {
  public:
    // The mouse message (MouseMessage::...) for an activation at `nowMs`; 0 for none.
    std::uint32_t decode(TrayActivation activation, std::int64_t nowMs, int doubleClickMs);

  private:
    std::optional<std::int64_t> single_;  // an unpaired single activation
    std::optional<std::int64_t> paired_;  // when two singles made a double-click
};

}  // namespace vk
