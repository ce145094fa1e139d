#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

// Cuts a fuzzer's bytes into fields: texts are separated by 0xFF bytes (which
// UTF-8 never contains), so the fuzzer can grow and shrink each one.
class FuzzInput
{
public:
    FuzzInput(const uint8_t *data, size_t size)
        : m_bytes(reinterpret_cast<const char *>(data), qsizetype(size))
    {
    }

    QByteArray nextBytes()
    {
        if (m_at > m_bytes.size())
            return {};
        qsizetype end = m_bytes.indexOf('\xFF', m_at);
        if (end < 0)
            end = m_bytes.size();
        QByteArray field = m_bytes.mid(m_at, end - m_at);
        m_at = end + 1;
        return field;
    }

    QString nextText() { return QString::fromUtf8(nextBytes()); }

    // One bit at a time from the field's first byte.
    bool nextBool()
    {
        const QByteArray field = nextBytes();
        return !field.isEmpty() && (field.at(0) & 1);
    }

    bool atEnd() const { return m_at > m_bytes.size(); }

private:
    QByteArray m_bytes;
    qsizetype m_at = 0;
};

// A finding: abort with the reason so the fuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            fprintf(stderr, "invariant broken: %s (%s:%d)\n", #condition, __FILE__, __LINE__);     \
            abort();                                                                               \
        }                                                                                          \
    } while (0)
