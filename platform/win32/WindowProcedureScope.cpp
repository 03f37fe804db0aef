#include "platform/win32/WindowProcedureScope.h"

#include <utility>
#include <vector>

namespace {

int depth = 0;
std::vector<std::function<void()>> pending;

void RunPending() {
    while (!pending.empty()) {
        std::vector<std::function<void()>> due = std::exchange(pending, {});
        for (auto& deleter : due) deleter();
    }
}

}  // namespace

WindowProcedureScope::WindowProcedureScope() {
    ++depth;
}

WindowProcedureScope::~WindowProcedureScope() {
    if (--depth == 0) RunPending();
}

void WindowProcedureScope::DeleteLater(std::function<void()> deleter) {
    pending.push_back(std::move(deleter));
    if (depth == 0) RunPending();
}
