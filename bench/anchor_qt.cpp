// The yardstick for the Qt program's CPU cost: the least a Qt Widgets program
// can do for the same display. One window with six labels and a 10 ms timer
// whose tick reads the memory figures once and sets the labels. SIGTERM ends
// it; with VELKROM_STATS=1 it then prints its tick rate as the program does.
// With VK_ANCHOR_QUERIES=18 its tick asks the system as often as the
// program's refresh does, which queries every figure afresh: ten reads of
// /proc/meminfo and eight sysinfo(2) calls for the totals. Beside the plain
// anchor that tells the program's queries apart from the rest of its cost.
#include <fcntl.h>
#include <sys/sysinfo.h>
#include <unistd.h>

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int endPipe[2];

// MemTotal, MemAvailable, SwapTotal, SwapFree in kB from one read.
std::array<long long, 4> readFigures(int fd) {
    std::array<long long, 4> kb{};
    char text[8192];
    const ssize_t n = pread(fd, text, sizeof text - 1, 0);
    if (n <= 0) return kb;
    text[n] = '\0';
    const char* names[] = {"MemTotal:", "MemAvailable:", "SwapTotal:", "SwapFree:"};
    for (std::size_t i = 0; i < kb.size(); ++i) {
        if (const char* at = std::strstr(text, names[i])) {
            kb[i] = std::atoll(at + std::strlen(names[i]));
        }
    }
    return kb;
}

QString mb(long long kb) {
    return QString::number(kb / 1024) + QStringLiteral(" MB");
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (pipe(endPipe) != 0) return 1;
    std::signal(SIGTERM, [](int) { (void)!write(endPipe[1], "x", 1); });
    QSocketNotifier ending(endPipe[0], QSocketNotifier::Read);
    QObject::connect(&ending, &QSocketNotifier::activated, &app, &QApplication::quit);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Anchor"));
    auto* grid = new QGridLayout(&window);
    std::array<QLabel*, 6> labels{};
    for (int i = 0; i < 6; ++i) {
        labels[i] = new QLabel(&window);
        grid->addWidget(labels[i], i % 3, i / 3);
    }
    window.resize(272, 226);
    window.show();

    const int fd = open("/proc/meminfo", O_RDONLY | O_CLOEXEC);
    const char* queries = std::getenv("VK_ANCHOR_QUERIES");
    const bool programsQueries = queries && std::string(queries) == "18";
    long long ticks = 0;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);  // the program's pace: 100 ticks a second
    QObject::connect(&timer, &QTimer::timeout, [&] {
        ++ticks;
        auto kb = readFigures(fd);
        if (programsQueries) {
            for (int i = 1; i < 10; ++i) kb = readFigures(fd);
            struct sysinfo info {};
            for (int i = 0; i < 8; ++i) (void)sysinfo(&info);
        }
        const long long values[] = {
            kb[0],        kb[0] - kb[1], kb[1], kb[0] + kb[2], kb[0] + kb[2] - kb[1] - kb[3],
            kb[1] + kb[3]};
        for (int i = 0; i < 6; ++i) labels[i]->setText(mb(values[i]));
    });
    timer.start(10);
    const auto started = std::chrono::steady_clock::now();
    QApplication::exec();
    const char* wanted = std::getenv("VELKROM_STATS");
    if (wanted && std::string(wanted) == "1") {
        const double s =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        std::fprintf(stderr, "anchor: %lld refresh ticks in %.3f s (%.1f per second)\n", ticks, s,
                     s > 0 ? static_cast<double>(ticks) / s : 0.0);
    }
    return 0;
}
