// A service installed process-wide, the way an operating system is: the
// native backend unless a test installs another.
#pragma once

namespace talq::platform {

template <typename Service, typename NativeBackend>
class ProcessWide {
public:
    Service& Current() { return installed_ != nullptr ? *installed_ : Native(); }

    // Installs `service` (not owned) and returns the one it replaces; nullptr
    // or the native backend puts the native backend back.
    Service* Install(Service* service) {
        Service* previous = installed_ != nullptr ? installed_ : &Native();
        installed_ = (service == &Native()) ? nullptr : service;
        return previous;
    }

private:
    static Service& Native() {
        static NativeBackend native;
        return native;
    }

    Service* installed_ = nullptr;
};

}  // namespace talq::platform
