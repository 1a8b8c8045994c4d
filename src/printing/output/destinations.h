#pragma once

#include <QString>

#include <functional>
#include <memory>

class QIODevice;

namespace printing {

class Page;

// Where the print command sends the order document: the system's default
// printer, when it has one, and always the PDF copy kept beside the order's
// files. Tests install an Override, which stands in for both while it lives.
struct Destinations
{
    // Empty when the system has no printer.
    std::function<std::unique_ptr<Page>(const QString& jobName)> printer;
    // The kept copy, written into the given file.
    std::function<std::unique_ptr<Page>(QIODevice& file, const QString& jobName)> pdfCopy;

    class Override
    {
    public:
        explicit Override(Destinations destinations);
        ~Override();
        Override(const Override&) = delete;
        Override& operator=(const Override&) = delete;
    };

    // The override, if one is installed, otherwise the system's.
    static Destinations current();
    static Destinations system();

    // The default printer with its own paper and printable area, portrait.
    static std::unique_ptr<Page> defaultPrinterPage(const QString& jobName);
    // An A4 portrait page with a printable area 5 mm in from each edge.
    static std::unique_ptr<Page> pdfPage(QIODevice& file, const QString& jobName);
};

} // namespace printing
