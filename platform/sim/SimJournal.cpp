#include "platform/sim/SimJournal.h"

#include <algorithm>

#include "platform/common/PlaybackPump.h"

SimJournal& SimJournal::Instance() {
    static SimJournal journal;
    return journal;
}

void SimJournal::Reset() {
    *this = SimJournal();
}

void SimJournal::FailInstalls(JournalHookType type, bool fail) {
    (type == JournalHookType::Record ? failRecord_ : failPlayback_) = fail;
}

const SimJournal::Hook* SimJournal::Find(JournalHookType type) const {
    // The newest hook of a type is called first, as in the system's hook chain.
    for (auto it = hooks_.rbegin(); it != hooks_.rend(); ++it) {
        if (it->type == type) return &*it;
    }
    return nullptr;
}

bool SimJournal::IsInstalled(JournalHookType type) const {
    return Find(type) != nullptr;
}

JournalHookHandle SimJournal::InstalledHandle(JournalHookType type) const {
    const Hook* hook = Find(type);
    return hook == nullptr ? 0 : hook->handle;
}

JournalHookHandle SimJournal::Install(JournalHookType type, JournalHookProc procedure) {
    bool refuse = type == JournalHookType::Record ? failRecord_ : failPlayback_;
    if (refuse) return 0;
    ++installCount_;
    hooks_.push_back(Hook{nextHandle_, type, procedure});
    if (type == JournalHookType::Playback && pump_ != nullptr) pump_->Start(procedure);
    return nextHandle_++;
}

void SimJournal::Remove(JournalHookHandle handle) {
    auto it = std::find_if(hooks_.begin(), hooks_.end(),
                           [handle](const Hook& hook) { return hook.handle == handle; });
    if (it == hooks_.end()) {
        ++staleRemoveCount_;  // already removed, as after a journal cancel
        return;
    }
    if (it->type == JournalHookType::Playback && pump_ != nullptr) pump_->Stop();
    hooks_.erase(it);
}

int32_t SimJournal::CallNext(JournalHookHandle, int32_t, uintptr_t, intptr_t) {
    ++callNextCount_;
    return 0;  // no further hook in the chain
}

bool SimJournal::SendRecordEvent(uint32_t message, uint32_t paramL, uint32_t paramH,
                                 uint32_t hwnd) {
    const Hook* hook = Find(JournalHookType::Record);
    if (hook == nullptr) return false;
    EVENTMSG event{message, paramL, paramH, tick_, hwnd};
    hook->procedure(kHookAction, 0, reinterpret_cast<intptr_t>(&event));
    return true;
}

int32_t SimJournal::SendRecordCode(int32_t code) {
    const Hook* hook = Find(JournalHookType::Record);
    return hook == nullptr ? 0 : hook->procedure(code, 0, 0);
}

int32_t SimJournal::SendPlaybackCode(int32_t code, EVENTMSG* event) {
    const Hook* hook = Find(JournalHookType::Playback);
    return hook == nullptr ? 0 : hook->procedure(code, 0, reinterpret_cast<intptr_t>(event));
}

int32_t SimJournal::WaitUntilDue(const Hook& hook, EVENTMSG& event, bool askPartWay) {
    JournalHookProc procedure = hook.procedure;
    int32_t delay = procedure(kHookGetNext, 0, reinterpret_cast<intptr_t>(&event));
    delays_.push_back(delay);
    while (delay > 0) {
        int32_t wait = askPartWay && delay > 1 ? delay / 2 : delay;
        tick_ += static_cast<uint32_t>(wait);
        delay = procedure(kHookGetNext, 0, reinterpret_cast<intptr_t>(&event));
        delays_.push_back(delay);
    }
    return delay;
}

std::size_t SimJournal::RunPlayback(const PlaybackOptions& options) {
    std::size_t delivered = 0;
    while (delivered < options.maxDeliveries) {
        const Hook* hook = Find(JournalHookType::Playback);
        if (hook == nullptr) break;
        JournalHookHandle handle = hook->handle;
        JournalHookProc procedure = hook->procedure;
        EVENTMSG event{};
        WaitUntilDue(*hook, event, options.askPartWay);
        deliveries_.push_back(Delivery{event, tick_});
        ++delivered;
        if (options.onDelivered) options.onDelivered(deliveries_.back());
        // Skip only on the hook that handed out the record; a removed hook gets no call.
        if (InstalledHandle(JournalHookType::Playback) != handle) continue;
        procedure(kHookSkip, 0, 0);
    }
    return delivered;
}

void SimJournal::CancelJournal() {
    bool hadHooks = !hooks_.empty();
    hooks_.clear();
    if (pump_ != nullptr) pump_->Stop();
    if (hadHooks) posted_.push_back(PostedMessage{msg::kCancelJournal, 0, 0});
}

JournalHookHandle InstallJournalHook(JournalHookType type, JournalHookProc procedure) {
    return SimJournal::Instance().Install(type, procedure);
}

void RemoveJournalHook(JournalHookHandle handle) {
    SimJournal::Instance().Remove(handle);
}

int32_t CallNextJournalHook(JournalHookHandle handle, int32_t code, uintptr_t wParam,
                            intptr_t lParam) {
    return SimJournal::Instance().CallNext(handle, code, wParam, lParam);
}

uint32_t JournalTickCount() {
    return SimJournal::Instance().Tick();
}

std::string JournalRecordingLimit() {
    return SimJournal::Instance().RecordingLimit();
}
