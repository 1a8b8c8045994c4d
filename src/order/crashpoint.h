#pragma once

#include <functional>

// Points in the print command, the registration, a backup and a restore at
// which the tests can end the program abruptly, to see that the next start puts
// everything right, or damage what it has just written. The program itself
// never installs a hook, and then a point does nothing.
namespace core {

enum class CrashPoint {
    Print, // F9 chosen, nothing written yet
    PdfCopy, // the PDF copy is in place
    Journal, // the registration's journal is on the disk
    Paper, // the order has gone to the printer
    OrderNumber, // the order-number file holds the order's number
    ArchiveCustomer, // <nr>_data1.dbf written
    ArchiveHead, // <nr>_data2.dbf written
    OrderList, // the order list holds the order's line
    JournalRemoved, // the registration is whole

    BackupPlaced, // a backup's zip file in place under its name, not yet read back

    RestoreBegun, // the first file of a backup unpacked inside System
    RestoreUnpacked, // the whole backup unpacked and synced, not yet checked
    RestoreJournal, // the restore's journal is on the disk
    RestoreMovingAside, // the first of System's files and folders moved aside
    RestoreSetAside, // all of System's files and folders moved aside
    RestoreMovingIn, // the first of the unpacked files and folders in its place
    RestoreInPlace, // the unpacked files and folders are System's
    RestoreDone, // the restore's journal removed
};

void crashPoint(CrashPoint point);

// Installs a hook that every crash point calls, for as long as it lives.
class CrashHookForTesting
{
public:
    explicit CrashHookForTesting(std::function<void(CrashPoint)> hook);
    ~CrashHookForTesting();
    CrashHookForTesting(const CrashHookForTesting&) = delete;
    CrashHookForTesting& operator=(const CrashHookForTesting&) = delete;
};

} // namespace core
