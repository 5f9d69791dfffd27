// Shows the toolkit's standard error box with a given caption and text, so
// that an end-to-end test can compare the program's box with it pixel by
// pixel: the same toolkit, style and fonts draw the same text the same way.
//   e2e-message-box <caption> <text>
#include <QApplication>
#include <QMessageBox>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fputs("usage: e2e-message-box <caption> <text>\n", stderr);
        return 2;
    }
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8(argv[1]), QString::fromUtf8(argv[2]), QMessageBox::Ok);
    box.show();
    return app.exec();
}
