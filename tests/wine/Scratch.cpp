// Scratch.cpp - see Scratch.h.
#include "Scratch.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>


namespace e2e {

namespace fs = std::filesystem;

void WriteFile(const std::string& path, const std::string& bytes)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return "(no file)";
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string Tree(const std::string& directory)
{
    std::error_code error;
    if (fs::is_regular_file(directory, error))
        return "(a file)";
    if (!fs::is_directory(directory, error))
        return "(no folder)";
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(directory))
        names.push_back(fs::relative(entry.path(), directory).string() + (entry.is_directory() ? "\\" : ""));
    std::sort(names.begin(), names.end());
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

void RemoveTree(const std::string& directory)
{
    std::error_code error;
    fs::remove_all(directory, error);
}

}  // namespace e2e
