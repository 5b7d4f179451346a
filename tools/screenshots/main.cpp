// quillet-screenshots INSTALLATION OUTDIR SUFFIX: opens the five dialogs on
// a sample installation made by `quillet-host demo --dir INSTALLATION`,
// grabs each one into OUTDIR/<dialog>-SUFFIX.png and closes it with Cancel.
#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "quillet/quillet.h"

namespace {

// Waits for the modal dialog, grabs it and presses Cancel.
void ArmGrab(const QString& file, bool* grabbed) {
    auto* timer = new QTimer();
    timer->setInterval(50);
    auto attempts = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, file, grabbed, attempts] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr || !dialog->isVisible()) {
            if (++*attempts > 200) {
                timer->stop();
                timer->deleteLater();
            }
            return;
        }
        timer->stop();
        timer->deleteLater();
        QApplication::processEvents();
        *grabbed = dialog->grab().save(file);
        std::printf("%s %s\n", *grabbed ? "wrote" : "could not write", qPrintable(file));
        if (auto* cancel = dialog->findChild<QPushButton*>("2")) {
            cancel->click();
        } else if (auto* box = qobject_cast<QDialog*>(dialog)) {
            box->reject();
        }
    });
    timer->start();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: quillet-screenshots INSTALLATION OUTDIR SUFFIX\n");
        return 64;
    }
    const std::string base = argv[1];
    const QString out = QString::fromLocal8Bit(argv[2]);
    const QString suffix = QString::fromLocal8Bit(argv[3]);
    ::setenv("QUILLET_REGISTRY", (base + "/registry.reg").c_str(), 1);
    QApplication app(argc, argv);
    const std::string driver = base + "/drivers/laser.drv";

    struct Shot {
        const char* name;
        std::function<int()> open;
    };
    const Shot shots[] = {
        {"nc-template-102",
         [] {
             char buffer[QUILLET_PATH_BUFFER_SIZE] = {};
             return SddOthMacCondDLG(0, 0, 130, "MC01", "SPCC1.6", "", 0, 0, buffer);
         }},
        {"driver-laser-130",
         [&] { return MD_OthMacLasCutDLG(driver.c_str(), "MC01", "SPCC1.6", 1); }},
        {"driver-tool-131", [&] { return MD_OthMacToolDLG(driver.c_str(), "MC01", "DIE01", 1); }},
        {"driver-nc-132", [&] { return MD_OthMacNCCreateDLG(driver.c_str(), "MC01"); }},
        {"pdl-laser-129", [] { return SddPDLOthMacLasCutDLG("MC01", 13300, "SPCC1.6", 0); }},
    };
    int failures = 0;
    for (const Shot& shot : shots) {
        bool grabbed = false;
        ArmGrab(out + "/" + shot.name + "-" + suffix + ".png", &grabbed);
        const int status = shot.open();
        if (!grabbed) {
            std::fprintf(stderr, "quillet-screenshots: %s: no dialog (status %d)\n", shot.name,
                         status);
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
