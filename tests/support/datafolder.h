#pragma once

#include "datafiles/datadirectory.h"
#include "order/order.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
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

    // Copies one file of the bundled sample data to the same place here, or,
    // given nothing, puts the whole sample System folder in place of this one.
    void copySample(const QString& underSystem = QString()) const;

private:
    QTemporaryDir m_dir;
};

// The bundled sample System folder copied into systemFolder, which is made if
// need be.
void copySampleData(const QString& systemFolder);

// Writes a file anywhere, outside the data folder say, making its folder.
void writeFileAt(const QString& path, const QByteArray& bytes);

// Every file and folder under the folder, not following links, with each
// file's bytes ("<mapp>" for a folder): to see that nothing there changed.
QMap<QString, QByteArray> treeOf(const QString& folder);

// Line i of the sample order, in the order-line list's columns.
QStringList orderLine(int i);

// Lines of a plain order, in the order-line list's columns: line n is article
// "A-n", "Vara n", n of them at 1.00.
QList<QStringList> numberedLines(const QList<int>& numbers);

// Order lines of these texts, seven a line.
QList<core::OrderLine> orderLinesOf(const QList<QStringList>& rows);

// Order 124 of 15 March 2006 for customer 1001 of the sample data: paid in 30
// days ("1"), delivered ("1") by post ("0"), VAT 25 % ("0"), with `lines`
// lines of 199.00 each.
core::Order sampleOrder(int lines = 0);

// Every file and folder under a folder, with its bytes ("<mapp>" for a
// folder), as the operator would compare two copies of it.
QMap<QString, QByteArray> contentsOf(const QString& path);
