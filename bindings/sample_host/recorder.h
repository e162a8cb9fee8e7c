#pragma once
// A recording test double of the host: while one lives, it captures the host's log and trace,
// every value the dial writes into a reflected item, every notification posted, and the tool
// calls the sample host reports, in the order they arrive. Tests keep the events to read them
// back; a long-running driver such as the simulator only listens, and keeps none, so that its
// memory does not grow with the length of a session.
//
// Recorders nest: each puts back, when destroyed, the sinks and observers it replaced, so they
// must be destroyed in the reverse order of construction, and only once no other thread can
// still be writing to them.

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "bindings/kernel/counted.h"
#include "bindings/kernel/log.h"
#include "bindings/kernel/notification.h"
#include "bindings/kernel/reflected.h"
#include "bindings/vorta/host_events.h"

namespace Quarn::WinRT::sample {

struct HostEvent {
    enum class Kind { Log, Trace, ValueWritten, Notification, HistoryIndexSet, RefreshParameters };

    Kind kind = Kind::Log;
    // Log and Trace: the text as written. ValueWritten: the value's text. Notification: the
    // notification's class name. HistoryIndexSet and RefreshParameters: the tool's name.
    std::string text;
    // ValueWritten: the item's identifier. HistoryIndexSet and RefreshParameters: the tool's.
    std::uint32_t itemId = 0;
    // ValueWritten: the item written to, for the listener only: it is null in kept events, which
    // may outlive the item.
    const Kernel::Reflected* item = nullptr;
    // ValueWritten: the write's flag. Notification: a document notification's flag.
    bool flag = false;
    // HistoryIndexSet: the index asked for.
    int index = 0;
    Kernel::Counted<Kernel::Notification> notification;
};

class HostRecorder : private Kernel::ReflectedObserver, private VortaObserver {
public:
    using Listener = std::function<void(const HostEvent&)>;

    enum class Retention {
        Keep,        // every event is kept until Clear, for Events() and the other readers
        ListenOnly,  // events only reach the listener; the readers give nothing
    };

    explicit HostRecorder(Retention retention = Retention::Keep);
    ~HostRecorder() override;
    HostRecorder(const HostRecorder&) = delete;
    HostRecorder& operator=(const HostRecorder&) = delete;

    std::vector<HostEvent> Events() const;
    std::vector<std::string> LogLines() const;
    std::vector<std::string> Traces() const;
    std::vector<HostEvent> ValueWrites() const;
    std::vector<Kernel::Counted<Kernel::Notification>> Notifications() const;
    void Clear();
    // How many events are kept now: always 0 with Retention::ListenOnly.
    std::size_t KeptCount() const;

    // Called with each event once it is recorded, in recording order, on the thread that
    // caused it. The listener may itself log or read the recorder.
    void SetListener(Listener listener);

private:
    class Sink : public Kernel::TextSink {
    public:
        Sink(HostRecorder& owner, HostEvent::Kind kind) : m_owner(owner), m_kind(kind) {}
        void Write(std::string_view text) override;

    private:
        HostRecorder& m_owner;
        HostEvent::Kind m_kind;
    };

    void OnValueWritten(const Kernel::Reflected& item, std::string_view valueText,
                        bool flag) override;
    void OnNotification(const Kernel::Counted<Kernel::Notification>& notification) override;
    void OnHistoryIndexSet(const Tool& tool, int index) override;
    void OnRefreshParameters(const AdjustmentTool& tool) override;

    void Record(HostEvent event);
    std::vector<HostEvent> EventsOf(HostEvent::Kind kind) const;

    // Recursive, and held while the listener runs: a listener that logs records its line
    // after the event it was told of, and events from other threads wait their turn.
    mutable std::recursive_mutex m_mutex;
    const Retention m_retention;
    std::vector<HostEvent> m_events;
    Listener m_listener;

    Sink m_logSink{*this, HostEvent::Kind::Log};
    Sink m_traceSink{*this, HostEvent::Kind::Trace};
    Kernel::TextSink* m_previousLogSink = nullptr;
    Kernel::TextSink* m_previousTraceSink = nullptr;
    Kernel::ReflectedObserver* m_previousReflectedObserver = nullptr;
    VortaObserver* m_previousVortaObserver = nullptr;
};

}  // namespace Quarn::WinRT::sample
