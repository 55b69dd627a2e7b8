#include "app/log.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "app/appdir.h"
#include "platform/sys.h"

const char* const kProgramName = "Quibbit";
const char* const kProgramVersion = "v1.0";
const char* const kAuthorName = "The Quibbit team";
const char* const kAuthorMail = "team@quibbit.invalid";
const char* const kAuthorWeb = "https://quibbit.invalid/";

static const char kLogName[] = "log.txt";

static void AppendLine(const char* text)
{
    FILE* file = OpenDataFile(kLogName, "a");
    if (!file)
        return;
    fprintf(file, "%s\n", text);
    fclose(file);
}

void LogMessage(const char* format, ...)
{
    if (!format)
        return;
    char line[256];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (strncmp(line, "ERROR", 5) == 0)
        SysMessageBox("Error", line);
    AppendLine(line);
}

void LogSeparator()
{
    LogMessage("-------------------------------------------------------");
}

// "Linux 6.1.0": the kernel's name and the first three numbers of its release.
static void FormatSystemLine(char* out, size_t size)
{
    char name[64], release[128];
    SysKernelVersion(name, sizeof name, release, sizeof release);
    unsigned major = 0, minor = 0, build = 0;
    sscanf(release, "%u.%u.%u", &major, &minor, &build);
    snprintf(out, size, "%s %u.%u.%u", name, major, minor, build);
}

void OpenLog()
{
    FILE* file = OpenDataFile(kLogName, "w");
    if (file)
        fclose(file);
    LogSeparator();
    time_t now = time(nullptr);
    LogMessage("%s", ctime(&now));
    LogMessage("%s %s", kProgramName, kProgramVersion);
    LogSeparator();
    LogMessage("%s\n%s\n%s", kAuthorName, kAuthorMail, kAuthorWeb);
    LogSeparator();
    char system[256];
    FormatSystemLine(system, sizeof system);
    LogMessage("%s", system);
    char cwd[256];
    if (!getcwd(cwd, sizeof cwd - 2))
        cwd[0] = 0;
    LogMessage("%s/x", cwd);
    LogMessage("%sx", AppDirectory());
    const char* home = getenv("HOME");
    LogMessage("%s/x", home ? home : "");
    if (UserConfigDirectory()[0]) {
        LogMessage("Game folder not writable: settings in %s", UserConfigDirectory());
        LogMessage("Game folder not writable: log and screenshots in %s", UserDataDirectory());
    }
    LogSeparator();
}

void ExitProgram()
{
    SysExit(1);
}
