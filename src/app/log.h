// The log: log.txt beside the executable, one line appended (and the file
// closed again) per message, so everything logged before a crash is on disk.
// A line beginning with "ERROR" is also shown in a modal box captioned
// "Error"; "MINOR ERROR" lines are not.
#pragma once

#include <cstdarg>

// Empties log.txt and writes the header (date, program, authors, system,
// directories).  Every start-up pass calls it first.
void OpenLog();

// printf-style; the line is cut at 255 characters.  A null format does nothing.
void LogMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));

// One line of 55 '-' characters.
void LogSeparator();

// Processor and OpenGL report (needs a current rendering context).
void LogHardwareInfo();

// Ends the program at once with status 1: the reaction to fatal errors, which
// callers first log with an "ERROR" line.
[[noreturn]] void ExitProgram();

// Program name, version and author lines, shared with the credits screen.
extern const char* const kProgramName;     // "Quibbit"
extern const char* const kProgramVersion;  // "v1.0"
extern const char* const kAuthorName;
extern const char* const kAuthorMail;
extern const char* const kAuthorWeb;
