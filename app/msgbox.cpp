#include "app/msgbox.h"

#include <QMessageBox>

namespace {
MessageBoxRecorder g_recorder = nullptr;
}

void setMessageBoxRecorder(MessageBoxRecorder recorder)
{
    g_recorder = recorder;
}

void praxMessageBox(QWidget *parent, const QString &text)
{
    if (g_recorder) {
        g_recorder(text);
        return;
    }
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kAppTitle), text, QMessageBox::Ok, parent);
    box.exec();
}
