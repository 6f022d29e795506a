// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef TESTS_SEED_H
#define TESTS_SEED_H

#include <QtGlobal>

#include <cstdint>
#include <random>

// Seed for the random property loops, printed once: KALMORA_SEED repeats a failing run.
inline std::uint64_t testSeed()
{
    static const std::uint64_t seed = [] {
        bool ok = false;
        const qulonglong fromEnv = qEnvironmentVariable("KALMORA_SEED").toULongLong(&ok);
        const std::uint64_t value = ok ? fromEnv : std::random_device{}();
        qInfo("random seed: %llu (set KALMORA_SEED to repeat)", static_cast<qulonglong>(value));
        return value;
    }();
    return seed;
}

#endif // TESTS_SEED_H
