// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef TESTS_PRIMESIEVE_H
#define TESTS_PRIMESIEVE_H

// Primes by the sieve of Eratosthenes: an expectation made without trial division.

#include <QStringList>

#include <vector>

// Whether each number from 0 to `limit` is prime.
inline std::vector<bool> sieve(int limit)
{
    std::vector<bool> isPrime(static_cast<size_t>(limit) + 1, true);
    isPrime[0] = false;
    if (limit >= 1)
        isPrime[1] = false;
    for (long long n = 2; n * n <= limit; ++n)
        if (isPrime[static_cast<size_t>(n)])
            for (long long multiple = n * n; multiple <= limit; multiple += n)
                isPrime[static_cast<size_t>(multiple)] = false;
    return isPrime;
}

inline QStringList primeTextsUpTo(int limit)
{
    const std::vector<bool> isPrime = sieve(limit);
    QStringList primes;
    for (int n = 2; n <= limit; ++n)
        if (isPrime[static_cast<size_t>(n)])
            primes << QString::number(n);
    return primes;
}

#endif // TESTS_PRIMESIEVE_H
