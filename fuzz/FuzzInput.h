#pragma once
// The readers take file names, so each fuzz input is written to a file of this process first.

#include <unistd.h>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

class FuzzInputFile {
public:
    explicit FuzzInputFile(const std::string& name)
        : path_(
              (std::filesystem::temp_directory_path() / ("fuzz-" + std::to_string(::getpid()) + "-" + name)).string()) {
    }
    ~FuzzInputFile() { ::unlink(path_.c_str()); }

    const std::string& Path() const { return path_; }

    void Write(const std::uint8_t* data, std::size_t size) const {
        std::FILE* file = std::fopen(path_.c_str(), "wb");
        if (!file) __builtin_trap();
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }

private:
    std::string path_;
};
