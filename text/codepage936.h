#pragma once

#include <QByteArray>
#include <QString>

// Code page 936 (GBK) text, through the system's converter (iconv). This is the
// only place that knows the encoding.
namespace tovakidoviv::codepage936 {

struct Decoded {
    // The text, each byte that is not valid code page 936 (an invalid lead or
    // trail, or a lead byte cut off at the end) as one U+FFFD, the byte after
    // it decoded afresh.
    QString text;
    // No byte had to be replaced.
    bool ok = false;
    // Byte offset of the first replaced byte, when !ok.
    qsizetype badOffset = -1;
    // How many bytes were replaced.
    qsizetype replaced = 0;
    // The system has no code page 936 converter: text is empty, !ok.
    bool converterMissing = false;
};

Decoded decode(const QByteArray &bytes);

// Encodes text as code page 936. A character that code page 936 cannot hold is
// written as its GB 18030 four-byte sequence (the superset of code page 936), so
// nothing is dropped or replaced by '?'.
QByteArray encode(const QString &text);

// Every byte of 0x80 or above as "%XX" (upper-case hex); all other bytes stand.
QByteArray percentEncodeHighBytes(const QByteArray &bytes);

// The form in which an address is handed to the browser: code page 936 bytes
// with the non-ASCII ones percent-encoded.
QByteArray browserAddress(const QString &address);

} // namespace tovakidoviv::codepage936
