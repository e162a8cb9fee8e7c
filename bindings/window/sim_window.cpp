#include "bindings/window/sim_window.h"

#include <algorithm>
#include <utility>

#include <utf8cpp/utf8.h>

namespace Quarn::WinRT::sim {

namespace {

bool Contains(const RECT& rect, POINT p) {
    return p.x >= rect.left && p.x < rect.right && p.y >= rect.top && p.y < rect.bottom;
}

std::string Utf8(std::u16string_view text) {
    std::string out;
    utf8::utf16to8(text.begin(), text.end(), std::back_inserter(out));
    return out;
}

}  // namespace

HWND SimWindowing::NewHandle() {
    // Handles look like Win32 ones: distinct, non-null, never reused.
    HWND handle = reinterpret_cast<HWND>(m_nextHandle);
    m_nextHandle += 0x10;
    return handle;
}

HWND SimWindowing::CreateHostWindow(RECT rect, std::string title, HWND owner) {
    SimWindow window;
    window.handle = NewHandle();
    window.rect = rect;
    window.owner = owner;
    window.title = std::move(title);
    window.visible = true;
    m_windows.push_back(std::move(window));
    if (!m_active) {
        m_active = m_windows.back().handle;
    }
    return m_windows.back().handle;
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

std::vector<HWND> SimWindowing::OwnedWindows(HWND owner) const {
    std::vector<HWND> owned;
    for (const SimWindow& window : m_windows) {
        if (window.owner == owner && owner) {
            owned.push_back(window.handle);
        }
    }
    return owned;
}

LRESULT SimWindowing::Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const SimWindow* found = Find(window);
    // Copy the procedure out: it may create or destroy windows, which moves the table.
    WNDPROC proc = found ? found->proc : nullptr;
    return proc ? proc(window, message, wParam, lParam) : 0;
}

HWND SimWindowing::WindowFromPoint(POINT screen) {
    // Walk from the top; handles, not references, since hit testing runs window procedures.
    std::vector<HWND> stack;
    for (const SimWindow& window : m_windows) {
        stack.push_back(window.handle);
    }
    for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
        const SimWindow* window = Find(*it);
        if (!window || !window->visible || !Contains(window->rect, screen)) {
            continue;
        }
        if (window->proc && Send(*it, WM_NCHITTEST, 0,
                                 platform::LParamFromPoint(screen.x, screen.y)) == HTTRANSPARENT) {
            continue;
        }
        return *it;
    }
    return nullptr;
}

