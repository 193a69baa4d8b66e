// The editor's own settings that are kept in the profile beside the
// formatting options: "Format On Save" in the "Layout Extras" section. The
// engine reads only its layout keys there and keeps every other key when it
// writes the section, so prax-format never sees this one.
#pragma once

#include <string>

// Format on save: Save and Save As beautify the whole text first (one Undo
// step). Off unless the user turns it on in "Layout Extras...".
bool praxFormatOnSave();
void setPraxFormatOnSave(bool on);

// Reads the settings from the profile at `path`; a missing key, or a profile
// that cannot be read, leaves every setting off.
void loadEditorSettings(const std::string &path);
// Writes the settings into the profile at `path`, keeping everything else in
// it. False, with `error` set, when it cannot be read or written.
bool saveEditorSettings(const std::string &path, std::string *error);
