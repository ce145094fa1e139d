#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Code page 936 (GBK) text, through Qt's converters, which reach the system's
// ICU and its table of Windows' code page 936. This is the only place that
// knows the encoding.
namespace tovakidoviv::codepage936 {

// The text of bytes as Windows reads code page 936: 0x80 is the euro sign, 0xFF
// is U+F8F5, a lead byte without its trail byte (at the end, or before a byte
// that cannot be a trail) is one U+FFFD and the byte after it is read afresh.
// No value when the system has no code page 936 converter.
std::optional<QString> decode(const QByteArray &bytes);

// The code page 936 bytes of text; a character that code page 936 cannot hold
// (a lone surrogate included) is written as '?', as Windows writes it.
QByteArray encode(const QString &text);

// Every byte of 0x80 or above as "%XX" (upper-case hex); all other bytes stand.
QByteArray percentEncodeHighBytes(const QByteArray &bytes);

// The form in which an address is handed to the browser: code page 936 bytes
// with the non-ASCII ones percent-encoded.
QByteArray browserAddress(const QString &address);

} // namespace tovakidoviv::codepage936
