// A fresh folder of its own under the system's temporary folder for one
// test's files, removed with everything in it when the object goes: tests
// never share a fixed name, so two runs at once cannot meet.
#pragma once

#include <filesystem>
#include <string>

class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

// One for the whole test program, made when first asked for and removed at
// its end, for helpers that write a file without a test object at hand.
const ScratchDir& ProgramScratch();
