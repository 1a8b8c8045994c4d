#include "qttranslation.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace {

struct OwnText
{
    const char* context;
    const char* source;
    const char* disambiguation;
    const char* swedish;
};

// Qt's words as Qt 6 asks for them, which Debian's qt_sv.qm does not have.
// The key names Qt translates too ("Alt+Left") stay as they are: they are read
// back as keys.
constexpr OwnText ownTexts[] = {
    { "QFileDialog", "Look in:", "", "Leta i:" },
    { "QFileDialog", "Go back", "", "Gå tillbaka" },
    { "QFileDialog", "Go forward", "", "Gå framåt" },
    { "QFileDialog", "Go to the parent directory", "", "Gå till mappen ovanför" },
    { "QFileDialog", "Create a New Folder", "", "Skapa en ny mapp" },
    { "QFileDialog", "Change to list view mode", "", "Visa som lista" },
    { "QFileDialog", "Change to detail view mode", "", "Visa med detaljer" },
    { "QFileDialog", "Sidebar", "", "Sidopanel" },
    { "QFileDialog", "List of places and bookmarks", "", "Platser och bokmärken" },
    { "QFileDialog", "Files", "", "Filer" },
    { "QFileDialog", "&Choose", "", "&Välj" },
    { "QFileDialog", "Show ", "", "Visa " },
    { "QFileDialog", "&New Folder", "", "&Ny mapp" },
    { "QFileDialog", "Recent Places", "", "Senaste platser" },
    { "QFileDialog", "All files (*)", "", "Alla filer (*)" },
    { "QFileDialog", "Are you sure you want to delete '%1'?", "", "Vill du ta bort \"%1\"?" },
    { "QFileSystemModel", "Computer", "", "Datorn" },
    { "QFileSystemModel", "Invalid filename", "", "Ogiltigt filnamn" },
    { "QFileSystemModel",
      "<b>The name \"%1\" cannot be used.</b><p>Try using another name, with fewer characters or no punctuation "
      "marks.",
      "", "<b>Namnet \"%1\" kan inte användas.</b><p>Pröva ett annat namn, med färre tecken eller utan skiljetecken." },
    { "QAbstractFileIconProvider", "Drive", "", "Enhet" },
    { "QAbstractFileIconProvider", "Folder", "All other platforms", "Mapp" },
    { "QAbstractFileIconProvider", "Shortcut", "All other platforms", "Länk" },
    { "QAbstractFileIconProvider", "Unknown", "", "Okänd" },
    { "QPlatformTheme", "OK", "", "OK" },
    { "QPlatformTheme", "Save", "", "Spara" },
    { "QPlatformTheme", "Save All", "", "Spara alla" },
    { "QPlatformTheme", "Open", "", "Öppna" },
    { "QPlatformTheme", "&Yes", "", "&Ja" },
    { "QPlatformTheme", "Yes to &All", "", "Ja till &alla" },
    { "QPlatformTheme", "&No", "", "&Nej" },
    { "QPlatformTheme", "N&o to All", "", "N&ej till alla" },
    { "QPlatformTheme", "Abort", "", "Avbryt" },
    { "QPlatformTheme", "Retry", "", "Försök igen" },
    { "QPlatformTheme", "Ignore", "", "Hoppa över" },
    { "QPlatformTheme", "Close", "", "Stäng" },
    { "QPlatformTheme", "Cancel", "", "Avbryt" },
    { "QPlatformTheme", "Discard", "", "Släng" },
    { "QPlatformTheme", "Help", "", "Hjälp" },
    { "QPlatformTheme", "Apply", "", "Verkställ" },
    { "QPlatformTheme", "Reset", "", "Återställ" },
    { "QPlatformTheme", "Restore Defaults", "", "Återställ standardvärden" },
};

class OwnSwedishTexts : public QTranslator
{
public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* source, const char* disambiguation, int) const override
    {
        const char* asked = disambiguation ? disambiguation : "";
        for (const OwnText& text : ownTexts) {
            if (qstrcmp(text.source, source) == 0 && qstrcmp(text.context, context) == 0
                && qstrcmp(text.disambiguation, asked) == 0)
                return QString::fromUtf8(text.swedish);
        }
        return {};
    }

    bool isEmpty() const override { return false; }
};

} // namespace

QTranslator* installSwedishQtTexts(QCoreApplication& app, const QString& folder)
{
    const QString from = folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    // The file by its whole name: given a name that is not there, QTranslator
    // would try shorter ones and could load another language's texts.
    const QString file = from + QStringLiteral("/qt_sv.qm");
    if (!QFileInfo(file).isFile())
        return nullptr;
    auto translator = std::make_unique<QTranslator>(&app);
    if (!translator->load(file) || !QCoreApplication::installTranslator(translator.get()))
        return nullptr;
    return translator.release();
}

QTranslator* installOwnSwedishTexts(QCoreApplication& app)
{
    auto translator = std::make_unique<OwnSwedishTexts>(&app);
    if (!QCoreApplication::installTranslator(translator.get()))
        return nullptr;
    return translator.release();
}
