// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "Parent.h"

#include "Steps.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QMap>
#include <QProcess>
#include <QSysInfo>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <tuple>
#include <utility>

namespace {

struct SizeResult
{
    int members = 0;
    int runs = 0;
    int shown = 0;     // members in the grid after the final import
    int snapshots = 0; // in the history window
    QString sqlite;
    qint64 peakBytes = 0;
    QMap<QString, std::vector<double>> times;

    std::optional<double> median(const char *key) const
    {
        const auto it = times.constFind(QString::fromLatin1(key));
        if (it == times.constEnd() || it->empty())
            return std::nullopt;
        std::vector<double> v = *it;
        std::sort(v.begin(), v.end());
        const std::size_t n = v.size();
        return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
    }
    double least(const char *key) const
    {
        const auto &v = times[QString::fromLatin1(key)];
        return *std::min_element(v.begin(), v.end());
    }
    double most(const char *key) const
    {
        const auto &v = times[QString::fromLatin1(key)];
        return *std::max_element(v.begin(), v.end());
    }
};

QString grouped(qint64 n)
{
    QString digits = QString::number(n);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, u',');
    return digits;
}

QString ms(double value)
{
    const int decimals = value < 10 ? 2 : value < 100 ? 1 : 0;
    return QString::number(value, 'f', decimals);
}

QString pad(const QString &text, int width, bool right = false)
{
    return right ? text.rightJustified(width) : text.leftJustified(width);
}

void print(const QString &line)
{
    std::printf("%s\n", line.toLocal8Bit().constData());
}

std::optional<SizeResult> measure(const SizePlan &size)
{
    std::fprintf(stderr, "quadrivo_bench: %s members, %d runs...\n", qPrintable(grouped(size.members)), size.runs);
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (env.value(QStringLiteral("QT_QPA_PLATFORM")).isEmpty())
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), QString::number(size.members),
                                                          QStringLiteral("--runs"), QString::number(size.runs)});
    if (!child.waitForStarted(-1) || !child.waitForFinished(-1)) {
        std::fprintf(stderr, "quadrivo_bench: the child process failed: %s\n", qPrintable(child.errorString()));
        return std::nullopt;
    }
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        std::fprintf(stderr, "quadrivo_bench: the child process for %d members ended with code %d\n", size.members,
                     child.exitCode());
        return std::nullopt;
    }

    SizeResult result;
    result.members = size.members;
    result.runs = size.runs;
    const QStringList lines = QString::fromLocal8Bit(child.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        const QStringList f = line.trimmed().split(u' ');
        if (f.size() == 4 && f[0] == u"M")
            result.times[f[1]].push_back(f[3].toDouble());
        else if (f.size() == 2 && f[0] == u"PEAK")
            result.peakBytes = f[1].toLongLong();
        else if (f.size() == 2 && f[0] == u"VALID")
            result.shown = f[1].toInt();
        else if (f.size() == 2 && f[0] == u"SNAPSHOTS")
            result.snapshots = f[1].toInt();
        else if (f.size() == 2 && f[0] == u"SQLITE")
            result.sqlite = f[1];
    }
    return result;
}

const SizeResult *find(const std::vector<SizeResult> &results, int members)
{
    for (const SizeResult &r : results)
        if (r.members == members)
            return &r;
    return nullptr;
}

} // namespace

