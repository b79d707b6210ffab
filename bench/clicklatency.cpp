// Click latency: a left click on a row of the names list through to the result box having
// repainted the new report, measured in process over many clicks on the real window.
//
//   clicklatency [--clicks N]
//
// Runs on whatever platform Qt is given (bench/run uses xcb under Xvfb). Each click goes to
// the list's viewport the way QTest sends it; the time runs from just before the press until
// the event loop has handled the paint of the box that follows. Prints p50, p99 and max.
#include "applicationsetup.h"
#include "tavrelon.h"

#include <QApplication>
#include <QEvent>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Notes that the watched widget received a paint event.
class PaintWatch : public QObject
{
public:
    bool painted = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            painted = true;
        }
        return QObject::eventFilter(watched, event);
    }
};

double percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    const auto index = std::size_t(fraction * double(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

double milliseconds(Clock::duration duration)
{
    return std::chrono::duration<double, std::milli>(duration).count();
}

} // namespace

int main(int argc, char *argv[])
{
    int clicks = 1000;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--clicks") == 0) {
            clicks = std::max(1, std::atoi(argv[i + 1]));
        }
    }

    QApplication app(argc, argv);
    ApplicationSetup::apply();
    Tavrelon window;
    window.centreOnScreen();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fputs("clicklatency: the window was never exposed\n", stderr);
        return 1;
    }

    auto *list = window.namesList();
    PaintWatch watch;
    window.resultBox()->viewport()->installEventFilter(&watch);

    const int warmUp = 50;
    std::vector<double> handled; // press and release delivered, report written
    std::vector<double> repainted; // ... and the box painted
    for (int i = 0; i < warmUp + clicks; ++i) {
        // Every row in turn, the next one always a different name.
        auto *item = list->item(i % list->count());
        list->scrollToItem(item);
        QCoreApplication::processEvents();
        const auto point = list->visualItemRect(item).center();
        watch.painted = false;

        const auto start = Clock::now();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, point);
        const auto clicked = Clock::now();
        while (!watch.painted) {
            QCoreApplication::processEvents();
        }
        const auto done = Clock::now();

        if (!item->isSelected()) {
            std::fprintf(stderr, "clicklatency: the click on row %d missed\n", i % list->count());
            return 1;
        }
        if (i >= warmUp) {
            handled.push_back(milliseconds(clicked - start));
            repainted.push_back(milliseconds(done - start));
        }
    }

    std::printf("\nClick on a name to repainted result box, %d clicks on the %s platform\n\n",
                clicks, qPrintable(QGuiApplication::platformName()));
    std::printf("| figure | p50, ms | p99, ms | max, ms |\n|---|---|---|---|\n");
    std::printf("| click handled (report written) | %.3f | %.3f | %.3f |\n",
                percentile(handled, 0.5), percentile(handled, 0.99), percentile(handled, 1));
    std::printf("| click to repainted box | %.3f | %.3f | %.3f |\n\n", percentile(repainted, 0.5),
                percentile(repainted, 0.99), percentile(repainted, 1));
    return 0;
}
