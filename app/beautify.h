// The text steps of the view's formatting commands, without Qt: the column a
// selection starts at, Beautify of the whole text or of a selection spliced
// back between the bytes around it, and Paste Beautified's formatting of the
// clipboard text. The view moves bytes between the editor and these steps and
// tells the user; nothing here shows anything or touches a file.
//
// Every step leaves format_options.starting_indentation as it found it, also
// after a host-language text (where the engine records its EXEC SQL column
// there while it runs).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace prax {

// Column of byte `pos` of `text` counted from the last line feed before it,
// a tab counting as one column ("x\n\tselect": the 's' is at column 1).
int selection_column(std::string_view text, std::size_t pos);

enum class BeautifyStatus {
    kOk,       // `text` holds the new whole text
    kFailed,   // the engine did not format it (no SQL, ...)
    kTooLarge, // the new whole text would be longer than the limit
};

struct BeautifyResult {
    BeautifyStatus status = BeautifyStatus::kFailed;
    std::string text;                // the new whole text (kOk)
    std::size_t formatted_begin = 0; // the formatted part in `text`: [begin, end)
    std::size_t formatted_end = 0;
    std::string message; // the engine's last message of the run, line end removed:
                         // on kFailed its reason ("No SQL statements found")
};

// Beautify: with `start` < `end` the selection [start, end) is formatted as
// standing at its column ("Format the selected text." goes to the status
// hook first) and spliced back between the bytes before and after it, which
// are kept byte for byte; otherwise the whole text is formatted from column 0.
// `host_source`: the document's file is host-language source. A result longer
// than `max_bytes` is refused.
BeautifyResult beautify_text(std::string_view text, std::size_t start, std::size_t end, bool host_source,
                             std::size_t max_bytes);

// Paste Beautified: `clip` formatted from column 0 with the options as they
// stand. False when the engine does not format it (`out` then unspecified).
bool beautify_clip(std::string_view clip, bool host_source, std::string &out);

} // namespace prax
