// Many inputs at a time: worker processes (the engine's state is process-wide,
// so parallel runs need processes, not threads). Outcomes are emitted in the
// order of the inputs, whichever worker finishes first.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "cli/run_input.h"

namespace prax::cli {

// Runs `task` for every index of `names` (the inputs, for messages) in up to
// `workers` processes (in this process when `workers` or the count is 1) and
// hands each outcome to `emit_one` in index order. Returns the highest status
// that `emit_one` returned.
int run_all(const std::vector<std::string> &names, int workers, const std::function<Outcome(int)> &task,
            const std::function<int(Outcome &)> &emit_one);

} // namespace prax::cli
