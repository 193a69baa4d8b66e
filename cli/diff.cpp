// Unified diffs: dtl finds the shortest edit script over lines; the hunks
// (3 lines of context, GNU diff's header form) are composed here.
#include "cli/diff.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include <dtl/dtl.hpp>

namespace prax::cli {

namespace {

constexpr long kContext = 3;

// Lines with their line feeds, so that a last line without one differs from
// the same line with one.
std::vector<std::string_view> split_lines(const std::string &text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        const std::size_t stop = end == std::string::npos ? text.size() : end + 1;
        lines.emplace_back(text.data() + start, stop - start);
        start = stop;
    }
    return lines;
}

struct Edit {
    char kind;  // ' ', '-' or '+'
    std::string_view line;
};

// "@@ -12,3 +12,4 @@": a range of one line shows no count; an empty range
// shows the line before it.
std::string range(long first, long count)
{
    if (count == 1)
        return std::to_string(first + 1);
    return std::to_string(count == 0 ? first : first + 1) + "," + std::to_string(count);
}

} // namespace

std::string unified_diff(const std::string &name, const std::string &before, const std::string &after)
{
    if (before == after)
        return std::string();
    const std::vector<std::string_view> a = split_lines(before), b = split_lines(after);
    dtl::Diff<std::string_view, std::vector<std::string_view>> diff(a, b);
    diff.onHuge();
    diff.compose();
    std::vector<Edit> edits;
    for (const auto &[line, info] : diff.getSes().getSequence())
        edits.push_back({info.type == dtl::SES_ADD ? '+' : info.type == dtl::SES_DELETE ? '-' : ' ', line});
    // Within each run of changes, the removed lines first, as diff(1) shows them.
    for (auto run = edits.begin(); run != edits.end();) {
        auto run_end = std::find_if(run, edits.end(), [](const Edit &e) { return e.kind == ' '; });
        std::stable_partition(run, run_end, [](const Edit &e) { return e.kind == '-'; });
        run = run_end == edits.end() ? run_end : run_end + 1;
    }

    std::string out = "--- " + name + "\n+++ " + name + "\n";
    const long n = static_cast<long>(edits.size());
    long i = 0, old_line = 0, new_line = 0; // lines of each text before edits[i]
    while (i < n) {
        if (edits[i].kind == ' ') {
            ++i, ++old_line, ++new_line;
            continue;
        }
        // A hunk: from kContext lines before this change to kContext lines
        // after the last change that follows within 2 * kContext equal lines.
        // The lines before it are equal ones: the previous hunk ended more
        // than kContext lines back.
        const long start = std::max(0L, i - kContext);
        long end = i, last_change = i;
        while (end < n && (edits[end].kind != ' ' || end - last_change <= 2 * kContext)) {
            if (edits[end].kind != ' ')
                last_change = end;
            ++end;
        }
        end = std::min(n, last_change + 1 + kContext);
        long old_count = 0, new_count = 0;
        for (long k = start; k < end; ++k) {
            old_count += edits[k].kind != '+';
            new_count += edits[k].kind != '-';
        }
        const long lead = i - start;
        out += "@@ -" + range(old_line - lead, old_count) + " +" + range(new_line - lead, new_count) + " @@\n";
        for (long k = start; k < end; ++k) {
            out += edits[k].kind;
            out.append(edits[k].line);
            if (edits[k].line.empty() || edits[k].line.back() != '\n')
                out += "\n\\ No newline at end of file\n";
        }
        old_line += old_count - lead;
        new_line += new_count - lead;
        i = end;
    }
    return out;
}

} // namespace prax::cli
