#include "bindings/window/sim_window.h"

#include <algorithm>
#include <utility>

namespace Quarn::WinRT::sim {

HWND SimWindowing::CreateHostWindow(RECT rect, std::string title, HWND owner) {
    // Handles look like Win32 ones: distinct, non-null, never reused.
    HWND handle = reinterpret_cast<HWND>(m_nextHandle);
    m_nextHandle += 0x10;
    m_windows.push_back(SimWindow{handle, rect, owner, std::move(title)});
    return handle;
}

void SimWindowing::DestroyWindow(HWND window) {
    std::erase_if(m_windows, [&](const SimWindow& w) { return w.handle == window; });
    std::erase_if(m_timers, [&](const SimTimer& t) { return t.window == window; });
}

void SimWindowing::MoveWindow(HWND window, RECT rect) {
    if (SimWindow* found = FindMutable(window)) {
        found->rect = rect;
    }
}

const SimWindow* SimWindowing::Find(HWND window) const {
    auto it = std::find_if(m_windows.begin(), m_windows.end(),
                           [&](const SimWindow& w) { return w.handle == window; });
    return it == m_windows.end() ? nullptr : &*it;
}

SimWindow* SimWindowing::FindMutable(HWND window) {
    return const_cast<SimWindow*>(std::as_const(*this).Find(window));
}

const SimTimer* SimWindowing::FindTimer(HWND window, UINT_PTR id) const {
    auto it = std::find_if(m_timers.begin(), m_timers.end(),
                           [&](const SimTimer& t) { return t.window == window && t.id == id; });
    return it == m_timers.end() ? nullptr : &*it;
}

void SimWindowing::Advance(std::int64_t ms) {
    if (ms < 0) {
        return;
    }
    const std::int64_t target = m_clock.NowMs() + ms;
    for (;;) {
        // The earliest due timer; the list may change under every callback, so look afresh.
        auto due = std::min_element(m_timers.begin(), m_timers.end(),
                                    [](const SimTimer& a, const SimTimer& b) {
                                        return a.dueMs != b.dueMs ? a.dueMs < b.dueMs
                                                                  : a.order < b.order;
                                    });
        if (due == m_timers.end() || due->dueMs > target) {
            break;
        }
        m_clock.SetMs(due->dueMs);
        const SimTimer fired = *due;
        due->dueMs += due->interval;
        due->order = m_nextOrder++;
        if (fired.proc) {
            fired.proc(fired.window, WM_TIMER, fired.id, static_cast<DWORD>(fired.dueMs));
        }
    }
    m_clock.SetMs(target);
}

RECT SimWindowing::GetWindowRect(HWND window) {
    m_faults.Check(ops::kGetWindowRect);
    const SimWindow* found = Find(window);
    if (!found) {
        throw platform::PlatformError(static_cast<HRESULT>(0x80070578), "Invalid window handle.");
    }
    return found->rect;
}

UINT_PTR SimWindowing::SetTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC proc) {
    if (m_faults.Take(ops::kSetTimer) || !IsWindow(window)) {
        return 0;
    }
    const UINT interval = std::max(milliseconds, kMinimumInterval);
    const std::int64_t due = m_clock.NowMs() + interval;
    auto it = std::find_if(m_timers.begin(), m_timers.end(),
                           [&](const SimTimer& t) { return t.window == window && t.id == id; });
    if (it != m_timers.end()) {
        *it = SimTimer{window, id, interval, proc, due, m_nextOrder++};
    } else {
        m_timers.push_back(SimTimer{window, id, interval, proc, due, m_nextOrder++});
    }
    return id;
}

bool SimWindowing::KillTimer(HWND window, UINT_PTR id) {
    if (m_faults.Take(ops::kKillTimer)) {
        return false;
    }
    return std::erase_if(m_timers, [&](const SimTimer& t) {
               return t.window == window && t.id == id;
           }) > 0;
}

}  // namespace Quarn::WinRT::sim
