#include "SubsystemWindows.h"
#include "AppHooks.h"

void registerSubsystemWindows()
{
    // The member, member type, payment and report windows register here as
    // they are added to the program.
    (void)appHooks();
}