HWND SimWindowing::Click(POINT screen) {
    HWND target = WindowFromPoint(screen);
    if (!target) {
        return nullptr;
    }
    const LRESULT activation = Send(target, WM_MOUSEACTIVATE, 0, 0);
    if (activation != MA_NOACTIVATE) {
        m_active = target;
    }
    POINT client = screen;
    ScreenToClient(target, &client);
    const LPARAM at = platform::LParamFromPoint(client.x, client.y);
    Send(target, WM_LBUTTONDOWN, 0, at);
    Send(target, WM_LBUTTONUP, 0, at);
    return target;
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
        auto due = std::min_element(
            m_timers.begin(), m_timers.end(), [](const SimTimer& a, const SimTimer& b) {
                return a.dueMs != b.dueMs ? a.dueMs < b.dueMs : a.order < b.order;
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

bool SimWindowing::GetClientRect(HWND window, RECT* rect) {
    const SimWindow* found = Find(window);
    if (!found || !rect) {
        return false;
    }
    // Simulated windows have no frame: the client area is the whole window.
    *rect = RECT{0, 0, found->rect.right - found->rect.left, found->rect.bottom - found->rect.top};
    return true;
}

bool SimWindowing::ScreenToClient(HWND window, POINT* point) {
    const SimWindow* found = Find(window);
    if (!found || !point) {
        return false;
    }
    point->x -= found->rect.left;
    point->y -= found->rect.top;
    return true;
}

ATOM SimWindowing::RegisterWindowClass(const platform::WindowClass& windowClass) {
    if (m_faults.Take(ops::kRegisterClassExW) || windowClass.size != 80 ||
        windowClass.className.empty()) {
        return 0;
    }
    const bool registered = std::any_of(m_classes.begin(), m_classes.end(), [&](const auto& c) {
        return c.name == windowClass.className;
    });
    if (registered) {
        return 0;  // ERROR_CLASS_ALREADY_EXISTS
    }
    m_classes.push_back(SimWindowClass{std::u16string(windowClass.className), windowClass.style,
                                       windowClass.windowProc, windowClass.cursor});
    return static_cast<ATOM>(0xC000 + m_classes.size() - 1);
}

HCURSOR SimWindowing::LoadStandardCursor(LPCWSTR id) {
    return id == IDC_ARROW ? ArrowCursor() : nullptr;
}

HWND SimWindowing::CreateWindowFrom(const platform::WindowCreation& creation) {
    if (m_faults.Take(ops::kCreateWindowExW)) {
        return nullptr;
    }
    auto cls = std::find_if(m_classes.begin(), m_classes.end(),
                            [&](const auto& c) { return c.name == creation.className; });
    if (cls == m_classes.end() || (creation.owner && !IsWindow(creation.owner))) {
        return nullptr;
    }
    SimWindow window;
    window.handle = NewHandle();
    window.rect =
        RECT{creation.x, creation.y, creation.x + creation.width, creation.y + creation.height};
    window.owner = creation.owner;
    window.title = Utf8(creation.title);
    window.className = cls->name;
    window.style = creation.style;
    window.exStyle = creation.exStyle;
    window.proc = cls->proc;
    const HWND handle = window.handle;
    m_windows.push_back(std::move(window));

    CREATESTRUCTW create{creation.createParam};
    const auto createArgument = reinterpret_cast<LPARAM>(&create);
    // A window procedure that refuses WM_NCCREATE (returns FALSE) or WM_CREATE (-1) ends the
    // creation, as on Win32.
    if (Send(handle, WM_NCCREATE, 0, createArgument) == 0 ||
        Send(handle, WM_CREATE, 0, createArgument) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    return handle;
}

bool SimWindowing::DestroyWindow(HWND window) {
    if (!IsWindow(window) || m_faults.Take(ops::kDestroyWindow)) {
        return false;
    }
    for (HWND owned : OwnedWindows(window)) {
        DestroyWindow(owned);
    }
    if (m_destroyListener) {
        m_destroyListener(window);
    }
    Send(window, WM_DESTROY, 0, 0);
    std::erase_if(m_windows, [&](const SimWindow& w) { return w.handle == window; });
    std::erase_if(m_timers, [&](const SimTimer& t) { return t.window == window; });
    if (m_active == window) {
        m_active = nullptr;
    }
    return true;
}

LRESULT SimWindowing::DefaultWindowProc(HWND /*window*/, UINT message, WPARAM /*wParam*/,
                                        LPARAM /*lParam*/) {
    switch (message) {
        case WM_NCCREATE:
            return 1;
        case WM_NCHITTEST:
            return HTCLIENT;
        case WM_MOUSEACTIVATE:
            return MA_ACTIVATE;
        default:
            return 0;
    }
}

LONG_PTR SimWindowing::SetWindowData(HWND window, int index, LONG_PTR value) {
    SimWindow* found = FindMutable(window);
    if (!found || index != GWLP_USERDATA) {
        return 0;
    }
    return std::exchange(found->userData, value);
}

LONG_PTR SimWindowing::GetWindowData(HWND window, int index) {
    const SimWindow* found = Find(window);
    return found && index == GWLP_USERDATA ? found->userData : 0;
}

bool SimWindowing::ShowWindow(HWND window, int command) {
    SimWindow* found = FindMutable(window);
    if (!found) {
        return false;
    }
    // The result says whether the window was visible before, as on Win32.
    const bool wasVisible = found->visible;
    found->visible = command != SW_HIDE;
    found->lastShowCommand = command;
    return wasVisible;
}

bool SimWindowing::SetWindowPos(HWND window, HWND /*insertAfter*/, int x, int y, int width,
                                int height, UINT flags) {
    SimWindow* found = FindMutable(window);
    if (!found || m_faults.Take(ops::kSetWindowPos)) {
        return false;
    }
    // As Win32 does before it moves a window: the position and size are held to the 16-bit
    // range that WM_MOVE and WM_SIZE carry (a negative size becomes 0), so the far corner
    // never overflows an int.
    const int left = std::clamp(x, platform::kMinWindowCoordinate, platform::kMaxWindowCoordinate);
    const int top = std::clamp(y, platform::kMinWindowCoordinate, platform::kMaxWindowCoordinate);
    const int clampedWidth = std::clamp(width, 0, platform::kMaxWindowCoordinate);
    const int clampedHeight = std::clamp(height, 0, platform::kMaxWindowCoordinate);
    found->rect = RECT{left, top, left + clampedWidth, top + clampedHeight};
    found->lastPositionFlags = flags;
    return true;
}

bool SimWindowing::GetMenuFontFace(std::u16string* faceName) {
    if (!faceName || m_faults.Take(ops::kSystemParametersInfoW)) {
        return false;
    }
    *faceName = m_menuFontFace;
    return true;
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
    return std::erase_if(m_timers,
                         [&](const SimTimer& t) { return t.window == window && t.id == id; }) > 0;
}

}  // namespace Quarn::WinRT::sim
