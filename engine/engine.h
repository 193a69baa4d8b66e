// The formatting engine's public entry: everything the editor, the batch core,
// the command line and the language server use of the engine.
//
// A run is synchronous. The engine's working state is process-wide, so runs
// are serialised: a second thread that enters while a run is in progress waits
// for it to end. Callers never see or touch that state; a run starts from a
// clean state and leaves none behind.
//
// Contract for every entry below: the input is read whole (twice: a detection
// pass, then the formatting pass) and the formatted text is written once, in
// order. Messages reach the caller only through the status hook.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "engine/options.h"
#include "engine/tempfile.h"

namespace prax {

// Results of a run.
enum FormatResult : int {
    kFormatOk = 0,           // the input was formatted to its end
    kInputNotOpened = -1,    // the input cannot be opened; nothing was created
    kOutputFailed = -2,      // the output cannot be opened, or was not written completely
    kScannerFailed = -3,     // a fatal scanner error (e.g. one token beyond the buffer)
    kNoSqlFound = -999,      // neither embedded SQL nor an SQL statement was found
};

// How a run is asked for beyond the process-wide format_options.
struct FormatRequest {
    // -1: a classic run from column 0; formatting host-language text stores
    //     the column of each EXEC SQL into format_options.starting_indentation
    //     (the editor's whole-text Beautify and the batch job rely on that).
    // >= 0: the text stands at this column (a selection, a range): the first
    //     formatted line is laid out as if it began there, starting_indentation
    //     is that column for the run, and format_options is put back as given.
    int start_column = -1;
    // The text is host-language source (a .c or .pc file, say): when it holds
    // no EXEC SQL it holds no SQL, whatever SQL words it contains.
    bool host_source = false;
};

// True when the file name ends in a host-language extension (.c, .h, .cc,
// .cpp, .pc, .pgc, .ec, .sqc, .cbl, .cob, .cpy, .pco; case ignored): such a
// text is formatted with FormatRequest::host_source set.
bool is_host_source_path(std::string_view path);

// Formats the file at `input_path` into `output_path`; see FormatResult.
int format_file(const char *input_path, const char *output_path,
                const FormatRequest &request = FormatRequest{});

// format_file on two open regular files: `in_fd` is read from its start,
// `out_fd` is emptied and written from its start; neither is closed, and both
// are left at some offset. For callers that made both descriptors themselves
// (a batch's temporary file): it saves opening them again by path, and an
// emptied file's flush on close.
int format_fds(int in_fd, int out_fd, const FormatRequest &request = FormatRequest{});

// Formats `input` into `output` in memory (no temporary files). `output` is
// replaced by the formatted text on kFormatOk; on any other result its
// content is unspecified and must not be used.
int format_text(std::string_view input, std::string &output,
                const FormatRequest &request = FormatRequest{});

// The engine's only diagnostic channel. The host installs a hook (the editor's
// status bar, the command line's standard error, a test's capture); without
// one, messages are dropped. Texts arrive as bytes, trailing line feed included.
using StatusHook = std::function<void(std::string_view)>;
void set_status_hook(StatusHook hook);
// The hook installed now (empty when none), so that a caller can listen to a
// run and hand every message on to it.
StatusHook status_hook();
void show_status_message(std::string_view text);

} // namespace prax
