#pragma once
#include <utility>

// The one owner of a C library's handle (a connection, a statement): it is
// released exactly once, when the owner is reset, replaced or destroyed,
// whichever way the code leaves, a raised error included. It reads as the
// raw handle in the library's calls.
template <class T, class Release>
class Handle {
public:
    Handle() = default;
    explicit Handle(T *p) : m_p(p) {}
    ~Handle() { reset(); }
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    Handle(Handle &&o) noexcept : m_p(std::exchange(o.m_p, nullptr)) {}
    Handle &operator=(Handle &&o) noexcept
    {
        if (this != &o)
            reset(std::exchange(o.m_p, nullptr));
        return *this;
    }

    void reset(T *p = nullptr)
    {
        if (T *old = std::exchange(m_p, p))
            Release{}(old);
    }
    T *get() const { return m_p; }
    // Where a library call writes a new handle; the one held is released
    // first.
    T **out()
    {
        reset();
        return &m_p;
    }
    operator T *() const { return m_p; } // NOLINT(google-explicit-constructor)

private:
    T *m_p = nullptr;
};
