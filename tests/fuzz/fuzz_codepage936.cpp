// Code page 936: the browser form of any text is plain ASCII and decodes back
// to the text's code page 936 bytes; those bytes read back to themselves; any
// bytes decode, a bad byte to one U+FFFD.
#include "fuzzinput.h"
#include "text/codepage936.h"

using namespace tovakidoviv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const QByteArray raw = input.nextBytes();
    const QString text = QString::fromUtf8(raw);
    const QByteArray encoded = codepage936::encode(text);
    const QByteArray forBrowser = codepage936::browserAddress(text);
    for (char c : forBrowser)
        FUZZ_CHECK(uint8_t(c) < 0x80);
    // Only the high bytes were escaped, each to three: "%" typed in the text
    // stays a bare "%", and nothing is added.
    qsizetype i = 0;
    for (char c : encoded) {
        if (uint8_t(c) >= 0x80) {
            FUZZ_CHECK(forBrowser.mid(i, 3) == "%" + QByteArray(1, c).toHex().toUpper());
            i += 3;
        } else {
            FUZZ_CHECK(forBrowser.mid(i, 1) == QByteArray(1, c));
            ++i;
        }
    }
    FUZZ_CHECK(i == forBrowser.size());
    // What was written is code page 936 throughout and reads back to itself.
    const std::optional<QString> back = codepage936::decode(encoded);
    FUZZ_CHECK(back && !back->contains(QChar(0xFFFD)));
    FUZZ_CHECK(codepage936::encode(*back) == encoded);
    // Any bytes decode: a lead byte (0x81 to 0xFE) takes the byte after it when
    // that can be a trail byte (0x40 to 0x7E, 0x80 to 0xFE); otherwise it alone
    // is one U+FFFD (code page 936 has no such character of its own) and the
    // next byte is read afresh. Every other byte is one character.
    const std::optional<QString> anyBytes = codepage936::decode(raw);
    FUZZ_CHECK(anyBytes.has_value());
    qsizetype characters = 0;
    qsizetype bad = 0;
    for (qsizetype i = 0; i < raw.size(); ++i, ++characters) {
        const auto lead = uint8_t(raw.at(i));
        if (lead < 0x81 || lead == 0xFF)
            continue;
        const auto trail = i + 1 < raw.size() ? uint8_t(raw.at(i + 1)) : 0;
        if ((trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFE))
            ++i;
        else
            ++bad;
    }
    FUZZ_CHECK(anyBytes->size() == characters);
    FUZZ_CHECK(anyBytes->count(QChar(0xFFFD)) == bad);
    return 0;
}
