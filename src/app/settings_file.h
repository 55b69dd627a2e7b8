// Reading and writing the two settings files ("data/config.txt",
// "data/prefs.txt").  A file is a stream of whitespace-separated words; a
// known key is followed by its value.  Reading is bounded whatever the file
// holds; writing goes to a temporary file that replaces the old one only when
// it was written whole, so a crash or a full disk never loses the settings.
#pragma once

#include <cstdint>
#include <cstdio>

// The words of one settings file, read into memory (at most kMaxSize bytes;
// the rest of a larger file is ignored).
class SettingsReader {
public:
    static const int kMaxSize = 1 << 20;

    SettingsReader();
    ~SettingsReader();
    SettingsReader(const SettingsReader&) = delete;
    SettingsReader& operator=(const SettingsReader&) = delete;

    // Reads the whole of an open file; false when it could not be read (a
    // directory, say), which leaves the reader empty.
    bool Load(FILE* file);
    // Uses `text` (tests).
    void LoadText(const char* text);

    // Next word, cut to size - 1 characters; false at the end.
    bool NextWord(char* word, int size);

    // A decimal integer as "%d" reads it: white space, a sign, digits.  On
    // failure nothing is consumed and false is returned.  Values beyond the
    // 32-bit range are held at its ends.
    bool ReadInt(int32_t* value);
    // A decimal number as "%f" reads it; non-finite results count as failures.
    bool ReadFloat(float* value);

    // Whether only blanks (no line break) lie between the position and the
    // end of its line or of the text: a key written with an empty value.
    bool LineBlankAhead() const;

    // Position in the text, to read a word again.
    int Tell() const { return pos; }
    void Seek(int position) { pos = position; }

private:
    void SkipSpace();
    char* text;
    int size;
    int pos;
};

// Opens "<name>.tmp" for writing; null when that fails.
FILE* BeginSettingsSave(const char* name);
// Closes the file and moves "<name>.tmp" over `name`; false (and the old
// file kept) when anything failed.
bool EndSettingsSave(FILE* file, const char* name);
