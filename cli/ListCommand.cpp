// tarvo-tool list: the recordings of folders and files, as the file list shows them.

#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "settings/LanguageLibrary.h"
#include "settings/ViewerSettings.h"
#include "sources/DiskService.h"
#include "sources/MemoryRecordingList.h"
#include "sources/NameParsing.h"
#include "sources/RecordingCollection.h"

namespace cli {

namespace {

void PrintListUsage(std::FILE* out) {
  std::fputs(
      "usage: tarvo-tool list [--group all|normal|event|parking] [--language N] PATH...\n"
      "       tarvo-tool list [--group G] [--language N] --card DEV\n\n"
      "Opens the files and folders (folders with all their subfolders) as the viewer's\n"
      "folder picker does, orders the recordings by the date and time in their names and\n"
      "prints one line per recording with six tab-separated columns:\n"
      "number, date, time, type, path, file name.\n"
      "Control characters in paths and names are written as C escapes (\\t, \\n, \\r,\n"
      "\\xHH) and a backslash as \\\\, so each recording stays one line of six columns.\n\n"
      "A file named without an extension is looked up with \".avi\" appended.\n"
      "With --card the recordings of the card (or card image) DEV are listed instead,\n"
      "from its folders NORMAL, INFINITE, EVENT and PARKING.\n\n"
      "options:\n"
      "  --group G      only normal, event or parking recordings (default all)\n"
      "  --language N   language of the type column: 0 English, 1 Korean, 2 German,\n"
      "                 3 Japanese, 4 Chinese, 5 Dutch, 6 French, 7 Italian, 8 Polish,\n"
      "                 9 Portuguese, 10 Russian, 11 Spanish (default: the viewer's\n"
      "                 settings file, else 0)\n\n"
      "Exit status: 0 listed, 1 the paths hold no recording or one of them is missing,\n"
      "2 wrong arguments.\n",
      out);
}

bool ParseGroup(const std::string& text, bool& all, int& group) {
  all = false;
  if (text == "all")
    all = true;
  else if (text == "normal")
    group = kGroupNormal;
  else if (text == "event")
    group = kGroupEvent;
  else if (text == "parking")
    group = kGroupParking;
  else
    return false;
  return true;
}

bool ParseLanguage(const std::string& text, int& language) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 2) return false;
  language = std::stoi(text);
  return language >= kFirstLanguage && language <= kLastLanguage;
}

// A name may hold any byte but "/" and NUL: a newline or tab in it would break the
// one-line, tab-separated form scripts read.
void PutEscaped(const std::string& text, std::FILE* out) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\')
      std::fputs("\\\\", out);
    else if (c == '\t')
      std::fputs("\\t", out);
    else if (c == '\n')
      std::fputs("\\n", out);
    else if (c == '\r')
      std::fputs("\\r", out);
    else if (byte < 0x20 || byte == 0x7F)
      std::fprintf(out, "\\x%02X", byte);
    else
      std::fputc(c, out);
  }
}

bool IsFolderPath(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsFilePath(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Says why the open found nothing: a missing path, or no recording in any of them.
void ReportOpenFailure(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    if (IsFolderPath(path)) continue;
    std::string lookup = path;
    if (path.size() < 4 || names::LowerAscii(path.substr(path.size() - 4)) != ".avi") lookup += ".avi";
    if (!IsFilePath(lookup)) {
      if (lookup == path)
        std::fprintf(stderr, "tarvo-tool list: no such recording file: %s\n", path.c_str());
      else
        std::fprintf(stderr, "tarvo-tool list: no such recording file: %s (looked up as %s)\n", path.c_str(),
                     lookup.c_str());
      return;
    }
  }
  std::fputs("tarvo-tool list: no recordings (.avi files) found in the given paths\n", stderr);
}

}  // namespace

int RunList(const Args& args) {
  if (WantsHelp(args)) {
    PrintListUsage(stdout);
    return kExitOk;
  }
  bool allGroups = true;
  int group = kGroupNormal;
  bool languageGiven = false;
  int language = 0;
  std::vector<std::string> paths;
  std::string card;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (!optionsEnded && arg == "--card") {
      if (i + 1 >= args.size()) {
        std::fputs("tarvo-tool list: --card needs a value\n", stderr);
        return kExitUsage;
      }
      card = args[++i];
      continue;
    }
    if (!optionsEnded && (arg == "--group" || arg == "--language")) {
      if (i + 1 >= args.size()) {
        std::fprintf(stderr, "tarvo-tool list: %s needs a value\n", arg.c_str());
        return kExitUsage;
      }
      const std::string& value = args[++i];
      if (arg == "--group" && !ParseGroup(value, allGroups, group)) {
        std::fprintf(stderr, "tarvo-tool list: unknown group '%s' (all, normal, event or parking)\n", value.c_str());
        return kExitUsage;
      }
      if (arg == "--language") {
        if (!ParseLanguage(value, language)) {
          std::fprintf(stderr, "tarvo-tool list: language must be a number from 0 to 11, not '%s'\n", value.c_str());
          return kExitUsage;
        }
        languageGiven = true;
      }
      continue;
    }
    if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
      std::fprintf(stderr, "tarvo-tool list: unknown option '%s'\n", arg.c_str());
      PrintListUsage(stderr);
      return kExitUsage;
    }
    paths.push_back(arg);
  }
  if (paths.empty() == card.empty()) {
    std::fputs("tarvo-tool list: no PATH given\n", stderr);
    PrintListUsage(stderr);
    return kExitUsage;
  }

  ViewerSettings& settings = TheViewerSettings();
  if (!languageGiven)
    ReadSettings(SettingsFilePath(), settings);
  else
    settings.language = language;
  // The library of the language chosen now, loaded on the first label.
  FreeLanguageLibrary(settings);

  RecordingCollection set;
  for (const char* folder : {"NORMAL", "INFINITE", "EVENT", "PARKING"}) set.AddCardFolder(folder);
  set.AddExtension("AVI");
  set.sourceKind = card.empty() ? kSourceChosenFiles : kSourceCard;
  if (!card.empty()) {
    SourceEntry source;
    source.kind = kSourceCard;
    if (card.size() >= sizeof source.physicalPath) {
      std::fprintf(stderr, "tarvo-tool list: card path too long: %s\n", card.c_str());
      return kExitFailed;
    }
    card.copy(source.physicalPath, card.size());
    if (!set.OpenCard(source)) {
      if (set.openProblem.problem != drives::AccessProblem::kNone) {
        std::fprintf(stderr, "tarvo-tool list: %s cannot be opened: %s\n", card.c_str(),
                     drives::DescribeAccessError(set.openProblem).c_str());
        if (const std::string note = drives::DiskAccessNote(); !note.empty())
          std::fprintf(stderr, "tarvo-tool list: %s\n", note.c_str());
      }
      return kExitFailed;
    }
  } else if (!set.OpenChosenPaths(paths)) {
    ReportOpenFailure(paths);
    return kExitFailed;
  }
  set.SortEntries();

  MemoryRecordingList list;
  if (allGroups)
    set.ListAll(list);
  else
    set.ListGroup(list, group);
  for (const RecordingRow& row : list.rows) {
    for (std::size_t c = 0; c < row.size(); ++c) {
      if (c > 0) std::fputc('\t', stdout);
      PutEscaped(row[c], stdout);
    }
    std::fputc('\n', stdout);
  }
  FreeLanguageLibrary(settings);
  return std::fflush(stdout) == 0 ? kExitOk : kExitFailed;
}

}  // namespace cli
