// SPDX-License-Identifier: GPL-3.0-or-later
// How long the library's functions hold the GUI thread, each next to the plain
// transcription of its written algorithm (tests/reference.h) measured in the same run.
// Pairs are named "<case> [library]" and "<case> [plain]"; the ratio table at the end
// divides the plain time by the library's.

#include "funcs.h"
#include "reference.h"

#include <benchmark/benchmark.h>

#include <QString>

#include <cstdio>
#include <map>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace {

const std::string library = " [library]";
const std::string plain = " [plain]";

// The probabilistic tests as written, with the recursive power and Jacobi symbol.
namespace written {

std::optional<double> fermat(long long n, size_t k)
{
    std::random_device rd("default");
    std::mt19937 gen(rd());
    std::uniform_int_distribution<long long> draw(3, n - 1);
    for (size_t i = 0; i < k; ++i) {
        const long long b = draw(gen);
        if (std::gcd(b, n) != 1 || reference::exp(b, n - 1, n) != 1)
            return std::nullopt;
    }
    return 1.0 - 1.0 / std::pow(2.0, static_cast<double>(k));
}

bool solStra(long long n, size_t k)
{
    std::random_device rd("default");
    std::mt19937 gen(rd());
    std::uniform_int_distribution<long long> draw(2, n - 2);
    for (size_t i = 0; i < k; ++i) {
        const long long a = draw(gen) + 1;
        const long long r = reference::exp(a, (n - 1) / 2, n);
        if (r != 1 && r != n - 1)
            return false;
        long long s = reference::jacobi(a, n);
        s = s < 0 ? (n + s) % n : s % n;
        if (r != s)
            return false;
    }
    return true;
}

} // namespace written

template <typename Function>
void registerPair(const std::string &name, Function libraryCall, Function plainCall)
{
    benchmark::RegisterBenchmark((name + library).c_str(), [libraryCall](benchmark::State &state) {
        for (auto _ : state)
            libraryCall();
    })->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((name + plain).c_str(), [plainCall](benchmark::State &state) {
        for (auto _ : state)
            plainCall();
    })->Unit(benchmark::kMicrosecond);
}

void registerPollard(const std::string &what, long long n)
{
    registerPair<std::function<void()>>(
        "pollard " + what + " " + std::to_string(n), [n] { benchmark::DoNotOptimize(pollard(n)); },
        [n] { benchmark::DoNotOptimize(reference::pollard(n)); });
}

void registerExp(const std::string &what, long long a, long long w, long long n)
{
    registerPair<std::function<void()>>(
        "exp " + what,
        [a, w, n] {
            long long base = a;
            benchmark::DoNotOptimize(base);
            benchmark::DoNotOptimize(exp(base, w, n));
        },
        [a, w, n] {
            long long base = a;
            benchmark::DoNotOptimize(base);
            benchmark::DoNotOptimize(reference::exp(base, w, n));
        });
}

QString randomMessage(std::size_t length)
{
    std::mt19937 gen(12345);
    const QString characters =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz  ,.\nąęłóżź");
    std::uniform_int_distribution<int> pick(0, characters.size() - 1);
    QString message;
    message.reserve(static_cast<int>(length));
    for (std::size_t i = 0; i < length; ++i)
        message += characters[pick(gen)];
    return message;
}

void registerPhrase(bool cipher)
{
    static const QString message = randomMessage(1000000);
    const QString phrase = QStringLiteral("Lato zimowe");
    const QChar letter(u'c');
    registerPair<std::function<void()>>(
        std::string("phrase_perform 1 MB ") + (cipher ? "cipher" : "decipher"),
        [=] { benchmark::DoNotOptimize(phrase_perform(message, phrase, letter, cipher)); },
        [=] {
            benchmark::DoNotOptimize(reference::phrasePerform(message, phrase, letter, cipher));
        });
}

void crc32OfText(benchmark::State &state)
{
    std::string text(64u << 20, '\0');
    std::mt19937 gen(7);
    std::uniform_int_distribution<int> nonZeroByte(1, 255);
    for (char &c : text)
        c = static_cast<char>(nonZeroByte(gen));
    for (auto _ : state)
        benchmark::DoNotOptimize(crc32(text.c_str()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(text.size()));
}

void registerAll()
{
    for (long long p : {999999999999989LL, 100000000000031LL, 314159265358951LL})
        registerPollard("15-digit prime", p);
    for (long long n : {999998990000099LL, 601764614363597LL, 783405197897669LL})
        registerPollard("15-digit semiprime", n);
    for (long long n : {999997874844049LL, 100000380000361LL})
        registerPollard("15-digit prime square", n);

    registerExp("50-bit modulus and exponent", 123456789012345LL, 1125899906842000LL,
                1125899906842597LL);
    registerExp("15-digit Fermat power", 123456789012345LL, 999999999999988LL, 999999999999989LL);

    registerPair<std::function<void()>>(
        "shanks2(1999998383, 2, 124999899)",
        [] { benchmark::DoNotOptimize(shanks2(1999998383, 2, 124999899)); },
        [] { benchmark::DoNotOptimize(reference::shanks(1999998383, 2, 124999899)); });

    registerPair<std::function<void()>>(
        "fermat 200 trials on 999999999999989",
        [] { benchmark::DoNotOptimize(fermat(999999999999989LL, 200, nullptr)); },
        [] { benchmark::DoNotOptimize(written::fermat(999999999999989LL, 200)); });
    registerPair<std::function<void()>>(
        "solStra 200 trials on 999999999999989",
        [] { benchmark::DoNotOptimize(solStra(999999999999989LL, 200)); },
        [] { benchmark::DoNotOptimize(written::solStra(999999999999989LL, 200)); });

    registerPhrase(true);
    registerPhrase(false);

    benchmark::RegisterBenchmark("crc32 64 MiB [library, byte-wise as written]", crc32OfText)
        ->Unit(benchmark::kMillisecond);
}

// The console output, then the plain/library ratio of every pair, by CPU time (the
// machine is shared, so wall time also counts other processes) and by wall time.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs)
            if (run.run_type == Run::RT_Iteration) {
                const auto iterations = static_cast<double>(run.iterations);
                times_[run.benchmark_name()] = {run.cpu_accumulated_time * 1e6 / iterations,
                                                run.real_accumulated_time * 1e6 / iterations};
            }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\n%-50s %13s %13s %8s %8s\n", "case (microseconds per call)", "library CPU",
                    "plain CPU", "CPU", "wall");
        for (const auto &[name, libraryTimes] : times_) {
            if (name.size() <= library.size() ||
                name.compare(name.size() - library.size(), library.size(), library) != 0)
                continue;
            const std::string base = name.substr(0, name.size() - library.size());
            const auto plainTimes = times_.find(base + plain);
            if (plainTimes == times_.end())
                continue;
            std::printf("%-50s %13.3f %13.3f %7.1fx %7.1fx\n", base.c_str(), libraryTimes.cpu,
                        plainTimes->second.cpu, plainTimes->second.cpu / libraryTimes.cpu,
                        plainTimes->second.wall / libraryTimes.wall);
        }
    }

private:
    struct Times {
        double cpu;
        double wall;
    };
    std::map<std::string, Times> times_;
};

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    registerAll();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
