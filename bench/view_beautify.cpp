// Benchmark: Beautify of a whole document of about N MB (argument, default 1)
// in the editor view, engine run (in memory), splicing and text replacement
// included. Target: under 0.5 s for 1 MB, under 1 s for 10 MB (0.1 s per MB
// above 5 MB). Prints the median of several runs; exits 1 when a run fails (a
// message box) or the median misses the target.
#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/msgbox.h"
#include "app/praxdoc.h"
#include "app/praxview.h"
#include "engine/options.h"

namespace {

int g_failures = 0;

void countFailure(const QString &text)
{
    std::fprintf(stderr, "message: %s\n", qPrintable(text));
    ++g_failures;
}

// Statements of the kinds real scripts hold; formatting makes them a little
// longer, so the document stays below the size limit once beautified.
QByteArray makeDocument(qsizetype targetBytes)
{
    static const char *const statements[] = {
        "select a.id, a.name, b.total from accounts a, orders b where a.id = b.account_id and b.total > 100 "
        "or b.status = 'open' order by a.name;\n",
        "update orders set status = 'closed', closed_at = current_date where total = 0 and status = 'open';\n",
        "insert into audit (id, action, at) select id, 'x', current_date from orders where id in "
        "(select order_id from lines where qty > 5);\n",
        "delete from lines where order_id not in (select id from orders);\n",
    };
    QByteArray text;
    for (int i = 0; text.size() < targetBytes; ++i)
        text += statements[i % 4];
    return text;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int megabytes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1;
    const qsizetype size = qsizetype(megabytes) * 1000 * 1000;
    const double target = std::max(0.5, 0.1 * megabytes);
    prax::format_options = prax::load_default_format_options();

    CPraxDoc doc;
    CPraxView view(&doc);
    // The document is SQL as the formatter leaves it, close to the size: raw
    // statements grow when formatted, so shrink them until the formatted
    // text fits, then time Beautify of that text.
    QByteArray document;
    for (qsizetype raw = size / 2; raw > 0 && document.isEmpty(); raw -= raw / 40) {
        setMessageBoxRecorder([](const QString &) { ++g_failures; });
        g_failures = 0;
        view.setTextBytes(makeDocument(raw));
        view.OnBeautify();
        if (g_failures == 0 && view.textBytes().size() > size / 20 * 19 &&
            view.textBytes().size() <= size)
            document = view.textBytes();
    }
    setMessageBoxRecorder(countFailure);
    g_failures = 0;

    std::vector<double> seconds;
    qsizetype resultSize = 0;
    for (int run = 0; run < 5; ++run) {
        view.setTextBytes(document);
        QElapsedTimer timer;
        timer.start();
        view.OnBeautify();
        seconds.push_back(timer.nsecsElapsed() / 1e9);
        resultSize = view.textBytes().size();
    }
    std::sort(seconds.begin(), seconds.end());
    const double median = seconds[seconds.size() / 2];
    std::printf("Beautify of %lld bytes (result %lld bytes): median %.3f s, best %.3f s, worst %.3f s\n",
                static_cast<long long>(document.size()), static_cast<long long>(resultSize), median,
                seconds.front(), seconds.back());
    return g_failures == 0 && median < target ? 0 : 1;
}
