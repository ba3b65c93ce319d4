// The files a run writes (-o, --report, the further documents' outputs, and whatever
// output an option adds), all or nothing: each is prepared as a temporary file beside its
// target before the plug-in runs, and after the run they are moved into place together
// or not at all (docs/fxthost.md, "Outputs").
#pragma once

#include <string>
#include <vector>

namespace fxthost {

class Outputs {
 public:
  Outputs() = default;
  // Removes every temporary file still there, and any file kept aside.
  ~Outputs();
  Outputs(const Outputs&) = delete;
  Outputs& operator=(const Outputs&) = delete;

  // Makes an empty temporary file beside target, removed again should the plug-in crash.
  // False, with the reason, when target is no file that can be replaced or the file
  // cannot be made (a folder that does not exist or that refuses it).
  bool Prepare(const std::string& target, std::string* error);
  // The text to write to a prepared target; a target given none is not written.
  void Fill(const std::string& target, std::string content);
  // Writes every text into its temporary file, then moves each into place, keeping each
  // file it replaces aside until all are in place. When a step fails, the files moved are
  // taken back out and the old ones put back, and the reason is in error: either every
  // target filled is written (listed in written, in the order prepared), or none.
  bool Commit(std::vector<std::string>* written, std::string* error);

 private:
  struct Output {
    std::string target;
    std::string temporary;  // empty once moved into place
    std::string aside;      // the file it replaced, while the others are moved
    std::string content;
    bool filled = false;
  };
  bool MoveIntoPlace(Output& output, std::string* error);
  void PutBack(const std::vector<Output*>& moved);
  void TellCrashGuard();

  std::vector<Output> outputs_;
  std::vector<const char*> crashFiles_;  // the temporary files, null-terminated
};

}  // namespace fxthost
