#include "platform/win32/LoopTimers.h"

#include <algorithm>

#include "platform/win32/SystemFunctions.h"
#include "platform/win32/TickClock.h"
#include "platform/win32/WindowClasses.h"

namespace {

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

constexpr uint64_t kFinishOnTheClock = 1'000'000;  // ns
constexpr UINT_PTR kWindowTimer = 1;

}  // namespace

LoopTimers& LoopTimers::Instance() {
    static LoopTimers timers;
    return timers;
}

LoopTimers::LoopTimers() {
    // Windows Vista and later; Windows 10 1803 and later know the high resolution.
    const auto createTimer = SystemFunction<decltype(&CreateWaitableTimerExW)>(
        L"kernel32.dll", "CreateWaitableTimerExW");
    if (createTimer != nullptr) {
        timer_ =
            createTimer(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
    }
    if (timer_ == nullptr) {
        // Older systems: an ordinary timer, on a 1 ms system timer.
        coarse_ = true;
        timer_ = CreateWaitableTimerW(nullptr, FALSE, nullptr);
    }
    RegisterWindowClass(L"TapewrightLoopTimers", &WindowProcedure);
    window_ = CreateWindowExW(0, L"TapewrightLoopTimers", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
}

LoopTimers::~LoopTimers() {
    if (window_ != nullptr) DestroyWindow(window_);
    if (timer_ != nullptr) CloseHandle(timer_);
    if (coarse_ && waiting_) timeEndPeriod(1);
}

LRESULT CALLBACK LoopTimers::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    if (message != WM_TIMER || wParam != kWindowTimer) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    // The calls guard themselves: nothing unwinds into the modal loop that dispatched this.
    Instance().RunDue();
    return 0;
}

void LoopTimers::UpdateWaiting() {
    const bool wanted = !calls_.empty();
    // Between two calls of one run (the pump moving on) nothing changes.
    if (wanted == waiting_ || running_ > 0) return;
    waiting_ = wanted;
    if (wanted) {
        if (coarse_) timeBeginPeriod(1);
        if (window_ != nullptr) SetTimer(window_, kWindowTimer, USER_TIMER_MINIMUM, nullptr);
    } else {
        if (coarse_) timeEndPeriod(1);
        if (window_ != nullptr) KillTimer(window_, kWindowTimer);
    }
}

void LoopTimers::CallSoon(Callback callback, void* context) {
    calls_.push_back(Call{callback, context, 0, turn_});
    UpdateWaiting();
}

void LoopTimers::CallAfter(int32_t milliseconds, Callback callback, void* context) {
    // Due when the tick count reaches now + milliseconds: the start of that millisecond.
    const uint64_t now = TickNanoseconds();
    const uint64_t due =
        (now / 1'000'000u + static_cast<uint64_t>(std::max(milliseconds, 0))) * 1'000'000u;
    calls_.push_back(Call{callback, context, std::max<uint64_t>(due, 1), turn_});
    UpdateWaiting();
}

void LoopTimers::Cancel(Callback callback, void* context) {
    std::erase_if(calls_, [&](const Call& call) {
        return call.callback == callback && call.context == context;
    });
    UpdateWaiting();
}

std::size_t LoopTimers::NextRunnable(uint64_t now, uint64_t turn) const {
    for (std::size_t at = 0; at < calls_.size(); ++at) {
        if (calls_[at].turn < turn && calls_[at].due <= now) return at;
    }
    return calls_.size();
}

void LoopTimers::RunDue() {
    const uint64_t turn = ++turn_;
    ++running_;
    for (;;) {
        const std::size_t at = NextRunnable(TickNanoseconds(), turn);
        if (at == calls_.size()) break;
        const Call call = calls_[at];
        calls_.erase(calls_.begin() + static_cast<std::ptrdiff_t>(at));
        call.callback(call.context);
    }
    --running_;
    UpdateWaiting();
}

void LoopTimers::WaitForMessagesOrDue(DWORD longest) {
    const uint64_t now = TickNanoseconds();
    uint64_t first = UINT64_MAX;
    for (const Call& call : calls_) first = std::min(first, call.due);
    if (first <= now) return;
    // The system's timers wake up to a millisecond late: the wait ends that much early and
    // the rest is waited out on the clock itself.
    if (first - now <= kFinishOnTheClock) {
        while (TickNanoseconds() < first) YieldProcessor();
        return;
    }
    DWORD handles = 0;
    if (first != UINT64_MAX && timer_ != nullptr) {
        // Relative due time, in 100 ns units.
        LARGE_INTEGER due{};
        due.QuadPart = -static_cast<LONGLONG>((first - kFinishOnTheClock - now + 99) / 100);
        handles = SetWaitableTimer(timer_, &due, 0, nullptr, nullptr, FALSE) ? 1 : 0;
    }
    if (handles == 0 && first != UINT64_MAX) {
        longest = std::min<DWORD>(longest, static_cast<DWORD>((first - now) / 1'000'000u + 1));
    }
    MsgWaitForMultipleObjectsEx(handles, &timer_, longest, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}
