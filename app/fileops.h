// File operations of the formatting commands: the engine works from a file to
// a file, so every command writes its text to a temporary file, runs the
// engine, and assembles and reads the result back through these functions.
//
// All of them move bytes exactly (no line-end translation) and report failure
// as -1; none of them shows anything to the user. No Qt here.
#pragma once

#include <string>
#include <string_view>

namespace prax {

// The engine's input and output file of the formatting command in progress.
// Shared by all views; filled afresh by make_temp_names at the start of each
// command and removed by remove_temp_names at its end.
extern std::string temp_in_path;
extern std::string temp_out_path;

// Creates two new, empty, uniquely named files (exclusively, through
// create_temp_file) and stores their paths in temp_in_path and temp_out_path.
// Returns 0, or -1 when either cannot be created (then neither remains and
// both paths are empty).
int make_temp_names();

// Removes the files named by temp_in_path and temp_out_path (when set) and
// clears both paths.
void remove_temp_names();

// Creates or truncates `path` and writes `text` to it. 0, or -1 when the file
// cannot be opened or not every byte could be written.
int write_text_file(const std::string &path, std::string_view text);

// Appends `text` to `path`, creating the file when missing. 0 or -1, as above.
int append_text_file(const std::string &path, std::string_view text);

// Appends every byte of `source` to `destination` (created when missing).
// Returns the number of bytes copied, or -1 when either file cannot be opened
// or a read or write fails.
int append_file_to_file(const std::string &source, const std::string &destination);

// Sets `text` to the whole content of `path`. 0, or -1 when the file cannot be
// opened or read (then `text` is empty).
int read_file_text(const std::string &path, std::string &text);

} // namespace prax
