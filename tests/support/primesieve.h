#ifndef TESTS_PRIMESIEVE_H
#define TESTS_PRIMESIEVE_H

// Primes by the sieve of Eratosthenes: an expectation made without trial division.

#include <QStringList>

#include <vector>

inline QStringList primeTextsUpTo(int limit)
{
    std::vector<bool> composite(static_cast<size_t>(limit) + 1, false);
    QStringList primes;
    for (int n = 2; n <= limit; ++n) {
        if (composite[static_cast<size_t>(n)])
            continue;
        primes << QString::number(n);
        for (long long multiple = static_cast<long long>(n) * n; multiple <= limit; multiple += n)
            composite[static_cast<size_t>(multiple)] = true;
    }
    return primes;
}

#endif // TESTS_PRIMESIEVE_H
