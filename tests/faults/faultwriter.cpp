// Replaces one data file over and over until it is killed: the fault test kills
// it at random moments and looks at what is left on disk.

#include "datafiles/textfile.h"

#include <QCoreApplication>
#include <QFile>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    // Large contents, so that a kill is likely to land in the middle of a write.
    for (int round = 0;; ++round) {
        const QByteArray content = QByteArray(1 << 20, char('a' + round % 26)) + "\r\n";
        if (datafiles::replaceFile(path, content))
            return 1;
        if (round == 0) {
            QFile ready(path + QStringLiteral(".ready"));
            ready.open(QIODevice::WriteOnly);
        }
    }
}