int runParent(const std::vector<SizePlan> &plan)
{
    std::vector<SizeResult> results;
    for (const SizePlan &size : plan) {
        auto result = measure(size);
        if (!result)
            return 1;
        results.push_back(std::move(*result));
    }

    const auto &steps = allSteps();
    const int labelWidth = 44;
    const int cellWidth = 24;
    const SizeResult *big = results.size() >= 2 ? &results[results.size() - 1] : nullptr;
    const SizeResult *small = results.size() >= 2 ? &results[results.size() - 2] : nullptr;

    print(QStringLiteral("Quadrivo benchmark, %1").arg(QDateTime::currentDateTime().toString(Qt::ISODate)));
    print(QStringLiteral("Qt %1, SQLite %2, %3, %4 cores, platform %5")
              .arg(QString::fromLatin1(qVersion()), results.front().sqlite, QSysInfo::prettyProductName())
              .arg(QThread::idealThreadCount())
              .arg(qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ? QStringLiteral("offscreen")
                                                                  : qEnvironmentVariable("QT_QPA_PLATFORM")));
    print(QStringLiteral("times in ms, median (min-max) of the runs; N = members in the list"));
    print(QString());

    QString header = pad(QStringLiteral("step"), labelWidth);
    for (const SizeResult &r : results)
        header += pad(QStringLiteral("N=%1 (%2 runs)").arg(grouped(r.members)).arg(r.runs), cellWidth);
    if (big)
        header += QStringLiteral("%1/%2 (linear %3)")
                      .arg(grouped(big->members), grouped(small->members))
                      .arg(QString::number(double(big->members) / small->members, 'f', 1));
    print(header);
    print(QString(header.size(), u'-'));

    for (const StepInfo &step : steps) {
        QString line = pad(QString::fromLatin1(step.label), labelWidth);
        for (const SizeResult &r : results) {
            const auto m = r.median(step.key);
            line += pad(m ? QStringLiteral("%1 (%2-%3)").arg(ms(*m), ms(r.least(step.key)), ms(r.most(step.key)))
                          : QStringLiteral("-"),
                        cellWidth);
        }
        if (big && big->median(step.key) && small->median(step.key))
            line += QString::number(*big->median(step.key) / *small->median(step.key), 'f', 1);
        print(line);
    }

    QString memory = pad(QStringLiteral("peak memory of the process (MB)"), labelWidth);
    for (const SizeResult &r : results)
        memory += pad(QString::number(double(r.peakBytes) / 1.0e6, 'f', 1), cellWidth);
    if (big && small->peakBytes > 0)
        memory += QString::number(double(big->peakBytes) / double(small->peakBytes), 'f', 1);
    print(memory);

    for (const auto &[label, importKey, floorKey] :
         {std::tuple{"initial import / its floor", "import1", "floor1"},
          std::tuple{"final import / its floor", "import2", "floor2"},
          std::tuple{"final import / floor in its order", "import2", "floor2o"},
          std::tuple{"initial, OK to grid painted / floor", "windows1", "floor1"},
          std::tuple{"final, OK to grid painted / floor", "windows2", "floor2"}}) {
        QString line = pad(QString::fromLatin1(label), labelWidth);
        for (const SizeResult &r : results)
            line += pad(QString::number(*r.median(importKey) / *r.median(floorKey), 'f', 2), cellWidth);
        print(line);
    }
    QString shown = pad(QStringLiteral("members in the grid after the final import"), labelWidth);
    for (const SizeResult &r : results)
        shown += pad(grouped(r.shown), cellWidth);
    print(shown);
    QString history = pad(QStringLiteral("snapshots S in the history window"), labelWidth);
    for (const SizeResult &r : results)
        history += pad(grouped(r.snapshots), cellWidth);
    print(history);
    QString share = pad(QStringLiteral("snapshot / initial import without it"), labelWidth);
    for (const SizeResult &r : results)
        share += pad(QStringLiteral("%1 %").arg(QString::number(
                         100.0 * *r.median("snapshot") / (*r.median("import1") - *r.median("snapshot")), 'f', 1)),
                     cellWidth);
    print(share);

    // The targets, judged on the medians.
    print(QString());
    print(QStringLiteral("targets"));
    bool allMet = true;
    const auto verdict = [&](const QString &what, bool met, const QString &figure) {
        allMet = allMet && met;
        print(QStringLiteral("  %1 %2 %3")
                  .arg(pad(what, 52), met ? QStringLiteral("met   ") : QStringLiteral("MISSED"), figure));
    };
    if (const SizeResult *r = find(results, 300)) {
        double worst = 0;
        QString worstLabel;
        for (const StepInfo &step : steps) {
            if (step.floor || step.step == Step::StartUp || step.step == Step::HistoryWindow
                || step.step == Step::Compare)
                continue;
            if (*r->median(step.key) > worst) {
                worst = *r->median(step.key);
                worstLabel = QString::fromLatin1(step.label);
            }
        }
        verdict(QStringLiteral("300: every step < 30 ms"), worst < 30,
                QStringLiteral("slowest %1 ms (%2)").arg(ms(worst), worstLabel));
        verdict(QStringLiteral("300: start-up to first frame < 300 ms"), *r->median("startup") < 300,
                QStringLiteral("%1 ms (first run of the process %2 ms)")
                    .arg(ms(*r->median("startup")), ms(r->times[QStringLiteral("startup")].front())));
        verdict(QStringLiteral("300: history window, %1 snapshots, < 300 ms").arg(r->snapshots),
                *r->median("history") < 300, QStringLiteral("%1 ms").arg(ms(*r->median("history"))));
    }
    if (const SizeResult *r = find(results, 32767)) {
        for (const char *key : {"import1", "import2"})
            verdict(QStringLiteral("32,767: %1 < 3 s").arg(QString::fromLatin1(key)), *r->median(key) < 3000,
                    QStringLiteral("%1 ms").arg(ms(*r->median(key))));
        for (const char *key : {"grid1", "grid0"})
            verdict(QStringLiteral("32,767: %1 < 300 ms").arg(QString::fromLatin1(key)), *r->median(key) < 300,
                    QStringLiteral("%1 ms").arg(ms(*r->median(key))));
        for (const char *key : {"report1", "report0"})
            verdict(QStringLiteral("32,767: %1 < 100 ms").arg(QString::fromLatin1(key)), *r->median(key) < 100,
                    QStringLiteral("%1 ms").arg(ms(*r->median(key))));
        const double snapshot = *r->median("snapshot");
        const double share = snapshot / (*r->median("import1") - snapshot);
        verdict(QStringLiteral("32,767: snapshot adds <= 10 % to the initial import"), share <= 0.10,
                QStringLiteral("%1 ms, %2 %").arg(ms(snapshot), QString::number(100.0 * share, 'f', 1)));
        verdict(QStringLiteral("32,767: history window, %1 snapshots, < 1.5 s").arg(r->snapshots),
                *r->median("history") < 1500, QStringLiteral("%1 ms").arg(ms(*r->median("history"))));
        verdict(QStringLiteral("32,767: comparison of 2 snapshots < 1 s"), *r->median("compare") < 1000,
                QStringLiteral("%1 ms").arg(ms(*r->median("compare"))));
        verdict(QStringLiteral("32,767: peak memory < 100 MB"), r->peakBytes < 100'000'000,
                QStringLiteral("%1 MB").arg(QString::number(double(r->peakBytes) / 1.0e6, 'f', 1)));
        for (const auto &[importKey, floorKey] : {std::pair{"import1", "floor1"}, std::pair{"import2", "floor2"}}) {
            const double ratio = *r->median(importKey) / *r->median(floorKey);
            verdict(QStringLiteral("32,767: %1 <= 1.5 x its floor").arg(QString::fromLatin1(importKey)), ratio <= 1.5,
                    QStringLiteral("%1 x").arg(QString::number(ratio, 'f', 2)));
        }
    }
    // The whole import as the user meets it, at every size of a few
    // thousand members and more: the commits dominate there.
    for (const SizeResult &r : results) {
        if (r.members < 3000)
            continue;
        for (const auto &[windowsKey, floorKey, what] :
             {std::tuple{"windows1", "floor1", "initial"}, std::tuple{"windows2", "floor2", "final"}}) {
            const double ratio = *r.median(windowsKey) / *r.median(floorKey);
            verdict(QStringLiteral("%1: %2 through the windows <= 1.3 x floor")
                        .arg(grouped(r.members), QString::fromLatin1(what)),
                    ratio <= 1.3, QStringLiteral("%1 x").arg(QString::number(ratio, 'f', 2)));
        }
    }
    if (big && small) {
        double worst = 0;
        QString worstLabel;
        for (const StepInfo &step : steps) {
            if (step.floor)
                continue;
            const double ratio = *big->median(step.key) / *small->median(step.key);
            if (ratio > worst) {
                worst = ratio;
                worstLabel = QString::fromLatin1(step.label);
            }
        }
        verdict(QStringLiteral("growth %1/%2 <= 15 for every step").arg(grouped(big->members), grouped(small->members)),
                worst <= 15, QStringLiteral("largest %1 (%2)").arg(QString::number(worst, 'f', 1), worstLabel));
    }
    std::fflush(stdout);
    return allMet ? 0 : 2;
}
