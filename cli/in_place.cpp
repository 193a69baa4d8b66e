// In-place formatting through the batch core: see in_place.h.
#include "cli/in_place.h"

#include "app/dialogs/batch_core.h"
#include "cli/profiles.h"

namespace prax::cli {

namespace {

void report_file(const std::string &file, int result)
{
    report(file, batch_result_text(result));
}

} // namespace

int run_in_place(const Arguments &args)
{
    std::vector<InputPlan> plans;
    if (int status = plan_inputs(args, args.inputs, plans); status >= 0)
        return status;
    int failed = 0;
    for (const InputPlan &plan : plans) {
        format_options = plan.options;
        failed += format_files_in_place({plan.name}, report_file);
    }
    return failed ? kExitChanges : kExitDone;
}

int run_job_list(const Arguments &args)
{
    std::vector<InputPlan> plans;
    if (int status = plan_inputs(args, {args.job_list}, plans); status >= 0)
        return status;
    format_options = plans.front().options;
    return format_job_list_in_place(args.job_list, report_file) ? kExitChanges : kExitDone;
}

} // namespace prax::cli
