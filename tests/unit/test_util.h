// Helpers shared by the unit and window tests: a scratch application directory.
#pragma once

#include <string>

// Makes an empty temporary folder with a data/ folder inside, points the
// application directory at it, and removes it again at the end.
class ScratchAppDir {
public:
    ScratchAppDir();
    ~ScratchAppDir();
    const std::string& path() const { return root; }
    // Writes `text` to root + name (folders created as needed).
    void Write(const std::string& name, const std::string& text) const;
    // The whole content of root + name ("" when missing).
    std::string Read(const std::string& name) const;
    bool Exists(const std::string& name) const;

private:
    std::string root;
};
