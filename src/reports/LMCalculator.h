// LMCalculator: arithmetic of calculation formulas through the external calculator "/usr/bin/bc -lq".
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class LMCalculator {
public:
    // Runs a program with the input on its standard input and answers its standard output and error, or
    // none when it could not run or did not finish within the time. Tests replace it.
    using ProcessRunner = std::function<std::optional<QByteArray>(const QString &program, const QStringList &arguments,
                                                                  const QByteArray &input, int timeoutMs)>;

    // Time a calculation may take before the calculator is stopped.
    static constexpr int kTimeoutMs = 5000;

    // The calculator's answer, cleaned; none for an empty or non-arithmetic expression, an empty answer, or a
    // calculator that failed or ran out of time.
    static std::optional<QString> performMathOperation(const QString &expression);
    // Only numbers, operators, parentheses, commas, blanks and the names of the math library's functions.
    static bool isArithmetic(const QString &expression);
    // A decimal answer: trimmed, "0" before a leading ".", trailing zeros and a final "." dropped.
    static QString cleanOutput(const QString &output);

    static void setProcessRunner(ProcessRunner runner);
    static std::optional<QByteArray> runProcess(const QString &program, const QStringList &arguments,
                                                const QByteArray &input, int timeoutMs);
};
