#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

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

const char* FuzzScratchDir()
{
    static std::string dir = [] {
        char pattern[] = "/dev/shm/quibbit-fuzz.XXXXXX";
        std::string made = mkdtemp(pattern) ? pattern : "/tmp/quibbit-fuzz";
        std::error_code ignored;
        std::filesystem::create_directories(made + "/data", ignored);
        return made + "/";
    }();
    return dir.c_str();
}

void FuzzWriteFile(const char* path, const uint8_t* data, size_t size)
{
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    FILE* file = fopen(path, "wb");
    if (!file)
        return;
    if (size > 0)
        fwrite(data, 1, size, file);
    fclose(file);
}

void FuzzFail(const char* what)
{
    fprintf(stderr, "fuzz invariant broken: %s\n", what);
    abort();
}
