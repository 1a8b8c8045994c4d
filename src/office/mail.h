#pragma once

#include "datafiles/failure.h"

#include <QString>

#include <functional>
#include <optional>

namespace core {
struct Company;
class Order;
} // namespace core

// A new message in the desktop's own mail program, for the operator to read
// through and send. The program never sends anything itself.
namespace office {

struct MailMessage
{
    QString to; // empty: the operator fills it in
    QString subject;
    QString body;
    QString attachment; // a file's absolute path
};

// The message that sends a printed order's kept PDF to its customer, signed
// with the business's details.
MailMessage orderMessage(const core::Order& order, const QString& address, const QString& pdf,
                         const core::Company& sender);

// The program the desktop opens for an e-mail address ("mailto:").
struct MailProgram
{
    QString desktopEntry; // e.g. thunderbird.desktop
    QString program; // where the program lies
    // Thunderbird leaves out an attachment given in a "mailto:" address, so it
    // is given the message through its own -compose instead.
    bool thunderbird = false;
};

// None where the desktop has no mail program set up, or its program is gone.
std::optional<MailProgram> defaultMailProgram();

struct MailOpening
{
    bool noMailProgram = false;
    std::optional<datafiles::Failure> failure;
};

// Starts the mail program with the message: through xdg-email, or through
// Thunderbird's own -compose where Thunderbird is the mail program.
MailOpening openMessage(const MailMessage& message);

// The -compose argument that gives Thunderbird the message.
QString thunderbirdCompose(const MailMessage& message);

// Shows the folder in the desktop's file manager.
std::optional<datafiles::Failure> openFolder(const QString& folder);

// Installs, for as long as it lives, what openFolder() starts in place of the
// desktop's file manager: false from it is a file manager that did not start.
// How xdg-open finds a file manager depends on what else the machine has
// installed; a test sees the folder the operator was offered all the same.
class FolderOpenerForTesting
{
public:
    explicit FolderOpenerForTesting(std::function<bool(const QString& folder)> open);
    ~FolderOpenerForTesting();
    FolderOpenerForTesting(const FolderOpenerForTesting&) = delete;
    FolderOpenerForTesting& operator=(const FolderOpenerForTesting&) = delete;
};

} // namespace office
