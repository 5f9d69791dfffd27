#include "frontends/qt/shell/sound_folder_error.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace vorlak {

void reportBrokenSoundFolder(QWidget* owner, const std::function<void()>& forgetChoices) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), QString::fromLatin1(kBrokenSoundFolderText),
                    QMessageBox::Ok, owner);
    box.exec();
    if (forgetChoices) forgetChoices();
    // Ends the event loop without closing the windows first: the program
    // simply ends, with the launcher still showing.
    QCoreApplication::exit(0);
}

}  // namespace vorlak
