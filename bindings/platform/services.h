#pragma once
// The platform the core runs on: one backend per concern, reached through Services().
//
// The build's own backends are installed by default (the simulated platform off Windows). A test
// or the simulator installs another set with ScopedServices. Install on the host thread before
// any dial exists; the render thread never reads this.

#include "bindings/com/com.h"
#include "bindings/files/files.h"
#include "bindings/keyboard/keyboard.h"
#include "bindings/package/package.h"
#include "bindings/render/render.h"
#include "bindings/wheel/wheel.h"
#include "bindings/window/window.h"

namespace Quarn::WinRT::platform {

struct ServiceSet {
    WheelPlatform* wheel = nullptr;
    Windowing* windowing = nullptr;
    Keyboard* keyboard = nullptr;
    FileSystem* files = nullptr;
    PackageEnvironment* package = nullptr;
    ComRuntime* com = nullptr;
    render::Graphics* graphics = nullptr;
};

const ServiceSet& Services();

// The build's default backends, made on first use.
const ServiceSet& DefaultServices();

class ScopedServices {
public:
    explicit ScopedServices(const ServiceSet& services);
    ~ScopedServices();
    ScopedServices(const ScopedServices&) = delete;
    ScopedServices& operator=(const ScopedServices&) = delete;

private:
    const ServiceSet* m_previous;
    ServiceSet m_services;
};

}  // namespace Quarn::WinRT::platform
