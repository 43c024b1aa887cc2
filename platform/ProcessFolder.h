#pragma once
// A folder that belongs to one running process, under a root that other processes
// (a second viewer, a rebuild of the tool) share: <root>/<prefix><pid>-XXXXXX. The
// process holds a lock on a file inside it for its whole life, so a later process
// tells a folder whose owner has ended (killed, crashed, the machine switched off)
// from one still in use, whatever process ids other namespaces reuse.
//
// Only files the owner made are ever deleted: a caller names them by a rule, and a
// folder that still holds anything else after that stays where it is. The root itself
// is never emptied, so a root that holds the user's own files never loses them.

#include <filesystem>
#include <functional>
#include <string>

namespace platform {

// Whether a file of the folder is one the owner made (its name without the folder).
using OwnFileRule = std::function<bool(const std::string& name)>;

class ProcessFolder {
 public:
  ProcessFolder() = default;
  ~ProcessFolder() { Remove(); }
  ProcessFolder(const ProcessFolder&) = delete;
  ProcessFolder& operator=(const ProcessFolder&) = delete;

  // Makes the folder under `root` (the root and its parents made as needed) and takes
  // its lock; false, with the errno in `error`, when either cannot be made.
  bool Create(const std::filesystem::path& root, const std::string& prefix, OwnFileRule ownFiles, int* error = nullptr);
  // Empty while there is no folder.
  const std::filesystem::path& Path() const { return path_; }
  // Deletes the owner's files in it; the folder and its lock stay.
  void Empty() const;
  // Deletes the owner's files and the lock, then the folder when nothing else is in it.
  void Remove();

 private:
  std::filesystem::path path_;
  OwnFileRule ownFiles_;
  int lock_ = -1;
};

// Under `root`, the folders named <prefix>… whose owner has ended lose the owner's
// files and their lock, and then go themselves when nothing else is in them. A folder
// still being made (no lock yet) is left alone for a minute. The number removed.
int RemoveEndedProcessFolders(const std::filesystem::path& root, const std::string& prefix,
                              const OwnFileRule& ownFiles);

}  // namespace platform
