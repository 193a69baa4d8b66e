// prax-format: the formatting engine on the command line.
//
//   prax-format [OPTIONS] [FILE...]          each FILE formatted to standard output, in order
//   prax-format [OPTIONS] FILE -o OUTPUT     the one FILE formatted into OUTPUT
//   prax-format [OPTIONS] --check/--diff FILE...
//   prax-format [OPTIONS] -i FILE...         in place
//   prax-format [OPTIONS] --job-list LIST    the batch job's list, in place with backups
//
// "-" or no FILE is standard input. Standard output carries only formatted text
// or diffs; messages go to standard error, one per line. See --help.
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "cli/arguments.h"
#include "cli/in_place.h"
#include "cli/profiles.h"
#include "cli/run_input.h"
#include "cli/temp_files.h"
#include "cli/workers.h"
#include "lsp/server.h"

namespace prax::cli {
namespace {

// True when writing `output` would write over `input`: the same path, or the
// same file (device and inode) under another name or as standard input.
bool same_file(const std::string &input, const std::string &output)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    if (input != "-" && fs::absolute(input, ec).lexically_normal() == fs::absolute(output, ec).lexically_normal())
        return true;
    struct stat in, out;
    const int got_in = input == "-" ? ::fstat(0, &in) : ::stat(input.c_str(), &in);
    return got_in == 0 && ::stat(output.c_str(), &out) == 0 && in.st_dev == out.st_dev && in.st_ino == out.st_ino;
}

// Formats, checks or diffs every input; outcomes come out in argument order.
int run_inputs(const Arguments &args)
{
    if (args.inputs.empty()) {
        if (args.verbosity >= 1)
            report("no files to format under the folders given");
        return kExitDone;
    }
    if (!args.output.empty() && same_file(args.inputs.front(), args.output)) {
        report(args.output, "is the same file as the input; nothing written");
        return kExitUsage;
    }
    std::vector<InputPlan> plans;
    if (int status = plan_inputs(args, args.inputs, plans); status >= 0)
        return status;
    bool stdout_failed = false;
    return run_all(
        args.inputs, args.jobs, [&](int i) { return run_input(plans[static_cast<std::size_t>(i)], args); },
        [&](Outcome &outcome) {
            if (!stdout_failed && !emit(outcome)) {
                stdout_failed = true;
                report("cannot write standard output");
            }
            return stdout_failed ? std::max<int>(outcome.status, kExitChanges) : outcome.status;
        });
}

} // namespace
} // namespace prax::cli

int main(int argc, char **argv)
{
    using namespace prax::cli;
    remove_temp_files_on_signals();
    Arguments args;
    if (const int status = parse_arguments(argc, argv, args); status >= 0)
        return status;
    switch (args.mode) {
    case Mode::kLsp:
        // The language server speaks on standard input and output from here.
        return prax::lsp::run_language_server(stdin, stdout);
    case Mode::kInPlace:
        return run_in_place(args);
    case Mode::kJobList:
        return run_job_list(args);
    case Mode::kFormat:
    case Mode::kCheck:
        break;
    }
    return run_inputs(args);
}
