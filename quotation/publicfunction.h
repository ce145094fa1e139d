#pragma once

#include <QString>

namespace tovakidoviv::publicfunction {

struct FirstLine {
    bool ok = false;
    QString line;
    // When !ok: why, in Chinese, naming the file.
    QString error;
};

// Reads the first line of the file at path: the bytes up to the first CR, LF or
// CRLF (or the end of the file), decoded from code page 936, each byte that is
// not valid code page 936 becoming one U+FFFD. Fails when the file is missing,
// not a regular file, unreadable or empty (it has no line at all). Bytes after
// the line break are never looked at.
FirstLine readFirstLine(const QString &path);

// Reads "city.txt" from the current working directory into
// publicvalue::CityData. Returns an empty text on success, otherwise the error.
QString ReadCityFile();

} // namespace tovakidoviv::publicfunction
