// The rules every data file of the program is read and written by.

#include "datafiles/codepage.h"
#include "datafiles/datadirectory.h"
#include "datafiles/numbers.h"
#include "datafiles/records.h"
#include "datafiles/textfile.h"
#include "support/datafolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>

using namespace datafiles;

class TestDataFiles : public QObject
{
    Q_OBJECT

private slots:
    void everyByteRoundTrips();
    void swedishLettersAreSingleBytes();
    void unencodableCharactersAreDetected();
    void letterCaseDoesNotCount_data();
    void letterCaseDoesNotCount();

    void leadingNumber_data();
    void leadingNumber();
    void amountText_data();
    void amountText();
    void hundredths();

    void fieldStream_data();
    void fieldStream();
    void fieldStreamDoesNotResynchroniseAtLineEnds();
    void fileEndingInsideRecordIsSignalled();
    void quotedRecordReadsBackAsWritten();
    void inchMarkIsStoredAsItsLookAlike_data();
    void inchMarkIsStoredAsItsLookAlike();
    void wholeLines_data();
    void wholeLines();
    void plainLine();
    void rewriteKeepsUntouchedRecords_data();
    void rewriteKeepsUntouchedRecords();

    void namesFormedFromTextsStayInside_data();
    void namesFormedFromTextsStayInside();
    void replaceFileIsAtomicAndReportsFailures();
    void appendCreatesAndExtends();
    void linkInTheFilesPlaceIsRefused_data();
    void linkInTheFilesPlaceIsRefused();
    void readingReportsMissingFilesAndFolders();
    void linkInTheFilesPlaceIsNotRead_data();
    void linkInTheFilesPlaceIsNotRead();
    void removingATreeFollowsNoLink_data();
    void removingATreeFollowsNoLink();
    void reasonsAreSwedishWithTheSystemsWordsInBrackets();
};

void TestDataFiles::everyByteRoundTrips()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = decode1252(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(encode1252(text), all);
    QVERIFY(fitsIn1252(text));
}

void TestDataFiles::swedishLettersAreSingleBytes()
{
    QCOMPARE(encode1252(u"åäöÅÄÖé€"), QByteArray("\xE5\xE4\xF6\xC5\xC4\xD6\xE9\x80"));
    QCOMPARE(decode1252("Sm\xE5land"), QStringLiteral("Småland"));
}

void TestDataFiles::unencodableCharactersAreDetected()
{
    QVERIFY(!fitsIn1252(QStringLiteral("Łódź")));
    QVERIFY(!fitsIn1252(QChar(0x2603)));
    QCOMPARE(encode1252(QStringLiteral("a\u2603b")), QByteArray("a?b"));
}

void TestDataFiles::letterCaseDoesNotCount_data()
{
    QTest::addColumn<QStringList>("inFileAndTyped");
    QTest::addColumn<bool>("same");
    QTest::newRow("B for b, Å for å, Š for š")
        << QStringList { "Bergström i Ås ŠŒŽŸÞ", "bERGSTRÖM i åS šœžÿþ" } << true;
    QTest::newRow("µ for μ, which no byte is") << QStringList { "5 µm", "5 μM" } << true;
    QTest::newRow("ß is not ss") << QStringList { "ß", "SS" } << false;
    QTest::newRow("an accent counts") << QStringList { "é", "E" } << false;
    QTest::newRow("only the start") << QStringList { "A-1", "a-10" } << false;
    QTest::newRow("a letter no byte is") << QStringList { "o", "ω" } << false;
}

void TestDataFiles::letterCaseDoesNotCount()
{
    QFETCH(QStringList, inFileAndTyped);
    QFETCH(bool, same);
    const QString &inFile = inFileAndTyped.at(0), &typed = inFileAndTyped.at(1);
    QCOMPARE(sameIgnoringCase(inFile, typed), same);
    QCOMPARE(beginsIgnoringCase(inFile + u'1', typed), same);
    QCOMPARE(foldedText(inFile) == foldedText(typed), same);
    // The file's bytes folded a byte at a time are the typed text's folded bytes.
    QByteArray bytes = encode1252(inFile);
    for (char& byte : bytes)
        byte = foldedBytes()[uchar(byte)];
    QCOMPARE(bytes == foldedBytes(typed), same);
}

