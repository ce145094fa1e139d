// Code page 936: the browser form of any text is plain ASCII and decodes back
// to the text's code page 936 bytes; those bytes decode to the text whenever
// code page 936 can hold it; any bytes decode, a bad byte to one U+FFFD.
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
    // Only the high bytes were escaped: "%" typed in the text stays a bare "%".
    qsizetype i = 0;
    for (char c : encoded) {
        if (uint8_t(c) >= 0x80) {
            FUZZ_CHECK(forBrowser.mid(i, 3) == "%" + QByteArray(1, c).toHex().toUpper());
            i += 3;
        } else {
            FUZZ_CHECK(forBrowser.at(i) == c);
            ++i;
        }
    }
    // Bytes below 0x80 stand as they are, each high byte becomes three.
    qsizetype high = 0;
    for (char c : encoded)
        high += uint8_t(c) >= 0x80;
    FUZZ_CHECK(forBrowser.size() == encoded.size() + 2 * high);
    const codepage936::Decoded back = codepage936::decode(encoded);
    if (back.ok && !text.contains(QChar(0xFFFD)))
        FUZZ_CHECK(codepage936::encode(back.text) == encoded);
    // Any bytes decode: each bad byte is one U+FFFD (code page 936 has no such
    // character of its own), no byte yields more than one code unit, and the
    // first bad byte lies inside them.
    const codepage936::Decoded anyBytes = codepage936::decode(raw);
    FUZZ_CHECK(!anyBytes.converterMissing);
    FUZZ_CHECK(anyBytes.ok == (anyBytes.replaced == 0));
    FUZZ_CHECK(anyBytes.text.count(QChar(0xFFFD)) == anyBytes.replaced);
    FUZZ_CHECK(anyBytes.text.size() <= raw.size());
    FUZZ_CHECK(raw.isEmpty() || !anyBytes.text.isEmpty());
    if (!anyBytes.ok)
        FUZZ_CHECK(anyBytes.badOffset >= 0 && anyBytes.badOffset < raw.size());
    else
        FUZZ_CHECK(anyBytes.badOffset == -1);
    return 0;
}
