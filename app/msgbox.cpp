#include "app/msgbox.h"

#include <QMessageBox>

namespace {
MessageBoxRecorder g_recorder = nullptr;
MessageBoxCapture *g_capture = nullptr;
}

MessageBoxCapture::MessageBoxCapture() : m_outer(g_capture)
{
    g_capture = this;
}

MessageBoxCapture::~MessageBoxCapture()
{
    g_capture = m_outer;
}

void setMessageBoxRecorder(MessageBoxRecorder recorder)
{
    g_recorder = recorder;
}

void praxMessageBox(QWidget *parent, const QString &text)
{
    if (g_capture) {
        g_capture->m_texts << text;
        return;
    }
    if (g_recorder) {
        g_recorder(text);
        return;
    }
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kAppTitle), text, QMessageBox::Ok, parent);
    box.exec();
}
