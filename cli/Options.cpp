#include "cli/Options.h"

#include <set>

const char kUsage[] =
    "usage: pictrove-cli [--demo [FOLDER]] COMMAND [OPTIONS]\n"
    "\n"
    "  list [--new] [--json]            the camera's pictures and other files, newest first\n"
    "  get [--new] [--kind KINDS] [--into PATTERN] [--skip-existing] [--delete] [NAME...]\n"
    "                                   download pictures (all, the new ones or those named),\n"
    "                                   each with the files that go with it; --kind: only\n"
    "                                   these kinds, comma-separated, of picture, raw, movie,\n"
    "                                   sound, thumbnail, other; --delete: then delete each\n"
    "                                   one safe on disk from the camera, keeping protected ones\n"
    "  mark downloaded|new|protected|unprotected NAME...\n"
    "  delete NAME...                   delete pictures (protected ones are refused)\n"
    "  info [--json]                    model, owner, storage and power\n"
    "  owner NAME                       set the camera's owner name\n"
    "  upload FILE                      send a JPEG file to the camera\n"
    "  clock [--set] [--json]           the camera's clock; --set sets it to this computer's\n"
    "  wait                             return once a camera is present and read\n"
    "\n"
    "  NAME             a file's 8.3 name or camera path; get and mark take a thumbnail\n"
    "                   file's or sound note's name for the picture or movie it goes with\n"
    "  --demo [FOLDER]  a simulated camera (its own card, or FOLDER's camera files)\n"
    "  --help, --version\n";

namespace {

const std::set<std::string> kCommands = {"list",  "get",    "mark", "delete", "info",
                                         "owner", "upload", "wait", "clock"};
const std::set<std::string> kMarks = {"downloaded", "new", "protected", "unprotected"};

bool Usage(std::string* error, const std::string& reason) {
  *error = reason;
  return false;
}

// Adds the kinds of a comma-separated list of their words: false at a word that is none.
bool ReadKinds(const std::string& list, std::set<FileKind>* kinds, std::string* error) {
  for (size_t start = 0;;) {
    size_t end = list.find(',', start);
    const std::string word = list.substr(start, end == std::string::npos ? end : end - start);
    bool known = false;
    for (int kind = 0; kind <= int(FileKind::kOther) && !known; kind++) {
      known = word == KindWord(FileKind(kind));
      if (known) kinds->insert(FileKind(kind));
    }
    if (!known)
      return Usage(error, "--kind: unknown kind \"" + word +
                              "\" (picture, raw, movie, sound, thumbnail or other)");
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}

// The options each command takes.
bool CommandOption(const std::string& command, const std::string& option) {
  if (option == "--json") return command == "list" || command == "info" || command == "clock";
  if (option == "--set") return command == "clock";
  if (option == "--new") return command == "list" || command == "get";
  if (option == "--into" || option == "--kind" || option == "--skip-existing" ||
      option == "--delete")
    return command == "get";
  return false;
}

// How many operands the command takes: at least, at most (-1: any number).
std::pair<int, int> OperandCount(const std::string& command) {
  if (command == "get") return {0, -1};
  if (command == "mark" || command == "delete") return {1, -1};
  if (command == "owner" || command == "upload") return {1, 1};
  return {0, 0};
}

}  // namespace

bool ParseOptions(const std::vector<std::string>& arguments, CliOptions* options,
                  std::string* error) {
  size_t i = 0;
  for (; i < arguments.size() && options->command.empty(); i++) {
    const std::string& argument = arguments[i];
    if (argument == "--help" || argument == "-h") {
      options->help = true;
      return true;
    }
    if (argument == "--version") {
      options->version = true;
      return true;
    }
    if (argument == "--demo") {
      options->demo = true;
      // The folder is optional: what follows is the folder unless it is a command.
      if (i + 1 < arguments.size() && kCommands.count(arguments[i + 1]) == 0 &&
          arguments[i + 1].rfind("-", 0) != 0) {
        options->demo_folder = arguments[++i];
        if (options->demo_folder.empty()) return Usage(error, "--demo: the folder's name is empty");
      }
      continue;
    }
    if (kCommands.count(argument) == 0) return Usage(error, "unknown command: " + argument);
    options->command = argument;
  }
  if (options->command.empty()) return Usage(error, "no command given");

  bool operands_only = false;
  for (; i < arguments.size(); i++) {
    const std::string& argument = arguments[i];
    if (argument == "--help" || argument == "-h") {
      options->help = true;
      return true;
    }
    if (!operands_only && argument == "--") {
      operands_only = true;
      continue;
    }
    if (operands_only || argument.rfind("--", 0) != 0) {
      if (options->command == "mark" && options->mark.empty()) {
        if (kMarks.count(argument) == 0) return Usage(error, "mark what? " + argument);
        options->mark = argument;
      } else {
        options->operands.push_back(argument);
      }
      continue;
    }
    if (!CommandOption(options->command, argument))
      return Usage(error, options->command + " takes no option " + argument);
    if (argument == "--json") options->json = true;
    if (argument == "--set") options->set = true;
    if (argument == "--new") options->only_new = true;
    if (argument == "--skip-existing") options->skip_existing = true;
    if (argument == "--delete") options->delete_after = true;
    if (argument == "--into") {
      if (i + 1 >= arguments.size() || arguments[i + 1].empty())
        return Usage(error, "--into needs a folder or pattern");
      options->into = arguments[++i];
    }
    if (argument == "--kind") {
      if (i + 1 >= arguments.size()) return Usage(error, "--kind needs a list of kinds");
      if (!ReadKinds(arguments[++i], &options->kinds, error)) return false;
    }
  }
  if (options->command == "mark" && options->mark.empty())
    return Usage(error, "mark needs downloaded, new, protected or unprotected");
  auto [least, most] = OperandCount(options->command);
  int given = int(options->operands.size());
  if (given < least) return Usage(error, options->command + " needs a name");
  if (most >= 0 && given > most) return Usage(error, options->command + ": too many arguments");
  return true;
}
