#pragma once
// The program's folders and case-insensitive look-ups in the data folder.
#include <QString>

// Folder of the running executable, with a trailing "/".
QString AppFolder();
// AppFolder() followed by "_BIN2022/".
QString DataFolder();
// Overrides the executable's folder (tests, tools run from elsewhere). Empty restores the default.
void SetAppFolder(const QString& folder);

// The text with "/" appended unless it already ends with "/" or "\" (an empty text gives "/").
QString AddBackslash(const QString& text);

// Resolves a name relative to `base` (DataFolder() by default) without regard to letter case;
// "\" and "/" both separate components. Returns the existing path, or an empty text.
QString FindDataFile(const QString& relativeName, const QString& base = QString());
// Same as FindDataFile, but when nothing exists returns the name joined to the base as given.
QString DataFilePath(const QString& relativeName, const QString& base = QString());
