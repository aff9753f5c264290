#include "RunState.h"

#include <vector>

namespace {
std::vector<std::function<void()>> &resets()
{
    static std::vector<std::function<void()>> r;
    return r;
}
} // namespace

void onResetRunState(std::function<void()> reset)
{
    resets().push_back(std::move(reset));
}

void resetRunState()
{
    // A reset may register more (a window instance made while another is
    // released): walk by index, so the list may grow under the walk.
    for (size_t i = 0; i < resets().size(); ++i) // NOLINT(modernize-loop-convert)
        resets()[i]();
}
