#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include <cstdint>
#include <cstdio>

// A property that does not hold stops the run with the property's text, so that
// libFuzzer keeps the input that broke it.
#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "\nProperty failed at %s:%d: %s\n", __FILE__, __LINE__, #condition);                  \
            std::fflush(stderr);                                                                                       \
            __builtin_trap();                                                                                          \
        }                                                                                                              \
    } while (0)

inline QByteArrayView fuzzBytes(const uint8_t* data, size_t size)
{
    return QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size));
}

inline QByteArray fuzzHex(QByteArrayView bytes)
{
    return bytes.toByteArray().toHex(' ');
}
