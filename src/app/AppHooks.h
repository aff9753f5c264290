#pragma once
#include <functional>

// The windows that the main window opens live in the subsystem libraries;
// each registers its opener here when the program starts, so the shell does
// not depend on them.
struct AppHooks {
    std::function<void()> openMembers;
    std::function<void()> openMemberTypes;
    std::function<void()> openPayments; // for every member
    // Clears the five list filters (annullaWhere).
    std::function<void()> clearListFilters;
    std::function<void()> openReports;
};
AppHooks &appHooks();