void TestDataFiles::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("plain") << "9.99" << 9.99;
    QTest::newRow("blanks anywhere") << " 1 2.5 " << 12.5;
    QTest::newRow("tabs and line feeds") << "\t1\n0" << 10.0;
    QTest::newRow("carriage return ends") << "1\r2" << 1.0;
    QTest::newRow("comma is no decimal mark") << "2,5" << 2.0;
    QTest::newRow("price with comma") << "12,50" << 12.0;
    QTest::newRow("one point only") << "1.2.3" << 1.2;
    QTest::newRow("sign") << "-4.5kr" << -4.5;
    QTest::newRow("plus sign") << "+3" << 3.0;
    QTest::newRow("exponent E") << "1.5E3" << 1500.0;
    QTest::newRow("exponent D") << "2d-2" << 0.02;
    QTest::newRow("exponent without digits") << "7E" << 7.0;
    QTest::newRow("exponent with blanks") << "1 E 2" << 100.0;
    QTest::newRow("point first") << ".5" << 0.5;
    QTest::newRow("hex") << "&H1F" << 31.0;
    QTest::newRow("hex lower case") << "&hff" << 255.0;
    QTest::newRow("octal") << "&O17" << 15.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("sign alone") << "-" << 0.0;
    QTest::newRow("point alone") << "." << 0.0;
    QTest::newRow("too large for a double") << "-1E999" << -std::numeric_limits<double>::max();
    QTest::newRow("too small for a double") << "0.001E-400" << 0.0;
}

void TestDataFiles::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(datafiles::leadingNumber(text), value);
}

void TestDataFiles::amountText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << "0.00";
    QTest::newRow("one decimal") << 1234.5 << "1234.50";
    QTest::newRow("half up after 15 digits") << 4.4955 << "4.50";
    QTest::newRow("half of a cent") << 0.025 << "0.03";
    QTest::newRow("negative half") << -0.005 << "-0.01";
    QTest::newRow("VAT of the worked example") << 199.90 * 25 / 100 << "49.98";
    QTest::newRow("below a half cent") << 0.0049 << "0.00";
    QTest::newRow("negative rounding to zero") << -0.001 << "0.00";
    QTest::newRow("carry through nines") << 999.995 << "1000.00";
    QTest::newRow("large") << 123456789012.345 << "123456789012.35";
    QTest::newRow("beyond 15 digits") << 1e20 << "100000000000000000000.00";
    QTest::newRow("tiny") << 1e-20 << "0.00";
    QTest::newRow("not a number") << std::nan("") << "0.00";
}

void TestDataFiles::amountText()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(datafiles::amountText(value), text);
}

void TestDataFiles::hundredths()
{
    QCOMPARE(amountHundredths(12.5), std::optional<qint64>(1250));
    QCOMPARE(amountHundredths(-0.005), std::optional<qint64>(-1));
    QCOMPARE(amountHundredths(1e30), std::nullopt);
    QCOMPARE(amountTextOfHundredths(19990), QStringLiteral("199.90"));
    QCOMPARE(amountTextOfHundredths(-5), QStringLiteral("-0.05"));
    QCOMPARE(amountTextOfHundredths(0), QStringLiteral("0.00"));

    // The amount text of the largest double reads back as itself.
    const double largest = -std::numeric_limits<double>::max();
    QCOMPARE(datafiles::amountText(datafiles::leadingNumber(datafiles::amountText(largest))),
             datafiles::amountText(largest));
}

