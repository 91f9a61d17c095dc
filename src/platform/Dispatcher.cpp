#include "platform/Dispatcher.h"

#include <algorithm>
#include <exception>

namespace vk {

// A timer control's peer is the dispatcher itself: setting Enabled arms or
// disarms the schedule.
class Dispatcher::TimerPeer : public ControlPeer {
  public:
    TimerPeer(Dispatcher& owner, TimerState& state) : owner_(owner), state_(state) {}
    void setEnabled(bool on) override { owner_.arm(state_, on); }

  private:
    Dispatcher& owner_;
    TimerState& state_;
};

Dispatcher::Dispatcher(Clock& clock) : clock_(clock) {}

// Forms still attached outlive the dispatcher: they only forget it. Their
// controls are not touched here.
Dispatcher::~Dispatcher() {
    retired_.clear();
    for (Form* form : attached_) form->dispatcher_ = nullptr;
}

int Dispatcher::periodOf(const Control& timer) {
    return std::max(timer.intervalMs(), kShortestPeriodMs);
}

void Dispatcher::attach(Form& form) {
    if (form.dispatcher_ == this) return;
    if (form.dispatcher_) form.dispatcher_->detach(form);
    form.dispatcher_ = this;
    attached_.insert(&form);
    for (const auto& control : form.controls()) {
        if (control->kind() != ControlKind::Timer) continue;
        auto state = std::make_unique<TimerState>();
        state->form = &form;
        state->timer = control.get();
        state->redrawsOnly = control->def().redrawsOnly;
        auto peer = std::make_unique<TimerPeer>(*this, *state);
        control->attachPeer(peer.get());
        peers_.push_back(std::move(peer));
        // Registered before it is armed, so that a backend told of the new
        // schedule already finds this timer in nextWakeMs().
        TimerState& registered = *state;
        timers_.emplace(control.get(), std::move(state));
        if (control->enabled()) arm(registered, true);
    }
}

void Dispatcher::detach(Form& form) {
    if (form.dispatcher_ == this) form.dispatcher_ = nullptr;
    attached_.erase(&form);
    for (auto it = timers_.begin(); it != timers_.end();) {
        if (it->second->form == &form) {
            it->second->timer->attachPeer(nullptr);
            it = timers_.erase(it);
        } else {
            ++it;
        }
    }
    std::erase_if(queue_, [&](const Queued& q) { return q.form == &form; });
    // Peers of detached timers are few and tiny; they stay until the
    // dispatcher goes, so a late pointer never dangles.
}

void Dispatcher::retire(std::unique_ptr<Form> form) {
    if (!form) return;
    detach(*form);
    if (busy()) {
        retired_.push_back(std::move(form));
    }
}

void Dispatcher::arm(TimerState& state, bool on) {
    if (ended_) return;
    state.armed = on;
    if (on) {
        state.dueMs = clock_.nowMs() + periodOf(*state.timer);
        scheduleChanged();
    } else if (state.pending) {
        // Disarming takes back a tick that is already waiting.
        state.pending = false;
        std::erase_if(queue_, [&](const Queued& q) {
            return q.control == state.timer && q.type == EventType::Timer;
        });
    }
}

void Dispatcher::post(Form& form, std::string_view control, EventType type, const EventArgs& args) {
    if (ended_) return;
    Control* target = form.find(control);
    if (!target) return;
    queue_.push_back({&form, target, type, args});
    scheduleChanged();
}

void Dispatcher::postFirst(Form& form, std::string_view control, EventType type,
                           const EventArgs& args) {
    if (ended_) return;
    Control* target = form.find(control);
    if (!target) return;
    queue_.push_front({&form, target, type, args});
    scheduleChanged();
}

void Dispatcher::advanceDue(TimerState& state, std::int64_t now) const {
    const int period = periodOf(*state.timer);
    // Keep the timer's pace; ticks missed while busy or held collapse into one.
    state.dueMs += period;
    if (state.dueMs <= now) state.dueMs = now + period;
}

void Dispatcher::collectDueTimers() {
    if (ended_) return;
    const std::int64_t now = clock_.nowMs();
    const bool showing = windowShowing();
    // Oldest due first, so ticks queue in the order they came due.
    std::vector<TimerState*> due;
    for (auto& [control, state] : timers_) {
        if (state->armed && state->dueMs <= now && !held(*state, showing)) {
            due.push_back(state.get());
        }
    }
    std::sort(due.begin(), due.end(),
              [](const TimerState* a, const TimerState* b) { return a->dueMs < b->dueMs; });
    for (TimerState* state : due) {
        advanceDue(*state, now);
        if (state->pending) continue;
        state->pending = true;
        queue_.push_back({state->form, state->timer, EventType::Timer, {}});
    }
}

void Dispatcher::pump() {
    if (busy() || ended_) return;
    collectDueTimers();
    std::size_t budget = queue_.size();
    while (budget-- > 0 && !queue_.empty() && !ended_) {
        const Queued event = queue_.front();
        queue_.pop_front();
        deliver(event);
    }
    if (!queue_.empty()) scheduleChanged();
}

void Dispatcher::deliver(const Queued& event) {
    // What a held timer would have done by now comes first, so the handler
    // sees it; it may have unloaded the event's form.
    deliverHeldTicks();
    if (!attached_.count(event.form)) return;
    if (event.type == EventType::Timer) {
        const auto it = timers_.find(event.control);
        if (it == timers_.end() || !it->second->armed) return;
        it->second->pending = false;
        ++it->second->ticks;
    }
    const Handler* handler = event.form->handler(*event.control, event.type);
    if (!handler) return;
    const Handler copy = *handler;  // the handler may re-attach handlers
    invoke([&] { copy(event.args); });
}

void Dispatcher::deliverHeldTicks() {
    // Not only while hidden: a window the user is restoring already counts as
    // shown, but its refresh has not been collected yet.
    if (busy() || ended_) return;
    const std::int64_t now = clock_.nowMs();
    std::vector<const Control*> due;
    for (const auto& [control, state] : timers_) {
        if (state->redrawsOnly && state->armed && !state->pending && state->dueMs <= now) {
            due.push_back(control);
        }
    }
    // One handler may disarm or detach another timer: each is looked up again.
    for (const Control* control : due) {
        const auto it = timers_.find(control);
        if (it == timers_.end() || !it->second->armed || ended_) continue;
        TimerState& state = *it->second;
        advanceDue(state, now);
        ++state.ticks;
        const Handler* handler = state.form->handler(*state.timer, EventType::Timer);
        if (!handler) continue;
        const Handler copy = *handler;
        invoke([&] { copy({}); });
    }
}

void Dispatcher::invoke(const std::function<void()>& handler) {
    ++depth_;
    try {
        handler();
    } catch (const std::exception&) {  // NOLINT(bugprone-empty-catch): nobody to report to
        // A handler without an error trap of its own failed. The program
        // goes on; there is nobody to report it to.
    }
    --depth_;
    // The outermost handler has returned: forms it unloaded can go now.
    if (depth_ == 0 && !retired_.empty()) {
        std::vector<std::unique_ptr<Form>> done;
        done.swap(retired_);
    }
}

std::optional<std::int64_t> Dispatcher::nextTimerDueMs() const {
    const bool showing = windowShowing();
    std::optional<std::int64_t> next;
    for (const auto& [control, state] : timers_) {
        if (!state->armed || held(*state, showing)) continue;
        if (!next || state->dueMs < *next) next = state->dueMs;
    }
    return next;
}

bool Dispatcher::windowShowing() const {
    return std::any_of(attached_.begin(), attached_.end(), [](const Form* form) {
        const Control& window = form->window();
        return window.visible() && window.windowState() != WindowState::Minimized;
    });
}

std::optional<std::int64_t> Dispatcher::nextWakeMs() const {
    if (ended_) return std::nullopt;
    if (!queue_.empty()) return clock_.nowMs();
    return nextTimerDueMs();
}

void Dispatcher::end() {
    ended_ = true;
    queue_.clear();
    for (auto& [control, state] : timers_) {
        state->armed = false;
        state->pending = false;
    }
}

std::uint64_t Dispatcher::deliveredTicks(const Control& timer) const {
    const auto it = timers_.find(&timer);
    return it == timers_.end() ? 0 : it->second->ticks;
}

void Dispatcher::scheduleChanged() {
    if (onScheduleChanged) onScheduleChanged();
}

}  // namespace vk
