#include "tools/sim/live/wheel_device.h"

#include <fcntl.h>
#include <libevdev/libevdev.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

namespace Quarn::WinRT::sim {

namespace {

// Opens the device at `path` into `device` and `fd` when it has a dial axis; otherwise leaves
// them empty and says why in `problem`.
void TryOpen(const std::string& path, std::string& problem, libevdev*& device, int& fd) {
    fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        problem = "--device " + path + ": cannot be opened: " + std::strerror(errno);
        return;
    }
    const int error = libevdev_new_from_fd(fd, &device);
    if (error < 0) {
        problem = "--device " + path + ": is not an input device: " + std::strerror(-error);
    } else if (!libevdev_has_event_code(device, EV_REL, REL_DIAL)) {
        problem =
            "--device " + path + ": " + libevdev_get_name(device) + " has no dial axis (REL_DIAL)";
    } else {
        return;  // usable
    }
    libevdev_free(device);
    device = nullptr;
    ::close(fd);
    fd = -1;
}

}  // namespace

std::unique_ptr<WheelDevice> WheelDevice::Open(const std::string& path, std::string& problem) {
    std::vector<std::string> candidates;
    if (path == "auto") {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator("/dev/input", error)) {
            if (entry.path().filename().string().starts_with("event")) {
                candidates.push_back(entry.path().string());
            }
        }
        std::sort(candidates.begin(), candidates.end());
    } else {
        candidates.push_back(path);
    }
    for (const std::string& candidate : candidates) {
        libevdev* device = nullptr;
        int fd = -1;
        TryOpen(candidate, problem, device, fd);
        if (device) {
            problem.clear();
            return std::unique_ptr<WheelDevice>(new WheelDevice(fd, device, candidate));
        }
    }
    if (path == "auto") {
        problem =
            "--device auto: no input device under /dev/input with a dial axis (REL_DIAL) "
            "can be opened";
    }
    return nullptr;
}

WheelDevice::~WheelDevice() {
    libevdev_free(m_device);
    ::close(m_fd);
}

std::string WheelDevice::Name() const {
    return libevdev_get_name(m_device);
}

bool WheelDevice::ReadPending(const Handlers& handlers) {
    for (;;) {
        input_event event{};
        int status = libevdev_next_event(m_device, LIBEVDEV_READ_FLAG_NORMAL, &event);
        if (status == LIBEVDEV_READ_STATUS_SYNC) {
            // Events were dropped: catch up on the device's state, then go on as normal.
            while (status == LIBEVDEV_READ_STATUS_SYNC) {
                status = libevdev_next_event(m_device, LIBEVDEV_READ_FLAG_SYNC, &event);
            }
            continue;
        }
        if (status == -EAGAIN) {
            return true;
        }
        if (status < 0) {
            return false;
        }
        if (event.type == EV_REL && event.code == REL_DIAL && event.value != 0) {
            handlers.rotated(event.value);
        } else if (event.type == EV_KEY && event.value == 1) {
            handlers.pressed();
        }
    }
}

}  // namespace Quarn::WinRT::sim
