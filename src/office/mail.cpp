#include "mail.h"

#include "orderexport.h"

#include "order/company.h"
#include "order/order.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>

namespace office {
namespace {

// The desktop entry file of a name that xdg-mime gives, found as the desktop
// finds it: in an applications folder, or in a vendor's folder below one
// ("kde-kmail.desktop" in kde/kmail.desktop).
QString desktopEntryFile(const QString& name)
{
    QStringList candidates { name };
    if (const qsizetype dash = name.indexOf(u'-'); dash > 0)
        candidates.append(name.first(dash) + u'/' + name.sliced(dash + 1));
    for (const QString& folder : QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
        for (const QString& candidate : candidates) {
            if (QFileInfo(folder + u'/' + candidate).isFile())
                return folder + u'/' + candidate;
        }
        for (const QString& vendor : QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            if (QFileInfo(folder + u'/' + vendor + u'/' + name).isFile())
                return folder + u'/' + vendor + u'/' + name;
        }
    }
    return {};
}

// The program of the entry's Exec line.
QString programOf(const QString& entryFile)
{
    QFile file(entryFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    bool inEntry = false;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(u'['))
            inEntry = line == u"[Desktop Entry]";
        else if (inEntry && line.startsWith(QStringLiteral("Exec="))) {
            const QStringList words = QProcess::splitCommand(line.sliced(5));
            return words.isEmpty() ? QString() : QStandardPaths::findExecutable(words.first());
        }
    }
    return {};
}

// An address the mail program takes as one address: nothing that would part
// it into two, or make it an option of xdg-email.
bool usableAddress(const QString& address)
{
    static const QRegularExpression plain(QStringLiteral(R"(^[^\s@,;<>"'()\-][^\s@,;<>"'()]*@[^\s@,;<>"'()]+$)"));
    return plain.match(address).hasMatch();
}

// A field of Thunderbird's -compose: in single quotes as it stands, or, where
// it holds a quote, percent-encoded without them, which Thunderbird decodes.
QString composeField(const char* name, const QString& value)
{
    if (value.contains(u'\''))
        return QLatin1String(name) + u'=' + QString::fromLatin1(QUrl::toPercentEncoding(value));
    return QLatin1String(name) + QStringLiteral("='") + value + u'\'';
}

bool runs(const QString& program, const QStringList& arguments)
{
    return !program.isEmpty() && QProcess::startDetached(program, arguments);
}

std::function<bool(const QString&)>& folderOpener()
{
    static std::function<bool(const QString&)> open;
    return open;
}

// The closing lines under "Med vänliga hälsningar": the business's details.
QString signature(const core::Company& sender)
{
    QString lines;
    for (const QString& line : core::senderLines(sender))
        lines += line + u'\n';
    return lines;
}

} // namespace

MailMessage orderMessage(const core::Order& order, const QString& address, const QString& pdf,
                         const core::Company& sender)
{
    const QString number = order.text(core::Order::OrderNumber);
    const std::optional<QDate> date = dateOfOrder(order.text(core::Order::OrderDate));
    const QString which = date ? QStringLiteral("order %1 av den %2").arg(number, date->toString(Qt::ISODate))
                               : QStringLiteral("order %1").arg(number);
    return { address, QStringLiteral("Order %1").arg(number),
             QStringLiteral("Hej!\n\nBifogat finns %1.\n\nMed vänliga hälsningar\n").arg(which) + signature(sender),
             QFileInfo(pdf).absoluteFilePath() };
}

std::optional<MailProgram> defaultMailProgram()
{
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty())
        return std::nullopt;
    QProcess query;
    query.start(xdgMime,
                { QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("x-scheme-handler/mailto") });
    if (!query.waitForFinished(10000) || query.exitStatus() != QProcess::NormalExit)
        return std::nullopt;
    MailProgram mail;
    mail.desktopEntry = QString::fromUtf8(query.readAllStandardOutput()).section(u'\n', 0, 0).trimmed();
    if (mail.desktopEntry.isEmpty())
        return std::nullopt;
    mail.program = programOf(desktopEntryFile(mail.desktopEntry));
    if (mail.program.isEmpty())
        return std::nullopt;
    static const QRegularExpression thunderbird(QStringLiteral("thunderbird|icedove|betterbird"),
                                                QRegularExpression::CaseInsensitiveOption);
    mail.thunderbird = thunderbird.match(mail.program).hasMatch()
        || thunderbird.match(QFileInfo(mail.program).canonicalFilePath()).hasMatch();
    return mail;
}

QString thunderbirdCompose(const MailMessage& message)
{
    QStringList fields;
    if (usableAddress(message.to))
        fields.append(composeField("to", message.to));
    fields.append(composeField("subject", message.subject));
    fields.append(composeField("body", message.body));
    // As a file URL the path can hold a comma, which would otherwise part
    // the list of attachments.
    QString url = QUrl::fromLocalFile(message.attachment).toString(QUrl::FullyEncoded);
    url.replace(u',', QStringLiteral("%2C")).replace(u'\'', QStringLiteral("%27"));
    fields.append(QStringLiteral("attachment='") + url + u'\'');
    return fields.join(u',');
}

MailOpening openMessage(const MailMessage& message)
{
    MailOpening opening;
    const std::optional<MailProgram> mail = defaultMailProgram();
    const QString xdgEmail = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
    if (!mail || (!mail->thunderbird && xdgEmail.isEmpty())) {
        opening.noMailProgram = true;
        return opening;
    }
    bool started = false;
    if (mail->thunderbird) {
        started = runs(mail->program, { QStringLiteral("-compose"), thunderbirdCompose(message) });
    } else {
        QStringList arguments { QStringLiteral("--utf8"),
                                QStringLiteral("--subject"),
                                message.subject,
                                QStringLiteral("--body"),
                                message.body,
                                QStringLiteral("--attach"),
                                message.attachment };
        if (usableAddress(message.to))
            arguments.append(message.to);
        started = runs(xdgEmail, arguments);
    }
    if (!started)
        opening.failure = datafiles::Failure { QStringLiteral("öppna e-postprogrammet"), mail->program,
                                               QStringLiteral("programmet gick inte att starta") };
    return opening;
}

std::optional<datafiles::Failure> openFolder(const QString& folder)
{
    if (folderOpener() ? folderOpener()(folder)
                       : runs(QStandardPaths::findExecutable(QStringLiteral("xdg-open")), { folder }))
        return std::nullopt;
    return datafiles::Failure { QStringLiteral("öppna mappen"), folder,
                                QStringLiteral("skrivbordet har inget program som visar mappar (xdg-open)") };
}

FolderOpenerForTesting::FolderOpenerForTesting(std::function<bool(const QString&)> open)
{
    Q_ASSERT(!folderOpener());
    folderOpener() = std::move(open);
}

FolderOpenerForTesting::~FolderOpenerForTesting()
{
    folderOpener() = nullptr;
}

} // namespace office
