#include "text/codepage936.h"

#include <QSysInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <iconv.h>

namespace tovakidoviv::codepage936 {

namespace {

// QString's storage in the byte order iconv has to write or read it.
constexpr const char *hostUtf16 =
    QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE";

constexpr char16_t replacementCharacter = u'\uFFFD';

class Converter
{
public:
    Converter(const char *to, const char *from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (valid())
            iconv_close(m_cd);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // One iconv() step; returns errno on failure, 0 on success.
    int step(char *&in, size_t &inLeft, char *&out, size_t &outLeft)
    {
        if (iconv(m_cd, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1))
            return errno;
        return 0;
    }

    void reset() { iconv(m_cd, nullptr, nullptr, nullptr, nullptr); }

private:
    iconv_t m_cd;
};

// The GB 18030 bytes of one character (one code unit or a surrogate pair), or
// those of U+FFFD when the character is not a character at all.
QByteArray gb18030Bytes(Converter &gb, QStringView character)
{
    auto convert = [&gb](QStringView units, QByteArray &result) {
        gb.reset();
        char buffer[16];
        char *in = const_cast<char *>(reinterpret_cast<const char *>(units.utf16()));
        size_t inLeft = size_t(units.size()) * sizeof(char16_t);
        char *out = buffer;
        size_t outLeft = sizeof buffer;
        if (gb.step(in, inLeft, out, outLeft) != 0 || inLeft != 0)
            return false;
        result = QByteArray(buffer, out - buffer);
        return true;
    };
    QByteArray result;
    if (gb.valid() && convert(character, result))
        return result;
    const char16_t replacement[] = {replacementCharacter};
    if (gb.valid() && convert(QStringView(replacement, 1), result))
        return result;
    // Without a GB 18030 converter the character can only be marked.
    return QByteArrayLiteral("?");
}

} // namespace

Decoded decode(const QByteArray &bytes)
{
    Decoded result;
    if (bytes.isEmpty()) {
        result.ok = true;
        return result;
    }
    Converter cd(hostUtf16, "CP936");
    if (!cd.valid()) {
        result.converterMissing = true;
        result.badOffset = 0;
        return result;
    }
    // No code page 936 byte sequence yields more code units than it has bytes,
    // and a replaced byte yields one.
    QString text(bytes.size(), Qt::Uninitialized);
    const char *begin = bytes.constData();
    char *in = const_cast<char *>(begin);
    size_t inLeft = size_t(bytes.size());
    char *outBegin = reinterpret_cast<char *>(text.data());
    char *out = outBegin;
    size_t outLeft = size_t(text.size()) * sizeof(char16_t);
    while (inLeft > 0) {
        const int error = cd.step(in, inLeft, out, outLeft);
        if (error == 0)
            continue; // iconv stops only when done or at an error
        if (error == E2BIG || outLeft < sizeof(char16_t)) {
            const qsizetype written = out - outBegin;
            text.resize(text.size() + qMax<qsizetype>(16, text.size() / 2));
            outBegin = reinterpret_cast<char *>(text.data());
            out = outBegin + written;
            outLeft = size_t(text.size()) * sizeof(char16_t) - size_t(written);
            continue;
        }
        // EILSEQ or EINVAL: the byte at `in` starts no character.
        if (result.badOffset < 0)
            result.badOffset = in - begin;
        ++result.replaced;
        const char16_t replacement = replacementCharacter;
        std::memcpy(out, &replacement, sizeof replacement);
        out += sizeof replacement;
        outLeft -= sizeof replacement;
        ++in;
        --inLeft;
        cd.reset();
    }
    text.truncate((out - outBegin) / qsizetype(sizeof(char16_t)));
    result.text = std::move(text);
    result.ok = result.replaced == 0;
    return result;
}

QByteArray encode(const QString &text)
{
    QByteArray result;
    if (text.isEmpty())
        return result;
    Converter cd("CP936", hostUtf16);
    if (!cd.valid())
        return result;
    std::optional<Converter> gb; // opened only when a character needs it

    // Two bytes per code unit hold any code page 936 text; the four-byte
    // sequences come from surrogate pairs (two units) or from the rare single
    // unit outside code page 936, for which the buffer grows.
    result.resize(text.size() * 2);
    const char *begin = reinterpret_cast<const char *>(text.utf16());
    const qsizetype units = text.size();
    qsizetype at = 0;
    qsizetype written = 0;

    // iconv pays for a failure in proportion to the input it was given, so a
    // text dense with such characters would crawl if every step were handed
    // the whole rest. After a failure the steps start small and double while
    // they go through cleanly.
    constexpr qsizetype smallestWindow = 64;
    qsizetype window = units;

    while (at < units) {
        qsizetype length = qMin(window, units - at);
        // A window must not end between the halves of a surrogate pair.
        if (at + length < units && text.at(at + length - 1).isHighSurrogate())
            ++length;
        char *in = const_cast<char *>(begin) + at * qsizetype(sizeof(char16_t));
        size_t inLeft = size_t(length) * sizeof(char16_t);
        char *out = result.data() + written;
        size_t outLeft = size_t(result.size() - written);
        const int error = cd.step(in, inLeft, out, outLeft);
        written = out - result.data();
        at = (in - begin) / qsizetype(sizeof(char16_t));
        if (error == 0) {
            window = qMin(units, window * 2);
            continue;
        }
        if (error == E2BIG) {
            result.resize(result.size() + qMax<qsizetype>(16, result.size() / 2));
            continue;
        }
        // EILSEQ (a character code page 936 lacks, or a lone surrogate) or
        // EINVAL (a high surrogate at the very end): this one character goes
        // through GB 18030, then the fast path resumes.
        qsizetype characterLength = 1;
        const QChar c = text.at(at);
        if (c.isHighSurrogate() && at + 1 < units && text.at(at + 1).isLowSurrogate())
            characterLength = 2;
        if (!gb)
            gb.emplace("GB18030", hostUtf16);
        QByteArray bytes;
        if (c.isSurrogate() && characterLength == 1) {
            const char16_t replacement[] = {replacementCharacter};
            bytes = gb18030Bytes(*gb, QStringView(replacement, 1));
        } else {
            bytes = gb18030Bytes(*gb, QStringView(text).mid(at, characterLength));
        }
        if (result.size() - written < bytes.size())
            result.resize(written + bytes.size() + qMax<qsizetype>(16, result.size() / 2));
        std::copy(bytes.cbegin(), bytes.cend(), result.data() + written);
        written += bytes.size();
        at += characterLength;
        cd.reset();
        window = smallestWindow;
    }
    result.truncate(written);
    return result;
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
