// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
//
// quadrivo_bench [--sizes 300,3000,32767] [--runs R]
//     times the import, the grid, the report and the start-up on generated
//     member lists, each size in a child process of its own, and prints one
//     table. Exit code 2 when a target is missed.
// quadrivo_bench --child N [--runs R]
//     one size in this process (what the parent starts; also handy under a
//     profiler).
#include "Child.h"
#include "Parent.h"

#include "app/HeapSettings.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLocale>
#include <QStringList>

#include <cstdio>
#include <optional>
#include <vector>

namespace {

int defaultRuns(int members)
{
    return members > 10000 ? 3 : 5;
}

int usage()
{
    std::fprintf(stderr, "usage: quadrivo_bench [--sizes 300,3000,32767] [--runs R] | --child N [--runs R]\n");
    return 64;
}

} // namespace

int main(int argc, char *argv[])
{
    std::optional<int> child;
    std::optional<int> runs;
    std::vector<int> sizes = {300, 3000, 32767};
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        const QString value = i + 1 < argc ? QString::fromLocal8Bit(argv[i + 1]) : QString();
        bool ok = false;
        if (arg == u"--child") {
            child = value.toInt(&ok);
        } else if (arg == u"--runs") {
            runs = value.toInt(&ok);
            ok = ok && *runs > 0;
        } else if (arg == u"--sizes") {
            sizes.clear();
            ok = !value.isEmpty();
            for (const QString &s : value.split(u',')) {
                bool sizeOk = false;
                sizes.push_back(s.toInt(&sizeOk));
                ok = ok && sizeOk && sizes.back() > 0;
            }
        }
        if (!ok)
            return usage();
        ++i;
    }

    if (child) {
        if (*child <= 0)
            return usage();
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        // The child stands for the program: its heap is set as main() sets it.
        configureHeap();
        QApplication app(argc, argv);
        // Scores are written, read and shown with Italian grouping.
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        return runChild(*child, runs.value_or(defaultRuns(*child)));
    }

    QCoreApplication app(argc, argv);
    std::vector<SizePlan> plan;
    for (int members : sizes)
        plan.push_back({members, runs.value_or(defaultRuns(members))});
    return runParent(plan);
}