void TestDataFiles::fieldStream_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("fieldsPerRecord");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("quoted") << QByteArray("\"0\",\"Normalvillkor\"\r\n\"1\",\"30 dagar\"\r\n") << 2
                            << QStringList { "0", "Normalvillkor", "1", "30 dagar" };
    QTest::newRow("comma inside quotes") << QByteArray("\"SKR-1\",\"Skruv, tr\xE4\"\r\n") << 2
                                         << QStringList { "SKR-1", "Skruv, trä" };
    QTest::newRow("unquoted, blanks before skipped")
        << QByteArray("1,  H\xE4mtas ,x\r\n") << 3 << QStringList { "1", "Hämtas ", "x" };
    QTest::newRow("empty quoted field") << QByteArray("\"a\",\"\",\"c\"\r\n") << 3 << QStringList { "a", "", "c" };
    QTest::newRow("empty unquoted field") << QByteArray("a,,c\r\n") << 3 << QStringList { "a", "", "c" };
    QTest::newRow("last line without line end") << QByteArray("\"a\",\"b\"") << 2 << QStringList { "a", "b" };
    QTest::newRow("empty lines carry no field")
        << QByteArray("a,b\r\n\r\n\r\nc,d\r\n\r\n") << 2 << QStringList { "a", "b", "c", "d" };
    QTest::newRow("bare line feeds") << QByteArray("a,b\nc,d\n") << 2 << QStringList { "a", "b", "c", "d" };
    QTest::newRow("text after closing quote passed over")
        << QByteArray("\"a\"xy,\"b\"\r\n") << 2 << QStringList { "a", "b" };
    QTest::newRow("empty file") << QByteArray() << 4 << QStringList {};
}

void TestDataFiles::fieldStream()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, fieldsPerRecord);
    QFETCH(QStringList, fields);
    bool incomplete = true;
    const QList<QStringList> records = readRecords(bytes, fieldsPerRecord, &incomplete);
    QStringList all;
    for (const QStringList& record : records)
        all += record;
    QCOMPARE(all, fields);
    QVERIFY(!incomplete);
}

void TestDataFiles::fieldStreamDoesNotResynchroniseAtLineEnds()
{
    // A line with three fields shifts every later record of two.
    const QByteArray bytes("\"1\",\"Ett\",\"extra\"\r\n\"2\",\"Tv\xE5\"\r\n\"3\",\"Tre\"\r\n");
    bool incomplete = false;
    const QList<QStringList> records = readRecords(bytes, 2, &incomplete);
    QCOMPARE(records.size(), 3);
    QCOMPARE(records.at(1), (QStringList { "extra", "2" }));
    QCOMPARE(records.at(2), (QStringList { "Två", "3" }));
    QVERIFY(incomplete); // "Tre" is left alone
}

void TestDataFiles::fileEndingInsideRecordIsSignalled()
{
    const RecordTable cut = RecordTable::parse("\"A1\",\"Spik\",\"st\",\"1.00\"\r\n\"A2\",\"Skruv\"\r\n", 4);
    QCOMPARE(cut.recordCount(), 1);
    QVERIFY(cut.endsInsideRecord());
    QCOMPARE(cut.record(0), (QStringList { "A1", "Spik", "st", "1.00" }));

    const RecordTable unclosed = RecordTable::parse("\"A1\",\"Spik", 2);
    QCOMPARE(unclosed.recordCount(), 0);
    QVERIFY(unclosed.endsInsideRecord());

    QVERIFY(!RecordTable::parse("\"A1\",\"Spik\"\r\n\r\n  \r\n", 2).endsInsideRecord());

    // Cut just after a comma: the record is incomplete, not one with an empty field.
    const RecordTable afterComma = RecordTable::parse("\"a\",", 2);
    QCOMPARE(afterComma.recordCount(), 0);
    QVERIFY(afterComma.endsInsideRecord());
    // And a comma after a whole record starts the next one.
    const RecordTable trailingComma = RecordTable::parse("\"a\",\"b\",", 2);
    QCOMPARE(trailingComma.recordCount(), 1);
    QVERIFY(trailingComma.endsInsideRecord());
    QCOMPARE(wholeRecordsLength("\"a\",\"b\",", 2), 7);
}

void TestDataFiles::quotedRecordReadsBackAsWritten()
{
    const QStringList line { "ÖGLE-12", "Ögla, förzinkad", "st", "", "2,5", "10", "12.50" };
    const QByteArray record = quotedRecord(line);
    QCOMPARE(record, QByteArray("\"\xD6GLE-12\",\"\xD6gla, f\xF6rzinkad\",\"st\",\"\",\"2,5\",\"10\",\"12.50\"\r\n"));
    QCOMPARE(readRecords(record + record, 7), (QList<QStringList> { line, line }));

    // A line break inside a text would end the record; the writer makes it a blank.
    const QByteArray awkward = quotedRecord({ "rad 1\r\nrad 2" });
    QCOMPARE(awkward, QByteArray("\"rad 1  rad 2\"\r\n"));
    QCOMPARE(readRecords(awkward, 1), (QList<QStringList> { { "rad 1  rad 2" } }));
}

