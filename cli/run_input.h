// One input of a run: formatted to standard output or --output, or checked
// (--check, --diff). Everything the input has to say comes back in an Outcome,
// so that worker processes can hand it to the parent, which prints outcomes
// in argument order.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/profiles.h"
#include "cli/temp_files.h"

namespace prax::cli {

struct Outcome {
    int status = kExitDone;
    std::string err;                   // complete lines for standard error
    std::string out;                   // for standard output: a diff, or formatted text
    std::unique_ptr<TempFile> out_file; // or formatted text too large to hold: copied after `out`
};

Outcome run_input(const InputPlan &plan, const Arguments &args);

// "prax-format: FILE: TEXT\n"
std::string line(const std::string &file, const std::string &text);

// One engine run and the messages it showed, one line each.
struct EngineRun {
    int result = 0;
    std::vector<std::string> messages;
};
// Runs `work` (a call into the engine) with the status hook collecting its
// messages into `run` (readable while it runs) and its result.
void capture_engine(EngineRun &run, const std::function<int()> &work);

// The engine's messages of a run as lines of `outcome`: notes ("Treat the
// text as ...") with -v, warnings (an unbalanced parenthesis) unless -q; the
// last message of a scanner failure is left to report_failure.
void add_messages(const InputPlan &plan, const Arguments &args, const EngineRun &run, Outcome &outcome);

// A failed run as an error line of `outcome` and its status: the engine's own
// message is the cause of a scanner failure ("input buffer overflow, ...",
// "input in flex scanner failed" for a read error, "The formatted text would
// be too large"). `checking`: any error is status 2.
void report_failure(const InputPlan &plan, const EngineRun &run, bool checking, Outcome &outcome);

// Writes the outcome's texts to standard error and standard output. Returns
// false when standard output could not be written.
bool emit(Outcome &outcome);

} // namespace prax::cli
