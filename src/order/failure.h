#pragma once

#include <QString>

namespace core {

// What stopped an operation, as the operator is told it: what they asked for,
// the file or the printer it concerned (if any) and the reason in their language.
struct Failure
{
    QString operation; // "spara ordernumret": completes "Det gick inte att ..."
    QString file;
    QString reason;
    QString printer {}; // the printer's name, when the printer failed
};

// The failure to show for a file that ends part-way through a record: the
// complete records before it are used.
inline Failure endsInsideRecord(const QString& operation, const QString& file)
{
    return { operation, file, QStringLiteral("filen slutar mitt i en post; de hela posterna före den används") };
}

} // namespace core
