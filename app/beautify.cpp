// The text steps of the formatting commands; see beautify.h.
#include "app/beautify.h"

#include "engine/engine.h"
#include "engine/options.h"

namespace prax {

namespace {

// While it lives, every engine message still reaches the installed hook, and
// the last one is kept in `last` (line end removed): a caller that reports a
// failure itself can say why. The hook is put back on every way out.
class LastMessageTap {
public:
    explicit LastMessageTap(std::string &last) : outer_(status_hook())
    {
        set_status_hook([outer = outer_, &last](std::string_view text) {
            last.assign(text);
            while (!last.empty() && (last.back() == '\n' || last.back() == '\r'))
                last.pop_back();
            if (outer)
                outer(text);
        });
    }
    ~LastMessageTap() { set_status_hook(std::move(outer_)); }
    LastMessageTap(const LastMessageTap &) = delete;
    LastMessageTap &operator=(const LastMessageTap &) = delete;

private:
    StatusHook outer_;
};

// Runs the engine on `input` and puts the user's starting_indentation back
// afterwards, whatever the engine recorded there.
bool format_keeping_indentation(std::string_view input, std::string &output, const FormatRequest &request)
{
    const int saved = format_options.starting_indentation;
    const int result = format_text(input, output, request);
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
        const LastMessageTap tap(result.message);
        if (!format_keeping_indentation(text.substr(start, end - start), formatted, request))
            return result;
    } else {
        start = 0;
        end = text.size();
        const LastMessageTap tap(result.message);
        if (!format_keeping_indentation(text, formatted, request))
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
