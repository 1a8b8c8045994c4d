#pragma once

#include "datafiles/datadirectory.h"

#include <QString>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

// What a test needs of the machine it runs on and cannot have here. A tool
// that the test command installs (scripts/packages.sh) is missing only where
// that command was not run; what the machine cannot do, whatever is installed
// (work as root, trace a program, mount a file system), is missing anywhere.
struct Unavailable
{
    QString why;
    bool installedByTestCommand = false;
};

// A program on the path, or a file at an absolute path, that the package
// installs and that is not there.
std::optional<Unavailable> notInstalled(const QString& programOrFile, const QString& package);
// Something the machine cannot do, e.g. "mounting a file system needs root".
Unavailable machineCannot(const QString& why);
std::optional<Unavailable> unlessRoot(const QString& why);

// Under CI=true a missing tool is a failure, so that a run that installed less
// than the test command does cannot pass without testing anything.
bool failsHere(const Unavailable& unavailable);

// Ends the test when what it needs is unavailable: skipped, saying why, or
// failed where failsHere() says so.
#define SKIP_IF_UNAVAILABLE(unavailable)                                                                               \
    do {                                                                                                               \
        if (const std::optional<Unavailable> lacking_ = (unavailable)) {                                               \
            if (failsHere(*lacking_))                                                                                  \
                QFAIL(qPrintable(lacking_->why                                                                         \
                                 + QStringLiteral(", and CI=true needs every tool the test command installs")));       \
            QSKIP(qPrintable(lacking_->why));                                                                          \
        }                                                                                                              \
    } while (false)

// A file system of one megabyte of the test's own, mounted while it lives.
// Mounting needs root; a test that cannot mount one skips.
class SmallDisk
{
public:
    SmallDisk() = default;
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    ~SmallDisk();

    // None when the disk is mounted, otherwise why not.
    std::optional<Unavailable> mount();

    QString path() const { return m_mountPoint.path(); }
    // A program folder on the disk with a copy of the sample data.
    datafiles::DataDirectory sampleData() const;

    // Takes up every byte left on the disk but `leaving` with a file outside
    // the data folder.
    bool fill(qint64 leaving = 0) const;
    // Gives the room taken by fill() back.
    void free() const;

private:
    QString fillerPath() const { return path() + QStringLiteral("/filler"); }

    QTemporaryDir m_mountPoint;
    bool m_mounted = false;
};
