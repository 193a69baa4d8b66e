// In-place formatting through the batch core: see in_place.h.
#include "cli/in_place.h"

#include <sys/stat.h>

#include <algorithm>
#include <set>
#include <utility>

#include "batch/batch.h"
#include "cli/profiles.h"
#include "cli/run_input.h"
#include "cli/workers.h"

namespace prax::cli {

namespace {

// A failure of the batch core (a backup that cannot be made, say) or of the engine.
void report_in_place_failure(const InputPlan &plan, const EngineRun &run, Outcome &outcome)
{
    if (run.result == kBackupFailed) {
        outcome.err += line(plan.shown_name, batch_result_text(run.result));
        outcome.status = kExitChanges;
        return;
    }
    report_failure(plan, run, false, outcome);
    outcome.status = kExitChanges; // the file keeps its text; other files go on
}

Outcome in_place_input(InPlaceRun &files, const InputPlan &plan, const Arguments &args)
{
    Outcome outcome;
    outcome.err = plan.notes;
    // Only a regular file (a symlink's target) can be formatted in place: a
    // FIFO or a device would be replaced by a file, a directory cannot be.
    struct stat info;
    if (::stat(plan.name.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        outcome.err += line(plan.shown_name, plan.name == "-" || ::stat(plan.name.c_str(), &info) == 0
                                                 ? "not a regular file; left as it is"
                                                 : "cannot open the file");
        outcome.status = kExitChanges;
        return outcome;
    }
    format_options = plan.options;
    EngineRun run;
    capture_engine(run, [&] { return files.format(plan.name); });
    add_messages(plan, args, run, outcome);
    if (run.result != kFormatOk)
        report_in_place_failure(plan, run, outcome);
    return outcome;
}

// The inputs with each file (device and inode) once: "-i d.sql ./d.sql"
// would otherwise format the file twice and, with --backup, lose its original.
std::vector<std::string> each_file_once(const std::vector<std::string> &inputs)
{
    std::set<std::pair<dev_t, ino_t>> seen;
    std::vector<std::string> once;
    for (const std::string &input : inputs) {
        struct stat info;
        if (::stat(input.c_str(), &info) == 0 && !seen.emplace(info.st_dev, info.st_ino).second)
            continue;
        once.push_back(input);
    }
    return once;
}

} // namespace

int run_in_place(const Arguments &args)
{
    const std::vector<std::string> inputs = each_file_once(args.inputs);
    std::vector<InputPlan> plans;
    if (int status = plan_inputs(args, inputs, plans); status >= 0)
        return status;
    InPlaceOptions how;
    how.backup = args.backup;
    how.skip_unchanged = true;
    how.no_sql_is_success = true;
    // One run for all the files (each worker process has its own copy): a
    // folder is searched for stale temporary files once, not once per file.
    // Searching it per file read the whole folder each time, so 10,000 files
    // in one folder cost 10,000 listings of 10,000 names.
    InPlaceRun files(how);
    return run_all(
        inputs, args.jobs,
        [&](int i) { return in_place_input(files, plans[static_cast<std::size_t>(i)], args); },
        [](Outcome &outcome) {
            emit(outcome);
            return outcome.status;
        });
}

int run_job_list(const Arguments &args)
{
    // The list's entries share the profile of the list's own folder.
    std::vector<InputPlan> plans;
    if (int status = plan_inputs(args, {args.job_list}, plans); status >= 0)
        return status;
    InputPlan plan = std::move(plans.front());
    Outcome outcome;
    outcome.err = plan.notes;
    format_options = plan.options;
    EngineRun run;
    capture_engine(run, [&] {
        return format_job_list_in_place(args.job_list, [&](const std::string &file, int result) {
            plan.shown_name = file;
            EngineRun failed{result, {}};
            if (result == kScannerFailed)
                failed.messages = run.messages; // filled so far: the last is the cause
            report_in_place_failure(plan, failed, outcome);
        });
    });
    emit(outcome);
    return outcome.status;
}

} // namespace prax::cli
