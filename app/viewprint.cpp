// Printing of the editor view: the process-wide printer that Print Setup
// configures, and the view's Print and Print Preview commands, which print
// the whole text through QScintilla's printer.
#include "app/praxview.h"

#include <QCoreApplication>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <Qsci/qsciprinter.h>

#include <memory>

QsciPrinter &praxPrinter()
{
    static std::unique_ptr<QsciPrinter> printer;
    if (!printer) {
        printer = std::make_unique<QsciPrinter>();
        // A printer must not outlive the application's print support.
        qAddPostRoutine([] { printer.reset(); });
    }
    return *printer;
}

void CPraxView::OnFilePrint()
{
    QsciPrinter &printer = praxPrinter();
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        printer.printRange(this);
}

void CPraxView::OnFilePrintPreview()
{
    QsciPrinter &printer = praxPrinter();
    QPrintPreviewDialog preview(&printer, this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this, &printer](QPrinter *) { printer.printRange(this); });
    preview.exec();
}
