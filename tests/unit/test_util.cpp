#include "test_util.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/appdir.h"

ScratchAppDir::ScratchAppDir()
{
    char pattern[] = "/tmp/quibbit-test.XXXXXX";
    char* made = mkdtemp(pattern);
    root = std::string(made ? made : "/tmp") + "/";
    std::filesystem::create_directories(root + "data");
    SetAppDirectory(root.c_str());
}

ScratchAppDir::~ScratchAppDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

void ScratchAppDir::Write(const std::string& name, const std::string& text) const
{
    std::filesystem::path file(root + name);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out << text;
}

std::string ScratchAppDir::Read(const std::string& name) const
{
    std::ifstream in(root + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool ScratchAppDir::Exists(const std::string& name) const { return std::filesystem::exists(root + name); }
