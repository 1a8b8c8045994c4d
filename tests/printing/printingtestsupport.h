#pragma once

// What the printing tests share: the sample order 124, an order window over a
// program folder with the images and the payment terms of the order form, the
// page steps to look at, and what poppler's tools say about a printed PDF.

#include "order/order.h"
#include "printing/output/destinations.h"
#include "printing/recordingpage.h"
#include "support/machine.h"
#include "support/testsupport.h"
#include "widgets/messagebox.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>

#include <pwd.h>
#include <unistd.h>

// The payment terms the sample order's code "1" stands for on the form.
inline const QByteArray paymentTermsRegister("\"0\",\"Normalvillkor\"\r\n\"1\",\"30 dagar netto\"\r\n");

// The form's two images and the payment-terms register, in a program folder.
inline void putFormFiles(const TestDataFolder& folder)
{
    folder.copySample(QStringLiteral("Logga.gif"));
    folder.copySample(QStringLiteral("form_listview.gif"));
    folder.write(QStringLiteral("Registret/Betalningsvillkor.dbf"), paymentTermsRegister);
}

inline QList<printing::PageStep> textSteps(const QList<printing::PageStep>& steps)
{
    QList<printing::PageStep> texts;
    for (const printing::PageStep& s : steps) {
        if (s.kind == printing::PageStep::Kind::Text)
            texts.append(s);
    }
    return texts;
}

// A product name of 200 characters, longer than any column is wide.
inline const QString longName
    = QStringLiteral("Kopparrör mjukglödgad i rulle för värme och sanitet, ").repeated(4).left(200);

// The first text that reaches past `right` or over another text on its page,
// described; empty when there is none. A text's box runs from its position as
// far across as it reaches and one line down.
inline QString overprinted(const QList<printing::PageStep>& steps, double right)
{
    const QList<printing::PageStep> texts = textSteps(steps);
    for (const printing::PageStep& a : texts) {
        const QRectF box(QPointF(a.x, a.y), a.textSize);
        if (box.right() > right)
            return QStringLiteral("\"%1\" reaches past %2 cm").arg(a.text).arg(right);
        for (const printing::PageStep& b : texts) {
            const QRectF common = box.intersected(QRectF(QPointF(b.x, b.y), b.textSize));
            if (&a != &b && a.page == b.page && common.width() > 1e-9 && common.height() > 1e-9)
                return QStringLiteral("\"%1\" over \"%2\" on page %3").arg(a.text, b.text).arg(a.page);
        }
    }
    return {};
}

inline int countSteps(const QList<printing::PageStep>& steps, printing::PageStep::Kind kind)
{
    return int(
        std::count_if(steps.begin(), steps.end(), [kind](const printing::PageStep& s) { return s.kind == kind; }));
}

// The first step in which two documents differ, described; empty when they
// are drawn alike, step for step.
inline QString firstDifference(const QList<printing::PageStep>& a, const QList<printing::PageStep>& b)
{
    const auto describe = [](const printing::PageStep& s) {
        return QStringLiteral("kind %1 \"%2\" at (%3, %4) %5 pt%6 page %7 size %8x%9")
            .arg(int(s.kind))
            .arg(s.text)
            .arg(s.x)
            .arg(s.y)
            .arg(s.fontSize)
            .arg(s.bold ? QStringLiteral(" bold") : QString())
            .arg(s.page)
            .arg(s.imageSize.width())
            .arg(s.imageSize.height());
    };
    for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i) {
        const printing::PageStep& s = a.at(i);
        const printing::PageStep& t = b.at(i);
        if (s.kind != t.kind || s.text != t.text || s.x != t.x || s.y != t.y || s.fontSize != t.fontSize
            || s.bold != t.bold || s.page != t.page || s.imageSize != t.imageSize)
            return QStringLiteral("step %1: %2 against %3").arg(i).arg(describe(s), describe(t));
    }
    if (a.size() != b.size())
        return QStringLiteral("%1 steps against %2").arg(a.size()).arg(b.size());
    return {};
}

// The system's own destinations without its printers: the kept copy only.
inline printing::Destinations pdfOnly()
{
    printing::Destinations d = printing::Destinations::system();
    d.printer = nullptr;
    return d;
}

// Destinations that record what the print command draws, with or without a
// printer in the system.
struct RecordedDestinations
{
    QList<printing::PageStep> printer;
    QList<printing::PageStep> pdf;

