// The About box: the "FMTLOGO" logo, the version line and a second line of
// text, and OK. The logo image is looked up by the logo's caption followed by
// "U" among the program's bitmaps; when it cannot be loaded the user is told
// ("fail load bitmaps") and the box opens without it.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;

class CAboutDlg : public QDialog
{
    Q_OBJECT

public:
    static constexpr int IDD_ABOUTBOX = 100;
    static constexpr int IDC_LOGO = 1024;
    static constexpr const char *kLogoCaption = "FMTLOGO";

    // `logoCaption` names the logo's image (caption + "U"); tests pass a
    // caption without an image.
    explicit CAboutDlg(QWidget *parent = nullptr, const QString &logoCaption = QString::fromLatin1(kLogoCaption));

    bool logoLoaded() const { return m_logoLoaded; }
    QLabel *logo() const { return m_logo; }

    // Where the bitmaps named by captions live.
    static QString bitmapPath(const QString &name);

private:
    QLabel *m_logo;
    bool m_logoLoaded = false;
};
