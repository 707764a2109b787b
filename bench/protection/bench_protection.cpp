// Measures what protecting the stored texts under the master password costs: unlocking (the key derivation that
// new files get), filling the main window's grid from 100,000 websites unprotected and protected, in turn in one run,
// the protecting pass over them, deciphering the steps of one launch, and one link on one thread.
// Prints one line per figure: "<name> <value> <unit>".

#include "../MainWindowRuns.h"
#include "domain/crypto/dsEncrypt.h"
#include "domain/data/InstructionStatements.h"
#include "platform/app/Application.h"
#include "support/ScriptedDialogs.h"
#include "support/SeedData.h"
#include "support/TempDataFolder.h"
#include "system/app/DataFileProtection.h"
#include "system/app/StoredTexts.h"
#include "system/app/UnitOfWork.h"
#include "system/app/basModule1.h"
#include "ui/main/frmWebsite.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <functional>

namespace {

void benchUnlock()
{
    const KeyDerivation derivation = KeyDerivation::fresh();
    const QString wrapped = DataKey::generate().wrap(QStringLiteral("master password"), derivation);
    const double seconds = bestSeconds(3, [&] {
        if (!DataKey::unwrap(wrapped, QStringLiteral("master password"), derivation))
            std::fprintf(stderr, "the key did not open\n");
    });
    std::printf("unlock_argon2id_%llu_passes_%llu_mib %.3f s\n", static_cast<unsigned long long>(derivation.passes),
                static_cast<unsigned long long>(derivation.memoryBytes >> 20), seconds);
}

// One fill of the window's grid from the data file in the folder, the stored texts read as `use` sets them up.
double fillSeconds(frmWebsite& window, const TempDataFolder& folder, const std::function<void()>& use, int websites)
{
    Application::setPath(folder.path());
    use();
    return fillGridSeconds(window, websites, 1);
}

// The main window shown on the data file in the folder, from its construction to its first exposure: its start-up
// reads the settings, asks the master password of a protected file (a derivation of the cheapest cost here: the
// time after unlocking), fills the grid and the launcher's list.
double showSeconds(const TempDataFolder& folder, const QString& password)
{
    Application::setPath(folder.path());
    ScriptedDialogs dialogs;
    dialogs.answers = QStringList{password};
    return showMainWindowSeconds(1);
}

// Two files of the same websites, one protected, filled in turn in one window: the best of five fills of each; then
// the main window shown on each in turn, the best of three.
void benchFillBeforeAndAfter(int websites)
{
    gobjEncrypt = std::make_unique<dsEncrypt>();
    const QString password = QStringLiteral("master password");
    TempDataFolder plainFolder;
    seedWebsites(plainFolder.dataFilePath(), numberedWebsites(websites));
    TempDataFolder protectedFolder;
    seedWebsites(protectedFolder.dataFilePath(), numberedWebsites(websites));
    QElapsedTimer pass;
    pass.start();
    ProtectStoredTexts(password, KeyDerivation::fresh(1, 8192));
    const double passSeconds = static_cast<double>(pass.nsecsElapsed()) / 1e9;
    TextProtectionRow protection;
    {
        UnitOfWork work;
        protection = *ReadTextProtection(work);
    }
    frmWebsite window;
    double plain = 1e9;
    double protectedFill = 1e9;
    for (int run = 0; run < 5; ++run) {
        plain = std::min(plain, fillSeconds(window, plainFolder, useFieldCipher, websites));
        protectedFill = std::min(
            protectedFill, fillSeconds(
                               window, protectedFolder, [&] { UnlockStoredTexts(protection, password); }, websites));
    }
    double plainShow = 1e9;
    double protectedShow = 1e9;
    for (int run = 0; run < 3; ++run) {
        plainShow = std::min(plainShow, showSeconds(plainFolder, {}));
        protectedShow = std::min(protectedShow, showSeconds(protectedFolder, password));
    }
    std::printf("show_main_window_%d_unprotected %.3f s\n", websites, plainShow);
    std::printf("show_main_window_%d_protected %.3f s\n", websites, protectedShow);
    std::printf("show_main_window_%d_ratio %.2f x\n", websites, protectedShow / plainShow);
    std::printf("fillgrid_%d_unprotected %.3f s\n", websites, plain);
    std::printf("fillgrid_%d_protected %.3f s\n", websites, protectedFill);
    std::printf("fillgrid_%d_ratio %.2f x\n", websites, protectedFill / plain);
    std::printf("protect_pass_%d %.3f s\n", websites, passSeconds);
    useFieldCipher();
}

// What a launch reads and deciphers before its first key: the steps of a website of ten, five of them texts.
void benchLaunchSteps()
{
    TempDataFolder folder;
    folder.execute({QStringLiteral("INSERT INTO Website (WebsiteName, WebsiteLink) VALUES ('n', 'l')")});
    for (int i = 0; i < 5; ++i)
        folder.execute({QStringLiteral("INSERT INTO WebsiteInstructions (WebsiteID, EventTypeID, TextToTypeIn) "
                                       "VALUES (1, 1, '%1'), (1, 3, Null)")
                            .arg(dsEncrypt().Encrypt2(QStringLiteral("user.name.%1@mail.example").arg(i)))});
    ProtectStoredTexts(QStringLiteral("master password"), KeyDerivation::fresh(1, 8192));
    UnitOfWork work;
    Recordset steps = work.snapshot(ReplayInstructionsQuery(QStringLiteral("1")));
    int deciphered = 0;
    const double seconds = bestSeconds(20, [&] {
        for (steps.moveFirst(); !steps.eof(); steps.moveNext()) {
            const QString stored = steps.fields(QStringLiteral("TextToTypeIn")).text();
            const QString key = steps.fields(QStringLiteral("WebsiteInstructionsID")).text();
            deciphered += RevealStoredText(StepTextPlace(key), stored).has_value() ? 1 : 0;
        }
    });
    if (deciphered != 20 * 10)
        std::fprintf(stderr, "%d steps deciphered, not 200\n", deciphered);
    std::printf("decipher_launch_steps_10 %.3f ms\n", seconds * 1000);
    useFieldCipher();
}

// One value of a list deciphered on one thread: a link under the field cipher, and protected.
void benchOneValue()
{
    const int values = 100000;
    const QString link = QStringLiteral("https://example.test/12345");
    const StoredTextPlace place = WebsiteLinkPlace(QStringLiteral("12345"));
    dsEncrypt cipher;
    const QString fieldForm = cipher.Encrypt2(link);
    const DataKey key = DataKey::generate();
    const QString protectedForm = key.conceal(place, link);
    int wrong = 0;
    const double fieldSeconds = bestSeconds(3, [&] {
        for (int i = 0; i < values; ++i)
            wrong += cipher.Encrypt2(fieldForm) == link ? 0 : 1;
    });
    const double protectedSeconds = bestSeconds(3, [&] {
        for (int i = 0; i < values; ++i)
            wrong += key.reveal(place, protectedForm) == link ? 0 : 1;
    });
    if (wrong != 0)
        std::fprintf(stderr, "%d values came back wrong\n", wrong);
    std::printf("decipher_one_link_field_cipher %.3f us\n", fieldSeconds * 1e6 / values);
    std::printf("decipher_one_link_protected %.3f us\n", protectedSeconds * 1e6 / values);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    benchUnlock();
    benchLaunchSteps();
    benchOneValue();
    benchFillBeforeAndAfter(100000);
    return 0;
}
