// The profile file the editor reads and writes ("Formatting Options",
// "Recent File List", "Settings"): prax::default_profile_path() unless a test
// or a second configuration points the editor elsewhere.
#pragma once

#include <QString>

#include <string>

QString praxProfilePath();
// The same path as the engine's profile functions take it (file-name bytes).
std::string praxProfileFile();
void setPraxProfilePath(const QString &path);
