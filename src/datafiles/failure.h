#pragma once

#include <QString>

namespace datafiles {

// What sort of failure stopped an operation. The program chooses what to do by
// the kind, never by the words meant for the operator, so that a message can be
// reworded without changing what the program does.
enum class FailureKind {
    InputOutput, // the system could not read or write, for a reason not listed below
    NotFound, // the file or a folder on its path is not there
    AccessDenied, // the operator's account may not read or write it
    DiskFull, // no room left on the disk, or over the account's quota
    LinkRefused, // a symbolic link stands where the program keeps a file
    ChangedSinceRead, // someone else changed the file after the program read it
    CutRecord, // the file ends part-way through a record
    DamagedRecord, // a record of the file cannot be read as one and is passed over
    RefusedByRule, // what was typed, chosen or found breaks one of the program's rules
    HeldByAnotherDesk, // another desk holds the folder's lock
    Cancelled, // the operator chose not to go on
};

// What stopped an operation, as the operator is told it: what they asked for,
// the file or the printer it concerned (if any) and the reason in their
// language, with its kind for the program to act on. Every layer of the
// program reports its failures in this form.
struct Failure
{
    QString operation; // "spara ordernumret": completes "Det gick inte att ..."
    QString file;
    QString reason;
    QString printer {}; // the printer's name, when the printer failed
    FailureKind kind = FailureKind::InputOutput;

    // The same failure, told as part of the operation the operator asked for.
    Failure during(const QString& operation) const;
    bool is(FailureKind k) const { return kind == k; }
};

// A failure for breaking one of the program's rules: a number that cannot name a
// file, a field left empty, a code used twice.
Failure refusedByRule(const QString& operation, const QString& file, const QString& reason);

// The kind of failure a system error number stands for.
FailureKind kindOfError(int error);

// The failure to show for a file that ends part-way through a record: the
// complete records before it are used.
Failure endsInsideRecord(const QString& operation, const QString& file);

// The same, told when the file was cut back to its whole records before
// something was added to it: the cut record's bytes are kept in `setAside`.
Failure cutRecordSetAside(const QString& operation, const QString& file, const QString& setAside);

// The failure for a symbolic link where the program keeps a file of the data
// folder: anyone who may put a file there could point it at a file of the
// operator's own, so nothing is read or written through it.
Failure linkRefused(const QString& operation, const QString& file);

// The failure for a file someone else changed after it was read; the reason
// says what the program does about it.
Failure changedSinceRead(const QString& operation, const QString& file, const QString& reason);

// The reason given when a text the operator typed or a list holds (an order
// number) cannot name a file in the data folder.
QString noFileNamed(const QString& orderNumber);

} // namespace datafiles
