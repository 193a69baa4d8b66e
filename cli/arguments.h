// prax-format's command line: what the user asked for, and the inputs it names.
#pragma once

#include <string>
#include <vector>

namespace prax::cli {

inline constexpr const char *kProgram = "prax-format";

// Exit statuses (also in --help, the README and the man page).
enum ExitStatus : int {
    kExitDone = 0,     // formatted, or nothing to change
    kExitChanges = 1,  // --check/--diff found changes, or an input could not be formatted
    kExitUsage = 2,    // usage error, same file as input and output, a token beyond the scanner's limit
};

enum class Mode {
    kFormat,  // to standard output, or to --output
    kCheck,   // --check and/or --diff: write nothing, report what would change
    kInPlace, // --in-place
    kJobList, // --job-list
    kLsp,     // --lsp: the language server
};

struct Arguments {
    Mode mode = Mode::kFormat;
    std::vector<std::string> inputs; // "-" is standard input; directories already walked
    std::string output;              // --output, or "" for standard output
    bool check = false;              // --check
    bool diff = false;               // --diff
    bool backup = false;             // --backup (with --in-place)
    std::string job_list;
    std::string profile;             // --profile FILE, or ""
    bool no_profile = false;
    std::vector<std::string> settings; // --option NAME=VALUE, in order
    std::string stdin_filepath;        // --stdin-filepath PATH
    int jobs = 0;                      // --jobs; 0: the number of cores
    int verbosity = 1;                 // 0 -q, 1 normal, 2 -v
};

// Parses the command line into `args`. Returns -1 to go on, or the exit
// status to end with (0 after --help or --version; 2 after a usage error, which
// has then been reported on standard error).
int parse_arguments(int argc, char **argv, Arguments &args);

// Writes "prax-format: TEXT" or "prax-format: FILE: TEXT" as one line to standard error.
void report(const std::string &text);
void report(const std::string &file, const std::string &text);

} // namespace prax::cli
