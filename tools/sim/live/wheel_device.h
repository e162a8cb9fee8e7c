#pragma once
// A real wheel device on Linux: an input device whose kernel driver reports a dial axis
// (REL_DIAL) and the puck's button as a key, read through libevdev.
//
// Thread rule: opened, read and closed on the live window's main thread (the host thread), from
// its main loop when the device's file descriptor is readable.

#include <functional>
#include <memory>
#include <string>

struct libevdev;

namespace Quarn::WinRT::sim {

class WheelDevice {
public:
    // What the device reported: a turn in detents (REL_DIAL units), or the button going down.
    struct Handlers {
        std::function<void(int detents)> rotated;
        std::function<void()> pressed;
    };

    // `path` is /dev/input/eventN, or "auto" for the first such device with a dial axis. Null
    // with `problem` set when it cannot be opened or has no dial axis.
    static std::unique_ptr<WheelDevice> Open(const std::string& path, std::string& problem);
    ~WheelDevice();
    WheelDevice(const WheelDevice&) = delete;
    WheelDevice& operator=(const WheelDevice&) = delete;

    int Descriptor() const { return m_fd; }
    const std::string& Path() const { return m_path; }
    std::string Name() const;
    // Reads what is pending without blocking. False when the device is gone.
    bool ReadPending(const Handlers& handlers);

private:
    WheelDevice(int fd, libevdev* device, std::string path)
        : m_fd(fd), m_device(device), m_path(std::move(path)) {}

    int m_fd;
    libevdev* m_device;
    std::string m_path;
};

}  // namespace Quarn::WinRT::sim
