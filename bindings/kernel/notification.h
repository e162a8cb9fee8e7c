#pragma once
// The host's notifications. Countable is a virtual base, as in the host, so a notification class
// may also derive from other counted bases.

#include <cstdint>

#include "bindings/kernel/counted.h"
#include "bindings/kernel/reflected.h"

namespace Kernel {

class Notification : public virtual Countable {
public:
    ~Notification() override = default;

    virtual int GetDedupeId() const { return 0; }
    virtual Counted<Notification> Merge(Counted<Notification> later) { return later; }
    virtual bool ShouldForwardToFrontEnd() const { return true; }
    virtual bool RequiredForPreviewing() const { return false; }
    virtual bool FrontEndProcessingTimeIsCritical() const { return false; }
    virtual bool MustProcessWithoutDocumentLock() const { return false; }
};

// The items of `reflectable` are stale as a whole.
class InvalidateReflectedsNotification : public Notification {
public:
    explicit InvalidateReflectedsNotification(Counted<Reflectable> owner)
        : reflectable(std::move(owner)) {}
    Counted<Reflectable> reflectable;
};

// One item of `reflectable`, the one with `identifier`, is stale.
class InvalidateReflectedNotification : public Notification {
public:
    InvalidateReflectedNotification(Counted<Reflectable> owner, std::uint32_t id)
        : reflectable(std::move(owner)), identifier(id) {}
    Counted<Reflectable> reflectable;
    std::uint32_t identifier;
};

class UpdateReflectedsNotification : public Notification {};
class UpdateReflectedNotification : public Notification {};

}  // namespace Kernel
