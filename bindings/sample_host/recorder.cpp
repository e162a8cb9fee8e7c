#include "bindings/sample_host/recorder.h"

#include <typeinfo>
#include <utility>

#if defined(__GNUG__)
#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#endif

#include "bindings/vorta/notifications.h"
#include "bindings/vorta/tool.h"

namespace Quarn::WinRT::sample {

namespace {

std::string Demangled(const char* raw) {
#if defined(__GNUG__)
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(
        abi::__cxa_demangle(raw, nullptr, nullptr, &status), std::free);
    if (status == 0 && demangled) {
        return demangled.get();
    }
#endif
    return raw;
}

// Demangling allocates and parses: a long session posts one notification class over and over,
// so each thread remembers the last one it named.
std::string ClassName(const Kernel::Notification& notification) {
    thread_local const std::type_info* lastType = nullptr;
    thread_local std::string lastName;
    const std::type_info& type = typeid(notification);
    if (lastType != &type) {
        lastName = Demangled(type.name());
        lastType = &type;
    }
    return lastName;
}

std::string ToolName(const Tool& tool) {
    return std::string(tool.GetName().ToString().GetView());
}

}  // namespace

HostRecorder::HostRecorder(Retention retention) : m_retention(retention) {
    m_previousLogSink = Kernel::SetLogSink(&m_logSink);
    m_previousTraceSink = Kernel::SetTraceSink(&m_traceSink);
    m_previousReflectedObserver = Kernel::SetReflectedObserver(this);
    m_previousVortaObserver = SetVortaObserver(this);
}

HostRecorder::~HostRecorder() {
    SetVortaObserver(m_previousVortaObserver);
    Kernel::SetReflectedObserver(m_previousReflectedObserver);
    Kernel::SetTraceSink(m_previousTraceSink);
    Kernel::SetLogSink(m_previousLogSink);
}

void HostRecorder::Sink::Write(std::string_view text) {
    HostEvent event;
    event.kind = m_kind;
    event.text = std::string(text);
    m_owner.Record(std::move(event));
}

void HostRecorder::OnValueWritten(const Kernel::Reflected& item, std::string_view valueText,
                                  bool flag) {
    HostEvent event;
    event.kind = HostEvent::Kind::ValueWritten;
    event.text = std::string(valueText);
    event.itemId = item.GetIdentifier();
    event.item = &item;
    event.flag = flag;
    Record(std::move(event));
}

void HostRecorder::OnNotification(const Kernel::Counted<Kernel::Notification>& notification) {
    HostEvent event;
    event.kind = HostEvent::Kind::Notification;
    if (notification) {
        event.text = ClassName(*notification);
        if (auto* document = dynamic_cast<const DocumentNotification*>(notification.Get())) {
            event.flag = document->GetFlag();
        }
    }
    event.notification = notification;
    Record(std::move(event));
}

void HostRecorder::OnHistoryIndexSet(const Tool& tool, int index) {
    HostEvent event;
    event.kind = HostEvent::Kind::HistoryIndexSet;
    event.text = ToolName(tool);
    event.itemId = static_cast<std::uint32_t>(tool.GetToolID());
    event.index = index;
    Record(std::move(event));
}

void HostRecorder::OnRefreshParameters(const AdjustmentTool& tool) {
    HostEvent event;
    event.kind = HostEvent::Kind::RefreshParameters;
    event.text = ToolName(tool);
    event.itemId = static_cast<std::uint32_t>(tool.GetToolID());
    Record(std::move(event));
}

void HostRecorder::Record(HostEvent event) {
    std::lock_guard lock(m_mutex);
    if (m_retention == Retention::Keep) {
        m_events.push_back(event);
        m_events.back().item = nullptr;
    }
    // A copy, so a listener that replaces itself, or records more, does not pull its own
    // storage from under the call.
    if (const Listener listener = m_listener) {
        listener(event);
    }
}

std::vector<HostEvent> HostRecorder::Events() const {
    std::lock_guard lock(m_mutex);
    return m_events;
}

std::vector<HostEvent> HostRecorder::EventsOf(HostEvent::Kind kind) const {
    std::lock_guard lock(m_mutex);
    std::vector<HostEvent> events;
    for (const HostEvent& event : m_events) {
        if (event.kind == kind) {
            events.push_back(event);
        }
    }
    return events;
}

std::vector<std::string> HostRecorder::LogLines() const {
    std::vector<std::string> lines;
    for (HostEvent& event : EventsOf(HostEvent::Kind::Log)) {
        lines.push_back(std::move(event.text));
    }
    return lines;
}

std::vector<std::string> HostRecorder::Traces() const {
    std::vector<std::string> texts;
    for (HostEvent& event : EventsOf(HostEvent::Kind::Trace)) {
        texts.push_back(std::move(event.text));
    }
    return texts;
}

std::vector<HostEvent> HostRecorder::ValueWrites() const {
    return EventsOf(HostEvent::Kind::ValueWritten);
}

std::vector<Kernel::Counted<Kernel::Notification>> HostRecorder::Notifications() const {
    std::vector<Kernel::Counted<Kernel::Notification>> notifications;
    for (HostEvent& event : EventsOf(HostEvent::Kind::Notification)) {
        notifications.push_back(std::move(event.notification));
    }
    return notifications;
}

void HostRecorder::Clear() {
    std::lock_guard lock(m_mutex);
    m_events.clear();
}

std::size_t HostRecorder::KeptCount() const {
    std::lock_guard lock(m_mutex);
    return m_events.size();
}

void HostRecorder::SetListener(Listener listener) {
    std::lock_guard lock(m_mutex);
    m_listener = std::move(listener);
}

}  // namespace Quarn::WinRT::sample