    printing::Destinations destinations(bool withPrinter)
    {
        printing::Destinations d;
        if (withPrinter)
            d.printer = [this](const QString&) {
                return std::make_unique<printing::RecordingPage>(printer);
            };
        d.pdfCopy = [this](QIODevice&, const QString&) {
            return std::make_unique<printing::RecordingPage>(pdf);
        };
        return d;
    }
};

// An order window over a program folder with the form's files, its message
// boxes taken down.
struct PrintedOrder : OrderDesk
{
    RecordedDestinations recorded;

    PrintedOrder() { putFormFiles(folder); }

    // The sample order with this many lines on screen.
    void show(int lines) { window.openOrder().replaceForTesting(sampleOrder(lines)); }

    // F9 from the active order window, to the destinations in force.
    [[nodiscard]] bool print()
    {
        if (!window.isVisible() && !showActive(window))
            return false;
        QTest::keyClick(&window, Qt::Key_F9);
        return true;
    }

    [[nodiscard]] bool print(const printing::Destinations& destinations)
    {
        printing::Destinations::Override override(destinations);
        return print();
    }

    // F9 to the recording destinations, with or without a printer.
    [[nodiscard]] bool printRecorded(bool withPrinter = false) { return print(recorded.destinations(withPrinter)); }
};

// Runs a program to its end; its output and errors together.
inline QString run(const QString& program, const QStringList& arguments, int* exitCode = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    process.waitForFinished(60000);
    if (exitCode)
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromLocal8Bit(process.readAll());
}

// One field of what pdfinfo says about a PDF, e.g. "Pages" or "Page size".
inline QString pdfInfo(const QString& pdf, const QString& field)
{
    const QString info = run(QStringLiteral("pdfinfo"), { pdf });
    const QRegularExpression line(QStringLiteral("^%1:\\s+(.*)$").arg(QRegularExpression::escape(field)),
                                  QRegularExpression::MultilineOption);
    return line.match(info).captured(1).trimmed();
}

inline int pdfPages(const QString& pdf)
{
    bool ok = false;
    const int pages = pdfInfo(pdf, QStringLiteral("Pages")).toInt(&ok);
    return ok ? pages : -1;
}

// The first page's size in points, as pdfinfo gives it ("612 x 792 pts
// (letter)"); empty when it cannot say.
inline QSizeF pdfPageSize(const QString& pdf)
{
    static const QRegularExpression size(QStringLiteral("^([\\d.]+) x ([\\d.]+) pts"));
    const QRegularExpressionMatch m = size.match(pdfInfo(pdf, QStringLiteral("Page size")));
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

// Paper sizes in points; a PDF writer may round them to whole points.
inline const QSizeF a4Points(595.276, 841.89);
inline const QSizeF letterPoints(612, 792);

inline bool samePaper(const QSizeF& a, const QSizeF& b)
{
    return qAbs(a.width() - b.width()) < 0.5 && qAbs(a.height() - b.height()) < 0.5;
}

constexpr double pointsPerCentimetre = 72 / 2.54;

// A word of a PDF with its box in centimetres from the page's top-left corner,
// as pdftotext sees it.
struct PdfWord
{
    int page = 0;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    QString text;
};

inline QList<PdfWord> pdfWords(const QString& pdf, QString* error)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), { QStringLiteral("-bbox"), pdf, QStringLiteral("-") });
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        *error = QString::fromUtf8(process.readAllStandardError());
        return {};
    }
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression element(QStringLiteral(
        "<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    QList<PdfWord> words;
    int page = 0;
    for (auto it = element.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            ++page;
            continue;
        }
        const auto cm = [&](int i) {
            return m.captured(i).toDouble() / pointsPerCentimetre;
        };
        QString text = m.captured(5);
        text.replace(QLatin1String("&amp;"), QLatin1String("&"));
        words.append({ page, cm(1), cm(2), cm(3), cm(4), text });
    }
    return words;
}

// Why a print server of the test's own cannot run on this machine; none when it
// can.
inline std::optional<Unavailable> privatePrintServerUnavailable()
{
    for (const auto& [needed, package] :
         { std::pair { "/usr/sbin/cupsd", "cups" }, std::pair { "lpadmin", "cups-client" },
           std::pair { "/usr/lib/cups/backend/cups-pdf", "printer-driver-cups-pdf" },
           std::pair { "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd", "printer-driver-cups-pdf" },
           std::pair { "pdfinfo", "poppler-utils" }, std::pair { "pdftotext", "poppler-utils" } }) {
        if (std::optional<Unavailable> missing = notInstalled(QLatin1String(needed), QLatin1String(package)))
            return missing;
    }
    return unlessRoot(QStringLiteral("a print server of the test's own with a cups-pdf queue needs root"));
}