void TestDataFiles::inchMarkIsStoredAsItsLookAlike_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("record"); // the text written alone as a quoted record

    QTest::newRow("inch mark") << QString("Kopparrör 1/2\" 3 m") << QByteArray("\"Kopparr\xF6r 1/2\x94 3 m\"\r\n");
    QTest::newRow("quoted word") << QString("\"Extra\" skruv")
                                 << QByteArray("\"\x94"
                                               "Extra\x94 skruv\"\r\n");
}

void TestDataFiles::inchMarkIsStoredAsItsLookAlike()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, record);
    const QString stored = withStoredInchMarks(typed);
    QCOMPARE(encode1252(stored), record.sliced(1, record.size() - 4));
    // A text that reaches a record without being typed keeps the rule too,
    // and the record reads back as the stored text, still one field.
    QCOMPARE(quotedRecord({ typed }), record);
    QCOMPARE(readRecords(record + record, 1), (QList<QStringList> { { stored }, { stored } }));
}

void TestDataFiles::wholeLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("CR LF") << QByteArray("1042\r\nBergstr\xF6m AB\r\n") << QStringList { "1042", "Bergström AB" };
    QTest::newRow("last line without CR LF") << QByteArray("a\r\nb") << QStringList { "a", "b" };
    QTest::newRow("commas and quotes kept") << QByteArray("\"Lind, Karin\" \r\n") << QStringList { "\"Lind, Karin\" " };
    QTest::newRow("empty lines kept") << QByteArray("\r\n\r\nx\r\n") << QStringList { "", "", "x" };
    QTest::newRow("empty file") << QByteArray() << QStringList {};
    QTest::newRow("bare LF and CR") << QByteArray("a\nb\rc") << QStringList { "a", "b", "c" };
}

void TestDataFiles::wholeLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QCOMPARE(readLines(bytes), lines);
}

void TestDataFiles::plainLine()
{
    QCOMPARE(datafiles::plainLine(u"Västerås"), QByteArray("V\xE4ster\xE5s\r\n"));
    QCOMPARE(datafiles::plainLine(u""), QByteArray("\r\n"));
}

void TestDataFiles::rewriteKeepsUntouchedRecords_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<int>("removed");
    QTest::addColumn<QByteArray>("after");

    // Hand-written records: unquoted, with blanks, two on one line. Each time
    // the second record is replaced and one is added.
    const QByteArray written = "\r\nA-1, Skruv , st,10\r\n\"A-2\",\"Mutter\",\"st\",\"2.00\"\r\n"
                               "\"A-3\",\"Bricka\",\"st\",\"1.00\",A-4,Plugg,st,3\r\n";
    const QByteArray kept = "\r\nA-1, Skruv , st,10\r\n\"A-2\",\"Mutter M8\",\"st\",\"2.50\"\r\n";
    const QByteArray added = "\"\xD6-1\",\"\xD6glebult\",\"st\",\"15.00\"\r\n";
    QTest::newRow("the first of two on a line removed, a record cut short")
        << written + "\"A-5\",\"Kil\"" << 2 << kept + "A-4,Plugg,st,3\r\n" + added;
    QTest::newRow("the second of two on a line removed")
        << written << 3 << kept + "\"A-3\",\"Bricka\",\"st\",\"1.00\"\r\n" + added;
}

void TestDataFiles::rewriteKeepsUntouchedRecords()
{
    QFETCH(QByteArray, before);
    QFETCH(int, removed);
    QFETCH(QByteArray, after);
    RecordChanges changes;
    changes.replaced[1] = { "A-2", "Mutter M8", "st", "2.50" };
    changes.removed.insert(removed);
    changes.added.append({ "Ö-1", "Öglebult", "st", "15.00" });
    const RecordRewrite rewrite = rewriteRecords(RecordTable::parse(before, 4), changes);
    QVERIFY2(rewrite.problem.isEmpty(), qPrintable(rewrite.problem));
    QCOMPARE(rewrite.bytes, after);
}

