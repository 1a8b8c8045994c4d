#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <fstream>
#include <string>

// A product register of the given size, in the layout of the bundled one:
// about 60 bytes a product, Windows-1252, CR LF.
inline QByteArray largeProductRegister(int products)
{
    QByteArray bytes;
    bytes.reserve(qsizetype(products) * 64);
    for (int i = 0; i < products; ++i) {
        bytes += "\"TS";
        bytes += QByteArray::number(i % 97);
        bytes += '-';
        bytes += QByteArray::number(i);
        bytes += "\",\"Tr\xE4skruv f\xF6rzinkad ";
        bytes += QByteArray::number(i % 13 + 3);
        bytes += "x25 200 st\",\"f\xF6rp\",\"";
        bytes += QByteArray::number(i % 500 + 10);
        bytes += ".50\"\r\n";
    }
    return bytes;
}

// A memory figure of this process from /proc/self/status, in bytes.
inline double statusBytes(const char* key)
{
    std::ifstream status("/proc/self/status");
    const std::string wanted = key;
    std::string field;
    while (status >> field) {
        if (field == wanted) {
            double kilobytes = 0;
            status >> kilobytes;
            return kilobytes * 1024;
        }
        status.ignore(1 << 16, '\n');
    }
    return 0;
}

// The peak resident memory of this process so far, in bytes.
inline double peakResidentBytes()
{
    return statusBytes("VmHWM:");
}

// Starts the peak over from the resident memory of now (Linux 4.0 and later).
inline void resetPeakResidentBytes()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

// The resident memory of this process now, in bytes.
inline double residentBytes()
{
    return statusBytes("VmRSS:");
}
