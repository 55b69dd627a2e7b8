#include "app/settings_file.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

#include "app/appdir.h"

SettingsReader::SettingsReader() : text(nullptr), size(0), pos(0) {}

SettingsReader::~SettingsReader()
{
    free(text);
}

bool SettingsReader::Load(FILE* file)
{
    free(text);
    text = nullptr;
    size = 0;
    pos = 0;
    int capacity = 4096;
    char* buffer = (char*)malloc((size_t)capacity + 1);
    bool ok = buffer != nullptr;
    while (ok && size < kMaxSize) {
        if (size == capacity) {
            capacity = capacity * 4 > kMaxSize ? kMaxSize : capacity * 4;
            char* grown = (char*)realloc(buffer, (size_t)capacity + 1);
            if (!grown) {
                ok = false;
                break;
            }
            buffer = grown;
        }
        size_t n = fread(buffer + size, 1, (size_t)(capacity - size), file);
        size += (int)n;
        if (n == 0) {
            ok = !ferror(file);
            break;
        }
    }
    if (!ok) {
        free(buffer);
        buffer = (char*)malloc(1);
        size = 0;
    }
    text = buffer;
    if (!text)
        return false;
    text[size] = 0;
    // An embedded zero byte ends the text as it would end a C string.
    size = (int)strlen(text);
    return ok;
}

void SettingsReader::LoadText(const char* source)
{
    free(text);
    size_t n = strlen(source);
    if (n > (size_t)kMaxSize)
        n = kMaxSize;
    text = (char*)malloc(n + 1);
    memcpy(text, source, n);
    text[n] = 0;
    size = (int)n;
    pos = 0;
}

void SettingsReader::SkipSpace()
{
    while (pos < size && isspace((unsigned char)text[pos]))
        pos++;
}

bool SettingsReader::NextWord(char* word, int wordSize)
{
    SkipSpace();
    if (pos >= size) {
        if (wordSize > 0)
            word[0] = 0;
        return false;
    }
    int n = 0;
    while (pos < size && !isspace((unsigned char)text[pos])) {
        if (n < wordSize - 1)
            word[n++] = text[pos];
        pos++;
    }
    word[n] = 0;
    return true;
}

bool SettingsReader::LineBlankAhead() const
{
    for (int i = pos; i < size; i++) {
        if (text[i] == '\n')
            return true;
        if (!isspace((unsigned char)text[i]))
            return false;
    }
    return true;
}

bool SettingsReader::ReadInt(int32_t* value)
{
    SkipSpace();
    if (pos >= size)
        return false;
    const char* start = text + pos;
    char* end = nullptr;
    errno = 0;
    long long v = strtoll(start, &end, 10);
    if (end == start)
        return false;
    if (v > INT32_MAX || (errno == ERANGE && v > 0))
        v = INT32_MAX;
    if (v < INT32_MIN || (errno == ERANGE && v < 0))
        v = INT32_MIN;
    *value = (int32_t)v;
    pos += (int)(end - start);
    return true;
}

bool SettingsReader::ReadFloat(float* value)
{
    SkipSpace();
    if (pos >= size)
        return false;
    const char* start = text + pos;
    char* end = nullptr;
    double v = strtod(start, &end);
    if (end == start)
        return false;
    pos += (int)(end - start);
    if (!std::isfinite(v) || std::fabs(v) > 3.0e38)
        return false;
    *value = (float)v;
    return true;
}

static bool TempName(const char* name, char* out, size_t size)
{
    int n = snprintf(out, size, "%s.tmp", name);
    return n > 0 && (size_t)n < size;
}

FILE* BeginSettingsSave(const char* name)
{
    char temp[256];
    if (!TempName(name, temp, sizeof temp))
        return nullptr;
    return OpenDataFile(temp, "w");
}

bool EndSettingsSave(FILE* file, const char* name)
{
    char temp[256], tempPath[256], finalPath[256];
    if (!TempName(name, temp, sizeof temp))
        return false;
    snprintf(tempPath, sizeof tempPath, "%s", temp);
    snprintf(finalPath, sizeof finalPath, "%s", name);
    bool ok = fflush(file) == 0 && !ferror(file) && fsync(fileno(file)) == 0;
    ok = (fclose(file) == 0) && ok;
    if (!MakeAbsolutePath(tempPath, sizeof tempPath) || !MakeAbsolutePath(finalPath, sizeof finalPath))
        return false;
    if (ok)
        ok = rename(tempPath, finalPath) == 0;
    if (!ok)
        remove(tempPath);
    return ok;
}
