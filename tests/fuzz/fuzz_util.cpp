#include <csetjmp>

#include "fuzz_targets.h"
#include "platform/sys.h"

bool RunTrappingExit(void (*body)(void*), void* context)
{
    static jmp_buf trap;
    if (setjmp(trap)) {
        SysSetExitTrap(nullptr);
        return true;
    }
    SysSetExitTrap(&trap);
    body(context);
    SysSetExitTrap(nullptr);
    return false;
}
