#pragma once
// Links that empty themselves when their target is destroyed. An object that
// others may link to without owning it keeps a TLifeToken member and returns
// it from LifeToken(); a TGuardedPtr to it reads nullptr once the object is
// gone, so a link never dangles. Single-threaded, like the rest of the program.
#include <memory>

class TLifeToken {
public:
    TLifeToken() = default;
    // A copy belongs to another object and so has a life of its own.
    TLifeToken(const TLifeToken&) { }
    TLifeToken& operator=(const TLifeToken&) { return *this; }

    std::weak_ptr<const void> Watch() const { return FAlive; }

private:
    std::shared_ptr<const char> FAlive = std::make_shared<const char>('\0');
};

// T has `const TLifeToken& LifeToken() const`.
template <class T> class TGuardedPtr {
public:
    TGuardedPtr() = default;
    TGuardedPtr(T* target)
        : FTarget(target)
    {
        if (target)
            FWatch = target->LifeToken().Watch();
    }

    // nullptr when never set or when the target has been destroyed.
    T* get() const { return FWatch.expired() ? nullptr : FTarget; }
    T* operator->() const { return get(); }
    explicit operator bool() const { return get() != nullptr; }
    void reset() { *this = TGuardedPtr(); }

private:
    T* FTarget = nullptr;
    std::weak_ptr<const void> FWatch;
};
