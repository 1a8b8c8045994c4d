#pragma once

#include "datafiles/datadirectory.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A program folder of a test's own, with an empty System folder laid out as the
// program expects it: Customer, Registret, Registret/Felmeddelande and Order.
class TestDataFolder
{
public:
    TestDataFolder();

    datafiles::DataDirectory data() const;
    QString programFolder() const;
    // A path under System, e.g. "Registret/OrderNr.dbf".
    QString path(const QString& underSystem) const;

    void write(const QString& underSystem, const QByteArray& bytes) const;
    QByteArray read(const QString& underSystem) const;
    bool exists(const QString& underSystem) const;
    void remove(const QString& underSystem) const;

private:
    QTemporaryDir m_dir;
};

class QWidget;

// Shows the window and waits until it is the active one, as it is for the
// operator, so that its function keys reach it.
[[nodiscard]] bool showActive(QWidget& window);
