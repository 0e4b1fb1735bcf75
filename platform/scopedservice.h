#pragma once

namespace platform {

// A service the program reaches through one accessor, whose implementation
// lives behind the pointer that slot() returns. The guard installs another
// one (a test double) for its lifetime and then puts the previous one back.
template <class Service, Service *&(*slot)()>
class ScopedService {
public:
    explicit ScopedService(Service &service) : previous_(slot()) { slot() = &service; }
    ~ScopedService() { slot() = previous_; }
    ScopedService(const ScopedService &) = delete;
    ScopedService &operator=(const ScopedService &) = delete;

private:
    Service *previous_;
};

}  // namespace platform
