#pragma once

#include <QByteArray>
#include <QString>

// Code page 936 (GBK) text, through the system's converter (iconv). This is the
// only place that knows the encoding.
namespace tovakidoviv::codepage936 {

struct Decoded {
    QString text;
    bool ok = false;
    // Byte offset of the first byte that is not valid code page 936, when !ok.
    qsizetype badOffset = -1;
};

// Strict decoding: any invalid byte sequence makes the result fail.
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
