// The outputs of a run, prepared before it and moved into place after it together
// (host/run/outputs.h; the statuses in docs/fxthost.md, "Outputs").
#include "host/run/outputs.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "host/run/crashguard.h"

namespace fxthost {

namespace fs = std::filesystem;

namespace {

// A name beside path that no file has yet: path, the mark, and a number.
std::string FreeName(const std::string& path, const char* mark) {
  static unsigned counter = 0;
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  for (;;) {
    const std::string name =
        path + mark + std::to_string(static_cast<unsigned long long>(stamp) % 1000000007ull) + "-" +
        std::to_string(++counter);
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(name, ec))) return name;
  }
}

// An existing target must be a file: moving a folder aside would replace it by one.
bool Replaceable(const std::string& target, std::string* error) {
  std::error_code ec;
  const fs::file_status status = fs::status(target, ec);
  if (!fs::exists(status) || fs::is_regular_file(status)) return true;
  *error = target + (fs::is_directory(status) ? " is a directory" : " is not a file") +
           "; an output replaces a file";
  return false;
}

bool WriteWhole(const std::string& path, const std::string& content) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace

Outputs::~Outputs() {
  RemoveOnCrash(nullptr);
  std::error_code ignored;
  for (const Output& output : outputs_) {
    if (!output.temporary.empty()) fs::remove(output.temporary, ignored);
    if (!output.aside.empty()) fs::remove(output.aside, ignored);
  }
}

bool Outputs::Prepare(const std::string& target, std::string* error) {
  if (!Replaceable(target, error)) return false;
  Output output;
  output.target = target;
  output.temporary = FreeName(target, ".tmp-");
  std::FILE* file = std::fopen(output.temporary.c_str(), "wb");
  if (!file) {
    *error = "cannot create a file beside " + target + ": " + std::strerror(errno);
    return false;
  }
  std::fclose(file);
  outputs_.push_back(output);
  TellCrashGuard();
  return true;
}

void Outputs::Fill(const std::string& target, std::string content) {
  for (Output& output : outputs_)
    if (output.target == target) {
      output.content = std::move(content);
      output.filled = true;
      return;
    }
}

bool Outputs::Commit(std::vector<std::string>* written, std::string* error) {
  RemoveOnCrash(nullptr);
  for (const Output& output : outputs_)
    if (output.filled && !WriteWhole(output.temporary, output.content)) {
      *error = "cannot write " + output.target + ": " + std::strerror(errno);
      return false;
    }
  std::vector<Output*> moved;
  for (Output& output : outputs_) {
    if (!output.filled) continue;
    if (!MoveIntoPlace(output, error)) {
      PutBack(moved);
      return false;
    }
    moved.push_back(&output);
  }
  std::error_code ignored;
  for (Output* output : moved) {
    if (!output->aside.empty()) fs::remove(output->aside, ignored);
    output->aside.clear();
    written->push_back(output->target);
  }
  return true;
}

bool Outputs::MoveIntoPlace(Output& output, std::string* error) {
  if (!Replaceable(output.target, error)) return false;
  std::error_code ec;
  if (fs::exists(output.target, ec)) {
    const std::string aside = FreeName(output.target, ".old-");
    fs::rename(output.target, aside, ec);
    if (ec) {
      *error = "cannot replace " + output.target + ": " + ec.message();
      return false;
    }
    output.aside = aside;
  }
  fs::rename(output.temporary, output.target, ec);
  if (ec) {
    *error = "cannot replace " + output.target + ": " + ec.message();
    std::error_code ignored;
    if (!output.aside.empty()) fs::rename(output.aside, output.target, ignored);
    output.aside.clear();
    return false;
  }
  output.temporary.clear();
  return true;
}

// Takes the files moved into place back out, the last first, and puts back those they
// replaced.
void Outputs::PutBack(const std::vector<Output*>& moved) {
  std::error_code ignored;
  for (auto it = moved.rbegin(); it != moved.rend(); ++it) {
    Output& output = **it;
    fs::remove(output.target, ignored);
    if (!output.aside.empty()) fs::rename(output.aside, output.target, ignored);
    output.aside.clear();
  }
}

// The crash guard removes the temporary files when the plug-in crashes; its list is
// made again after each one is added, as the strings may have moved.
void Outputs::TellCrashGuard() {
  crashFiles_.clear();
  for (const Output& output : outputs_) crashFiles_.push_back(output.temporary.c_str());
  crashFiles_.push_back(nullptr);
  RemoveOnCrash(crashFiles_.data());
}

}  // namespace fxthost
