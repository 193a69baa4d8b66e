// The profile file the editor reads and writes ("Formatting Options",
// "Recent File List", "Settings"): prax::default_profile_path() unless a test
// or a second configuration points the editor elsewhere.
#pragma once

#include <QString>

QString praxProfilePath();
void setPraxProfilePath(const QString &path);
