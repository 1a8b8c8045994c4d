#pragma once

#include <QString>

namespace datafiles {

// What stopped an operation, as the operator is told it: what they asked for,
// the file or the printer it concerned (if any) and the reason in their
// language. Every layer of the program reports its failures in this form.
struct Failure
{
    QString operation; // "spara ordernumret": completes "Det gick inte att ..."
    QString file;
    QString reason;
    QString printer {}; // the printer's name, when the printer failed

    // The same failure, told as part of the operation the operator asked for.
    Failure during(const QString& operation) const;
};

// The failure to show for a file that ends part-way through a record: the
// complete records before it are used.
Failure endsInsideRecord(const QString& operation, const QString& file);

// The same, told when the file was cut back to its whole records before
// something was added to it: the cut record's bytes are kept in `setAside`.
Failure cutRecordSetAside(const QString& operation, const QString& file, const QString& setAside);

// The reason given when a text the operator typed or a list holds (an order
// number) cannot name a file in the data folder.
QString noFileNamed(const QString& orderNumber);

// The reason given for a symbolic link where the program would write a file of
// the data folder: anyone who may put a file there could point it at a file of
// the operator's own, so nothing is written through it.
QString linkNotFollowed();

} // namespace datafiles
