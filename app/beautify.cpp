// The text steps of the formatting commands; see beautify.h.
#include "app/beautify.h"

#include "engine/engine.h"
#include "engine/options.h"

namespace prax {

namespace {

// Runs the engine on `input` and puts the user's starting_indentation back
// afterwards, whatever the engine recorded there. With `last_message` the
// run's messages still reach the installed hook, and the last one is kept
// there: a caller that reports a failure itself can say why.
bool format_keeping_indentation(std::string_view input, std::string &output, const FormatRequest &request,
                                std::string *last_message = nullptr)
{
    const int saved = format_options.starting_indentation;
    StatusHook outer;
    if (last_message) {
        outer = status_hook();
        set_status_hook([outer, last_message](std::string_view text) {
            last_message->assign(text);
            while (!last_message->empty() && (last_message->back() == '\n' || last_message->back() == '\r'))
                last_message->pop_back();
            if (outer)
                outer(text);
        });
    }
    const int result = format_text(input, output, request);
    if (last_message)
        set_status_hook(std::move(outer));
    format_options.starting_indentation = saved;
    return result == kFormatOk;
}

} // namespace

int selection_column(std::string_view text, std::size_t pos)
{
    // Only a line feed ends a line here, as in the editor's own line count.
    pos = pos < text.size() ? pos : text.size();
    const std::size_t newline = pos == 0 ? std::string_view::npos : text.rfind('\n', pos - 1);
    return static_cast<int>(newline == std::string_view::npos ? pos : pos - newline - 1);
}

BeautifyResult beautify_text(std::string_view text, std::size_t start, std::size_t end, bool host_source,
                             std::size_t max_bytes)
{
    BeautifyResult result;
    const bool selection = start < end && end <= text.size();
    FormatRequest request;
    request.host_source = host_source;
    std::string formatted;
    if (selection) {
        request.start_column = selection_column(text, start);
        show_status_message("Format the selected text.");
        if (!format_keeping_indentation(text.substr(start, end - start), formatted, request, &result.message))
            return result;
    } else {
        start = 0;
        end = text.size();
        if (!format_keeping_indentation(text, formatted, request, &result.message))
            return result;
    }
    if (start + formatted.size() + (text.size() - end) > max_bytes) {
        result.status = BeautifyStatus::kTooLarge;
        return result;
    }
    result.text.reserve(start + formatted.size() + (text.size() - end));
    result.text.append(text.substr(0, start)).append(formatted).append(text.substr(end));
    result.formatted_begin = start;
    result.formatted_end = start + formatted.size();
    result.status = BeautifyStatus::kOk;
    return result;
}

bool beautify_clip(std::string_view clip, bool host_source, std::string &out)
{
    FormatRequest request;
    request.host_source = host_source;
    return format_keeping_indentation(clip, out, request);
}

} // namespace prax
