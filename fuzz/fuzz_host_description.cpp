// Host descriptions of any bytes: the reader and the checks either build a model or refuse it
// with a HostDescriptionError (the simulator's exit status 2); anything else escaping, a crash,
// a hang or a sanitizer report is a defect. A description that is accepted is then driven
// briefly through the dial, so that what the checks let through is something the dial takes.

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <streambuf>
#include <string>

#include "tools/sim/host_description.h"
#include "tools/sim/session.h"
#include "tools/sim/transcript.h"

namespace {

using namespace Quarn::WinRT::sim;

// A stream that drops what it is given: the transcript's text is not what is checked here.
class NullBuffer final : public std::streambuf {
protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

// Bounds on the work one accepted description causes, so that a large one stays quick.
constexpr std::size_t kMaxTools = 4;
constexpr std::size_t kMaxEntries = 8;

void Drive(HostModel& model) {
    NullBuffer buffer;
    std::ostream out(&buffer);
    Session* current = nullptr;
    Transcript transcript(out, [&current] {
        return current ? current->Platform().Clock().NowMs() : std::int64_t{0};
    });
    Session session(model, transcript);
    current = &session;
    session.Attach();
    session.ReportChanges();
    for (std::size_t t = 0; t < model.tools.size() && t < kMaxTools; ++t) {
        session.SetTool(model.tools[t], t % 2 == 1);
        session.ReportChanges();
        std::size_t entries = 0;
        for (const std::string& entry : model.menuEntries) {
            if (++entries > kMaxEntries) {
                break;
            }
            session.Select(entry);  // an entry of another tool is an "error" line, as in a run
            session.Rotate(7.5, 3, 20);
            session.Click();
            session.Wait(300);
            session.ReportChanges();
        }
    }
    session.Notify(NotificationKind::InvalidateAll, 0);
    session.Wait(2500);
    session.ReportChanges();
    current = nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string json(reinterpret_cast<const char*>(data), size);
    HostModel model;
    try {
        model = ParseHostDescription(json, "fuzz.json");
    } catch (const HostDescriptionError&) {
        return 0;  // refused with its place: status 2
    }
    Drive(model);
    return 0;
}