void TestDataFiles::namesFormedFromTextsStayInside_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("namesFile");
    QTest::newRow("number") << "1042" << true;
    QTest::newRow("empty") << "" << true;
    QTest::newRow("leading blank") << " 1042" << true;
    QTest::newRow("comma") << "1033,87" << true;
    QTest::newRow("slash") << "../1" << false;
    QTest::newRow("backslash") << "..\\1" << false;
    QTest::newRow("dot") << "." << false;
    QTest::newRow("dot dot") << ".." << false;
}

void TestDataFiles::namesFormedFromTextsStayInside()
{
    QFETCH(QString, text);
    QFETCH(bool, namesFile);
    const DataDirectory data(QStringLiteral("/opt/order"));
    QCOMPARE(data.basketFile(text).has_value(), namesFile);
    QCOMPARE(data.customerFile(text).has_value(), namesFile);
    QCOMPARE(data.errorEntry(text).has_value(), namesFile);
    if (namesFile) {
        QCOMPARE(*data.basketFile(text), "/opt/order/System/Order/" + text + ".basket.dbf");
        QCOMPARE(*data.customerFile(text), "/opt/order/System/Customer/" + text + ".GetInfo.dbf");
    }
}

void TestDataFiles::replaceFileIsAtomicAndReportsFailures()
{
    TestDataFolder folder;
    const QString path = folder.path("Registret/OrderNr.dbf");
    QVERIFY(!replaceFile(path, "1041\r\n"));
    QVERIFY(!replaceFile(path, "1042\r\n"));
    QCOMPARE(folder.read("Registret/OrderNr.dbf"), QByteArray("1042\r\n"));
    QCOMPARE(QDir(folder.path("Registret")).entryList(QDir::Files), QStringList { "OrderNr.dbf" });

    const std::optional<Failure> noFolder = replaceFile(folder.path("Saknas/OrderNr.dbf"), "1\r\n");
    QVERIFY(noFolder && noFolder->reason.contains("finns inte"));
    QCOMPARE(noFolder->file, folder.path("Saknas/OrderNr.dbf"));
    QVERIFY(replaceFile(folder.path("Registret"), "1\r\n")->reason.contains("mapp"));
}

void TestDataFiles::appendCreatesAndExtends()
{
    TestDataFolder folder;
    const QString path = folder.path("Order/lista.dbf");
    QVERIFY(!appendToFile(path, "\"a\"\r\n"));
    QVERIFY(!appendToFile(path, "\"b\"\r\n"));
    QCOMPARE(folder.read("Order/lista.dbf"), QByteArray("\"a\"\r\n\"b\"\r\n"));
    folder.write("Order/cut.dbf", "\"a\",\"b");
    QVERIFY(!appendToFile(folder.path("Order/cut.dbf"), "\"c\",\"d\"\r\n"));
    QCOMPARE(folder.read("Order/cut.dbf"), QByteArray("\"a\",\"b\r\n\"c\",\"d\"\r\n"));
    folder.remove("Order");
    QVERIFY(appendToFile(path, "x")->reason.contains("finns inte"));
}

void TestDataFiles::linkInTheFilesPlaceIsRefused_data()
{
    QTest::addColumn<QString>("writer");
    QTest::addColumn<bool>("meanwhile"); // the link put there after the writer looked for one, before it opens
    QTest::addColumn<QString>("target"); // in a folder outside System
    QTest::newRow("append, link there before") << "append" << false << "lista.dbf";
    QTest::newRow("append, link put there meanwhile") << "append" << true << "lista.dbf";
    QTest::newRow("write in place, link put there meanwhile") << "write in place" << true << "lista.dbf";
    // Opened first, the temporary file would be made beside the link's target.
    QTest::newRow("replace, link into a missing folder") << "replace" << false << "saknas/lista.dbf";
    QTest::newRow("replace, link put there meanwhile") << "replace" << true << "lista.dbf";
}

