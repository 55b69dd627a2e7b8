// The hardware report of the log: processor and OpenGL.
#include <GL/gl.h>

#include "app/cpuinfo.h"
#include "app/log.h"

static const char* GlString(GLenum name)
{
    const GLubyte* s = glGetString(name);
    return s ? (const char*)s : "";
}

void LogHardwareInfo()
{
    CpuInfo cpu;
    LogSeparator();
    LogMessage("%s %iMhz", cpu.name, (int)cpu.mhz);
    LogSeparator();
    LogMessage("%s %s", GlString(GL_VENDOR), GlString(GL_VERSION));
    LogMessage("%s", GlString(GL_RENDERER));
    LogSeparator();
}
