// Shows the Options dialog with the current defaults and saves a picture of
// it, so that its layout can be compared with the template by eye. Takes the
// output path and, optionally, the point size of the application font.
#include "app/dialogs/formatoptionsdlg.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s out.png [point-size]\n", argv[0]);
        return 2;
    }
    if (argc > 2) {
        QFont f = QApplication::font();
        f.setPointSize(QString::fromLocal8Bit(argv[2]).toInt());
        QApplication::setFont(f);
    }
    CFormatOptionsDlg dlg;
    const QString out = QString::fromLocal8Bit(argv[1]);
    bool saved = false;
    QTimer::singleShot(500, &dlg, [&] {
        saved = dlg.grab().save(out);
        dlg.reject();
    });
    dlg.exec();
    return saved ? 0 : 1;
}