void TestDataFiles::linkInTheFilesPlaceIsRefused()
{
    QFETCH(QString, writer);
    QFETCH(bool, meanwhile);
    QFETCH(QString, target);
    TestDataFolder folder;
    folder.write("Order/lista.dbf", "\"a\"\r\n");
    const QString path = folder.path("Order/lista.dbf");
    QTemporaryDir outside;
    QFile secret(outside.filePath("lista.dbf"));
    QVERIFY(secret.open(QIODevice::WriteOnly) && secret.write("hemligt\r\n") == 9);
    secret.close();
    const auto putLink = [&] {
        return QFile::remove(path) && QFile::link(outside.filePath(target), path);
    };
    QVERIFY(meanwhile || putLink());
    const LinkRaceForTesting race(
        [&, put = false](const QString& checked) mutable { put = put || (meanwhile && checked == path && putLink()); });

    const QByteArray record = "\"b\"\r\n";
    const std::optional<Failure> failure = writer == "append" ? appendToFile(path, record)
        : writer == "write in place"                          ? writeAt(path, 0, record)
                                                              : replaceFile(path, record);
    QVERIFY(failure && failure->is(FailureKind::LinkRefused));
    QCOMPARE(failure->file, path);
    QVERIFY(QFileInfo(path).isSymLink());
    QVERIFY(secret.open(QIODevice::ReadOnly));
    QCOMPARE(secret.readAll(), QByteArray("hemligt\r\n"));
    QCOMPARE(QDir(outside.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList { "lista.dbf" });
}

void TestDataFiles::readingReportsMissingFilesAndFolders()
{
    TestDataFolder folder;
    folder.write("Registret/OrderNr.dbf", "7\r\n");
    const ReadResult ok = readWholeFile(folder.path("Registret/OrderNr.dbf"));
    QVERIFY(ok.ok());
    QCOMPARE(ok.bytes, QByteArray("7\r\n"));
    QVERIFY(!readWholeFile(folder.path("Registret/Saknas.dbf")).ok());
    QVERIFY(readWholeFile(folder.path("Registret")).failure->reason.contains("mapp"));
    QVERIFY(!isFile(folder.path("Registret")));
    QVERIFY(isFile(folder.path("Registret/OrderNr.dbf")));
}

void TestDataFiles::linkInTheFilesPlaceIsNotRead_data()
{
    QTest::addColumn<QString>("reader");
    QTest::addColumn<QString>("link"); // under System, to a file outside with no line end at its end
    QTest::newRow("whole") << "whole"
                           << "Registret/Produkter.dbf";
    QTest::newRow("mapped") << "mapped"
                            << "Order/status.dbf";
    QTest::newRow("bit by bit") << "bit by bit"
                                << "Order/lista.dbf";
    QTest::newRow("last byte before an append") << "append"
                                                << "Order/lista.dbf";
    QTest::newRow("file in a folder of the program's own") << "folder"
                                                           << "Customer.före-import/1001.GetInfo.dbf";
    QTest::newRow("folder of the program's own") << "folder"
                                                 << "Customer.före-import";
    // A list the operator chose is read where the link points.
    QTest::newRow("a file the operator chose") << "chosen"
                                               << "prislista.csv";
}

void TestDataFiles::linkInTheFilesPlaceIsNotRead()
{
    QFETCH(QString, reader);
    QFETCH(QString, link);
    TestDataFolder folder;
    QTemporaryDir outside;
    const QByteArray secret = "hemligt";
    writeFileAt(outside.filePath("1001.GetInfo.dbf"), secret);
    const bool folderLink = !link.endsWith(".dbf") && !link.endsWith(".csv");
    QDir().mkpath(QFileInfo(folder.path(link)).absolutePath());
    QVERIFY(QFile::link(folderLink ? outside.path() : outside.filePath("1001.GetInfo.dbf"), folder.path(link)));
    const QString kept = folder.path("Customer.före-import");

    ReadResult read;
    if (reader == "whole") {
        read = readWholeFile(folder.path(link));
    } else if (reader == "mapped") {
        read.failure = readMapped(folder.path(link), [&](QByteArrayView bytes) { read.bytes = bytes.toByteArray(); });
    } else if (reader == "bit by bit") {
        QFile file(folder.path(link));
        read.failure = openToRead(file);
        QVERIFY(read.failure || file.isOpen());
    } else if (reader == "append") {
        // The link's target has no line end at its end: no CR LF is put first.
        QCOMPARE(bytesToAppend(folder.path(link), "x"), QByteArray("x"));
        return;
    } else if (reader == "folder") {
        const OpenedFolder opened(kept);
        read = opened.read(QStringLiteral("1001.GetInfo.dbf"));
    } else {
        read = readChosenFile(folder.path(link));
        QCOMPARE(read.bytes, secret);
        return;
    }
    QVERIFY(!read.ok());
    QVERIFY(read.failure->is(FailureKind::LinkRefused));
    QCOMPARE(read.failure->file, folderLink ? kept : folder.path(link));
    QVERIFY(read.bytes.isEmpty());
    QCOMPARE(treeOf(outside.path()), (QMap<QString, QByteArray> { { "1001.GetInfo.dbf", secret } }));
}

void TestDataFiles::removingATreeFollowsNoLink_data()
{
    QTest::addColumn<QString>("removed"); // under System
    QTest::addColumn<QStringList>("links"); // under System, each to the folder or a file outside
    QTest::newRow("a folder") << "Customer.före-import" << QStringList();
    QTest::newRow("a link to a folder, at the top") << "Customer.före-import" << QStringList { "Customer.före-import" };
    QTest::newRow("a link to a file, at the top") << "Produkter.före-import" << QStringList { "Produkter.före-import" };
    QTest::newRow("links inside, deep down")
        << "Customer.före-import"
        << QStringList { "Customer.före-import/till", "Customer.före-import/a/b/1001.GetInfo.dbf",
                         "Customer.före-import/a/saknas" };
    QTest::newRow("nothing there") << "saknas" << QStringList();
}

void TestDataFiles::removingATreeFollowsNoLink()
{
    QFETCH(QString, removed);
    QFETCH(QStringList, links);
    TestDataFolder folder;
    QTemporaryDir outside;
    writeFileAt(outside.filePath("1001.GetInfo.dbf"), "1001\r\nHemlig\r\n");
    writeFileAt(outside.filePath("inre/tillagda.txt"), "1001\r\n");
    const QMap<QString, QByteArray> outsideBefore = treeOf(outside.path());
    if (removed != "saknas") {
        folder.write(removed + "/1002.GetInfo.dbf", "1002\r\n");
        folder.write(removed + "/a/b/c.txt", "c");
    }
    for (const QString& link : links) {
        QFile::remove(folder.path(link));
        QDir(folder.path(link)).removeRecursively();
        QDir().mkpath(QFileInfo(folder.path(link)).absolutePath());
        const QString target = link.endsWith("saknas")            ? outside.filePath("finns-inte")
            : link.endsWith(".dbf") || link.contains("Produkter") ? outside.filePath("1001.GetInfo.dbf")
                                                                  : outside.path();
        QVERIFY(QFile::link(target, folder.path(link)));
    }

    QVERIFY(!removeTree(folder.path(removed)));
    QVERIFY(!QFileInfo(folder.path(removed)).exists() && !QFileInfo(folder.path(removed)).isSymLink());
    QCOMPARE(treeOf(outside.path()), outsideBefore);
    QVERIFY(folder.exists("Customer") && folder.exists("Order"));
}

void TestDataFiles::reasonsAreSwedishWithTheSystemsWordsInBrackets()
{
    const auto system = [](int error) {
        return QString::fromLocal8Bit(std::strerror(error));
    };
    const auto byNumber = [&](int error) {
        return QStringLiteral("systemfel nummer %1 (%2)").arg(error).arg(system(error));
    };

    // The common errors in words, any other by its number; the system's own
    // text only after them, in brackets.
    QCOMPARE(failureReason(EACCES, QStringLiteral("Permission denied")),
             QStringLiteral("åtkomst nekad (Permission denied)"));
    QCOMPARE(failureReason(ENOENT, {}), QStringLiteral("filen eller mappen finns inte"));
    QCOMPARE(failureReason(EDOM, system(EDOM)), byNumber(EDOM));
    QCOMPARE(failureReason(0, QStringLiteral("Unknown error")), QStringLiteral("okänt fel (Unknown error)"));

    // As writing meets them: a full disk (reported, never taken for success).
    if (QFile::exists(QStringLiteral("/dev/full")))
        QCOMPARE(appendToFile(QStringLiteral("/dev/full"), QByteArray(70000, 'x'))->reason,
                 QStringLiteral("disken är full (%1)").arg(system(ENOSPC)));
}

QTEST_GUILESS_MAIN(TestDataFiles)
#include "tst_datafiles.moc"
