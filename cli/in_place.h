// prax-format --in-place and --job-list: files formatted where they are.
#pragma once

#include "cli/arguments.h"

namespace prax::cli {

// -i FILE...: each regular file (a symlink's target) formatted in place; an
// already formatted file is not written; a backup only with --backup.
int run_in_place(const Arguments &args);

// --job-list LIST: the batch job's behaviour, backups included.
int run_job_list(const Arguments &args);

} // namespace prax::cli
