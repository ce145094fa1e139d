#include "text/codepage936.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace tovakidoviv::codepage936 {

namespace {

// Qt's ICU-backed converters keep a lead byte or a high surrogate at the very
// end of the input as state for the next call, even when told they are
// stateless, so the last character would vanish. A NUL after the input ends
// any such character (NUL is never a trail byte nor a low surrogate) and then
// stands for itself: dropping the one character it yields loses nothing.
constexpr char16_t terminator = u'\0';

} // namespace

std::optional<QString> decode(const QByteArray &bytes)
{
    QStringDecoder decoder("CP936", QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        return std::nullopt;
    QString text = decoder(bytes + QByteArray(1, char(terminator)));
    text.chop(1);
    return text;
}

QByteArray encode(const QString &text)
{
    QStringEncoder encoder("CP936", QStringConverter::Flag::Stateless);
    if (!encoder.isValid())
        return {};
    QByteArray bytes = encoder(text + QChar(terminator));
    bytes.chop(1);
    return bytes;
}

QByteArray percentEncodeHighBytes(const QByteArray &bytes)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    QByteArray result;
    result.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        if (b < 0x80) {
            result.append(byte);
        } else {
            result.append('%');
            result.append(hex[b >> 4]);
            result.append(hex[b & 0x0F]);
        }
    }
    return result;
}

QByteArray browserAddress(const QString &address)
{
    return percentEncodeHighBytes(encode(address));
}

} // namespace tovakidoviv::codepage936