// Where the private server's queue writes what it prints: the job owner's PDF
// folder.
inline QDir queueOutput()
{
    const passwd* owner = getpwuid(geteuid());
    return QDir(QString::fromLocal8Bit(owner ? owner->pw_dir : "/root") + QStringLiteral("/PDF"));
}

// What the queue has written there of the orders with this number.
inline QStringList queueOutputs(const QString& orderNumber)
{
    return queueOutput().entryList({ QStringLiteral("*Order*%1*-job_*.pdf").arg(orderNumber) }, QDir::Files);
}

// A print server of the test's own (private-cups.sh), its queue OrderPDF the
// default printer, on a port of this run's own, away from the machine's
// print server, and the print system's default server while it runs. Its
// jobs' files stay in its spool; what its queue writes out of the orders
// with the given number goes again when it stops.
class PrivatePrintServer
{
public:
    // `script` is the path of private-cups.sh.
    bool start(const QString& script, const QString& orderNumber)
    {
        m_script = script;
        m_orderNumber = orderNumber;
        m_outputsBefore = queueOutputs(orderNumber);
        if (m_script.isEmpty() || !m_folder.isValid())
            return false;
        for (int attempt = 0; attempt < 5 && !m_started; ++attempt) {
            const int port = 20000 + (getpid() * 7 + attempt * 101) % 20000;
            int exitCode = 0;
            const QString out
                = run(QStringLiteral("sh"),
                      { m_script, QStringLiteral("start"), m_folder.path(), QString::number(port) }, &exitCode);
            if (exitCode == 0) {
                m_started = true;
                m_address = QStringLiteral("127.0.0.1:%1").arg(port);
                // Read by the print system when Qt first asks it for printers.
                qputenv("CUPS_SERVER", m_address.toLatin1());
            } else {
                qWarning("print server on port %d did not start: %s", port, qPrintable(out));
                run(QStringLiteral("sh"), { m_script, QStringLiteral("stop"), m_folder.path() });
            }
        }
        return m_started;
    }

    ~PrivatePrintServer() { stop(); }

    void stop()
    {
        if (m_started) {
            run(QStringLiteral("sh"), { m_script, QStringLiteral("stop"), m_folder.path() });
            const QDir written = queueOutput();
            for (const QString& output : queueOutputs(m_orderNumber)) {
                if (!m_outputsBefore.contains(output))
                    QFile::remove(written.filePath(output));
            }
            written.rmdir(written.path()); // only when nothing else is in it
        }
        m_started = false;
        // The server leaves its spool without write permission for its owner.
        if (m_folder.isValid())
            run(QStringLiteral("chmod"), { QStringLiteral("-R"), QStringLiteral("u+rwx"), m_folder.path() });
    }

    bool started() const { return m_started; }
    QString address() const { return m_address; }
    QString filePath(const QString& name) const { return m_folder.filePath(name); }

    // The file the server keeps of a job's first document.
    QString spooled(int job) const
    {
        return m_folder.filePath(QStringLiteral("spool/d%1-001").arg(job, 5, 10, QLatin1Char('0')));
    }

    // Waits until the queue has printed the job; what the server says of its
    // completed jobs, and its log when the job did not complete.
    bool waitUntilCompleted(int job, QString* said) const
    {
        const QString jobName = QStringLiteral("OrderPDF-%1 ").arg(job);
        for (QDeadlineTimer deadline(60000); !deadline.hasExpired(); QTest::qWait(200)) {
            *said = run(QStringLiteral("lpstat"),
                        { QStringLiteral("-h"), m_address, QStringLiteral("-W"), QStringLiteral("completed"),
                          QStringLiteral("-o") });
            if (said->contains(jobName))
                return true;
        }
        *said += run(QStringLiteral("cat"), { m_folder.filePath("log/error_log") });
        return false;
    }

private:
    QTemporaryDir m_folder;
    QString m_script;
    QString m_orderNumber;
    QStringList m_outputsBefore;
    QString m_address;
    bool m_started = false;
};
