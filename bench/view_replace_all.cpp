// Benchmark: Replace All in the editor view of 3,000 matches on one line of
// 1 MB (a generated SELECT list), the Replace dialog's own call, undo record
// included. Target: under 1 s. Prints the median of several runs; exits 1
// when a run replaces the wrong number of matches or the median misses the
// target.
#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/praxdoc.h"
#include "app/praxview.h"

namespace {

constexpr int kMatches = 3000;
constexpr qsizetype kLineBytes = 1000 * 1000;

// "select c0000, c0001, ..., old_col, ..." on one line: the columns pad the
// line to 1 MB and every so many of them is the one to rename. The whole
// word option keeps "old_col" out of "old_col_x".
QByteArray makeLine()
{
    QByteArray line = "select ";
    const qsizetype perMatch = kLineBytes / kMatches;
    for (int match = 0; match < kMatches; ++match) {
        const qsizetype stop = line.size() + perMatch - 20;
        for (int column = 0; line.size() < stop; ++column)
            line += "c" + QByteArray::number(column) + ", old_col_x, ";
        line += "old_col, ";
    }
    line += "1 from t;";
    return line;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    CPraxDoc doc;
    CPraxView view(&doc);
    view.resize(800, 600);
    view.show();
    const QByteArray line = makeLine();

    CPraxView::SearchState search;
    search.text = QStringLiteral("old_col");
    search.matchCase = true;
    search.wholeWord = true;
    std::vector<double> seconds;
    bool right = true;
    for (int run = 0; run < 5; ++run) {
        view.setTextBytes(line);
        QElapsedTimer timer;
        timer.start();
        const int count = view.replaceAll(search, QStringLiteral("renamed_column"));
        QApplication::processEvents(); // the repaint the user waits for
        seconds.push_back(timer.nsecsElapsed() / 1e9);
        right = right && count == kMatches && view.lines() == 1 && !view.textBytes().contains("old_col,");
    }
    std::sort(seconds.begin(), seconds.end());
    const double median = seconds[seconds.size() / 2];
    std::printf("Replace All of %d matches on one line of %lld bytes: median %.3f s, best %.3f s, worst %.3f s%s\n",
                kMatches, static_cast<long long>(line.size()), median, seconds.front(), seconds.back(),
                right ? "" : " (WRONG RESULT)");
    return right && median < 1.0 ? 0 : 1;
}
