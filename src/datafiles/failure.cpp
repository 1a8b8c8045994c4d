#include "failure.h"

#include <QDir>

namespace datafiles {

Failure Failure::during(const QString& operation) const
{
    Failure told = *this;
    told.operation = operation;
    return told;
}

Failure endsInsideRecord(const QString& operation, const QString& file)
{
    return { operation, file, QStringLiteral("filen slutar mitt i en post; de hela posterna före den används") };
}

Failure cutRecordSetAside(const QString& operation, const QString& file, const QString& setAside)
{
    return { operation, file,
             QStringLiteral("filen slutade mitt i en post; de hela posterna före den används, och den avkortade "
                            "postens byte är sparade i %1")
                 .arg(QDir::toNativeSeparators(setAside)) };
}

QString noFileNamed(const QString& orderNumber)
{
    return QStringLiteral("ordernumret \"%1\" kan inte vara en del av ett filnamn").arg(orderNumber);
}

QString linkNotFollowed()
{
    return QStringLiteral("filen är en symbolisk länk, som programmet inte följer");
}

} // namespace datafiles
