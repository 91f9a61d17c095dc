// The toolkit contract on the simulated platform: its clock is virtual, so
// the loop's time passes only as the harness advances it.
#include <memory>
#include <optional>

#include "ToolkitContract.h"
#include "platform/sim/SimPlatform.h"

namespace vk::contract {
namespace {

class SimHarness : public ToolkitHarness {
  public:
    SimHarness() {
        sim.boxes.whileOpen = [this](const sim::SimBoxes::Box&) {
            if (!nextBox_) return;
            const PendingBox box = std::move(*nextBox_);
            nextBox_.reset();
            sim.advance(box.afterMs);
            if (box.meanwhile) box.meanwhile();
        };
    }

    Dispatcher& dispatcher() override { return sim.dispatcher; }
    Toolkit& toolkit() override { return sim.toolkit; }
    MessageBoxes& boxes() override { return sim.boxes; }
    TrayShell& tray() override { return sim.tray; }
    double twipsPerPixel() override { return sim.toolkit.twipsPerPixel; }

    Pixels pixels(const Form& form, const std::string& control) override {
        const sim::SimPeer& p = peer(form, control);
        return {p.pixels.left, p.pixels.top, p.pixels.width, p.pixels.height};
    }
    Pixels insideArea(const Form& form, const std::string& control) override {
        const sim::SimPeer::Pixels p = peer(form, control).insideArea();
        return {p.left, p.top, p.width, p.height};
    }
    Pixels pixelsFromContainerCorner(const Form& form, const std::string& control) override {
        const sim::SimPeer::Pixels inside = peer(form, form[control].def().parent).insideArea();
        const Pixels p = pixels(form, control);
        return {inside.left + p.left, inside.top + p.top, p.width, p.height};
    }
    Pixels outerFrame(const Form& form) override {
        // The sim's windows have no frame: the window is its client area.
        return pixels(form, form.name());
    }
    std::string shownText(const Form& form, const std::string& control) override {
        return peer(form, control).text();
    }
    bool shown(const Form& form, const std::string& control) override {
        return peer(form, control).shown;
    }
    bool enabledOnScreen(const Form& form, const std::string& control) override {
        return peer(form, control).enabledOnScreen();
    }
    bool checkedOnScreen(const Form& form, const std::string& menu) override {
        return peer(form, menu).checkedOnScreen();
    }
    bool windowGone(const Form& form) override {
        for (const auto& control : form.controls()) {
            if (sim.toolkit.peer(*control)) return false;
        }
        return true;
    }
    std::optional<ShownTrayEntry> trayEntry(std::uint32_t hWnd, std::uint32_t id) override {
        const auto it = sim.tray.entries.find({hWnd, id});
        if (it == sim.tray.entries.end() || !sim.tray.hostPresent) return std::nullopt;
        const NotifyIconData& fields = it->second;
        return ShownTrayEntry{shownTip(fields), (fields.uFlags & NotifyFlag::Icon) != 0 &&
                                                    sim.toolkit.isIcon(fields.hIcon)};
    }

    void showActive(Form& form) override { form.window().peer()->setVisible(true); }
    void clickButton(Form& form, const std::string& control) override { sim.click(form, control); }
    void chooseMenuEntry(Form& form, const std::string& menu) override {
        sim.toolkit.chooseMenuEntry(form, menu, sim.dispatcher);
        settle();
    }
    void choosePopupEntry(Form& form, const std::string& popup, const std::string& entry) override {
        sim.toolkit.popupMenu(form, popup);
        chooseMenuEntry(form, entry);
    }
    void doubleClick(Form& form, const std::string& control, int, int) override {
        // The sim has no pointer: the control named is the one under it.
        sim.post(form, control, EventType::DblClick);
    }
    void pressCloseBox(Form& form) override {
        sim.toolkit.closeByUser(form, sim.dispatcher);
        settle();
    }
    void restoreByUser(Form& form) override {
        sim.toolkit.restoreByUser(form, sim.dispatcher);
        settle();
    }
    void activateTrayEntry(std::uint32_t hWnd, std::uint32_t id, TrayActivation how) override {
        sim.tray.activate(hWnd, id, shellMouseMessage(how), sim.dispatcher);
        settle();
    }
    void pressDialogKey(Form& form, bool enter) override {
        sim.toolkit.pressDialogKey(form, enter, sim.dispatcher);
        settle();
    }
    void pressShortcut(Form& form, const std::string& keys) override {
        sim.toolkit.pressShortcut(form, keys, sim.dispatcher);
        settle();
    }
    void answerNextBox(int afterMs, std::function<void()> meanwhile) override {
        nextBox_ = PendingBox{afterMs, std::move(meanwhile)};
    }

    bool boxOpen() override { return sim.boxes.open(); }

    bool runUntil(const std::function<bool()>& done, int timeoutMs) override {
        for (int ms = 0; ms < timeoutMs; ++ms) {
            if (done()) return true;
            sim.advance(1);
        }
        return done();
    }
    std::int64_t nowMs() override { return sim.now(); }
    void postLater(Form& form, const std::string& control, EventType type) override {
        sim.dispatcher.post(form, control, type);
    }

  private:
    void settle() {
        if (!sim.dispatcher.busy()) sim.settle();
    }
    const sim::SimPeer& peer(const Form& form, const std::string& control) {
        const sim::SimPeer* p = sim.toolkit.peer(form[control]);
        if (!p) throw std::logic_error("no peer for " + control);
        return *p;
    }
    struct PendingBox {
        int afterMs = 0;
        std::function<void()> meanwhile;
    };

    sim::SimPlatform sim;
    std::optional<PendingBox> nextBox_;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Sim, ToolkitContract, SimHarness);

}  // namespace
}  // namespace vk::contract
