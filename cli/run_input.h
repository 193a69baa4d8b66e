// One input of a run: formatted to standard output or --output, or checked
// (--check, --diff). Everything the input has to say comes back in an Outcome,
// so that worker processes can hand it to the parent, which prints outcomes
// in argument order.
#pragma once

#include <memory>
#include <string>

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

// Writes the outcome's texts to standard error and standard output. Returns
// false when standard output could not be written.
bool emit(Outcome &outcome);

} // namespace prax::cli
