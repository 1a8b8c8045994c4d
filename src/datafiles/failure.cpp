#include "failure.h"

#include <QDir>

#include <cerrno>

namespace datafiles {

Failure Failure::during(const QString& operation) const
{
    Failure told = *this;
    told.operation = operation;
    return told;
}

Failure refusedByRule(const QString& operation, const QString& file, const QString& reason)
{
    return { operation, file, reason, {}, FailureKind::RefusedByRule };
}

FailureKind kindOfError(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return FailureKind::NotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return FailureKind::AccessDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return FailureKind::DiskFull;
    case ELOOP:
        return FailureKind::LinkRefused;
    default:
        return FailureKind::InputOutput;
    }
}

Failure endsInsideRecord(const QString& operation, const QString& file)
{
    return { operation,
             file,
             QStringLiteral("filen slutar mitt i en post; de hela posterna före den används"),
             {},
             FailureKind::CutRecord };
}

Failure cutRecordSetAside(const QString& operation, const QString& file, const QString& setAside)
{
    return { operation,
             file,
             QStringLiteral("filen slutade mitt i en post; de hela posterna före den används, och den avkortade "
                            "postens byte är sparade i %1")
                 .arg(QDir::toNativeSeparators(setAside)),
             {},
             FailureKind::CutRecord };
}

Failure linkRefused(const QString& operation, const QString& file)
{
    return { operation,
             file,
             QStringLiteral("filen är en symbolisk länk, som programmet inte följer"),
             {},
             FailureKind::LinkRefused };
}

Failure changedSinceRead(const QString& operation, const QString& file, const QString& reason)
{
    return { operation, file, reason, {}, FailureKind::ChangedSinceRead };
}

QString noFileNamed(const QString& orderNumber)
{
    return QStringLiteral("ordernumret \"%1\" kan inte vara en del av ett filnamn").arg(orderNumber);
}

} // namespace datafiles
