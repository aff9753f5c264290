#pragma once
#include <functional>
#include <utility>

// The state that lasts for a run of the program belongs to the window or the
// module that uses it (a list's filter, a search window's remembered values,
// a window's one instance). Each piece registers how it goes back to where a
// run starts; resetRunState() does that for all of them, in one place, when
// a new run starts in the same process (as every test does).
void onResetRunState(std::function<void()> reset);
void resetRunState();

// One value of the run: it starts as declared and comes back to that at
// resetRunState().
template <class T>
class RunState {
public:
    RunState() : RunState(T{}) {}
    // A RunState reads and writes as the value it holds, so it converts to
    // and from it without a word.
    RunState(T first) : m_first(first), m_value(std::move(first)) // NOLINT(google-explicit-constructor)
    {
        onResetRunState([this] { m_value = m_first; });
    }
    RunState(const RunState &) = delete;
    RunState &operator=(const RunState &) = delete;

    RunState &operator=(T value)
    {
        m_value = std::move(value);
        return *this;
    }
    operator T &() { return m_value; }             // NOLINT(google-explicit-constructor)
    operator const T &() const { return m_value; } // NOLINT(google-explicit-constructor)
    T &operator*() { return m_value; }
    const T &operator*() const { return m_value; }
    T *operator->() { return &m_value; }
    const T *operator->() const { return &m_value; }

private:
    T m_first;
    T m_value;
};
