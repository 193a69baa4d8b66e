// libFuzzer target: format_file on arbitrary bytes with arbitrary option
// values (the first bytes of each input, see format_property.h) and a preset
// column. Any broken property aborts, so libFuzzer saves the input as a crash;
// copy it into tests/fuzz/regressions/ to replay it in every build.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/engine.h"
#include "tests/fuzz/format_property.h"

namespace {

std::string work_dir()
{
    // tmpfs when there is one: every execution writes two files.
    const char *dir = std::getenv("PRAX_FUZZ_TMP");
    if (dir && *dir)
        return dir;
    return "/dev/shm";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const std::string dir = work_dir();
    // Status messages are part of a run, but nobody needs to see them here.
    static const bool quiet = (prax::set_status_hook(nullptr), true);
    (void)quiet;
    const prax::fuzz::FuzzCase c = prax::fuzz::decode_case(data, size);
    const std::string failure = prax::fuzz::check_case(c, dir);
    if (!failure.empty()) {
        std::fprintf(stderr, "prax fuzz finding: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
