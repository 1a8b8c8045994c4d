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

} // namespace core
