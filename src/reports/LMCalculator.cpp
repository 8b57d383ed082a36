// LMCalculator: one "/usr/bin/bc -lq" child process per calculation, bounded in time and output.
#include "LMCalculator.h"

#include "OXFormulaText.h"

#include <QDeadlineTimer>
#include <QProcess>

namespace {
// A runaway answer (a huge power) is cut off rather than read without bound.
constexpr qint64 kMaxOutput = 1 << 20;

LMCalculator::ProcessRunner &runner()
{
    static LMCalculator::ProcessRunner current;
    return current;
}

std::optional<QByteArray> runWithQProcess(const QString &program, const QStringList &arguments, const QByteArray &input,
                                          int timeoutMs)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted(timeoutMs))
        return std::nullopt;
    process.write(input);
    process.closeWriteChannel();
    QByteArray output;
    QDeadlineTimer deadline(timeoutMs);
    while (process.state() != QProcess::NotRunning) {
        if (deadline.hasExpired() || output.size() > kMaxOutput) {
            process.kill();
            process.waitForFinished(1000);
            return std::nullopt;
        }
        process.waitForReadyRead(int(qMin<qint64>(deadline.remainingTime(), 100)));
        output += process.readAll();
    }
    output += process.readAll();
    return output;
}
} // namespace

void LMCalculator::setProcessRunner(ProcessRunner processRunner)
{
    runner() = std::move(processRunner);
}

std::optional<QByteArray> LMCalculator::runProcess(const QString &program, const QStringList &arguments,
                                                   const QByteArray &input, int timeoutMs)
{
    if (runner())
        return runner()(program, arguments, input, timeoutMs);
    return runWithQProcess(program, arguments, input, timeoutMs);
}

bool LMCalculator::isArithmetic(const QString &expression)
{
    static const QStringList functions = {QStringLiteral("sqrt"), QStringLiteral("length"), QStringLiteral("scale"),
                                          QStringLiteral("s"),    QStringLiteral("c"),      QStringLiteral("a"),
                                          QStringLiteral("l"),    QStringLiteral("e"),      QStringLiteral("j")};
    static const QString symbols = QStringLiteral("0123456789.+-*/%^(),<>=&| \t\r\n");
    for (int i = 0; i < expression.size();) {
        const QChar ch = expression.at(i);
        if (symbols.contains(ch)) {
            ++i;
            continue;
        }
        // A name is allowed only as a call of one of the math library's functions.
        int end = i;
        while (end < expression.size() && expression.at(end) >= QLatin1Char('a') &&
               expression.at(end) <= QLatin1Char('z'))
            ++end;
        if (end == i || !functions.contains(expression.mid(i, end - i)))
            return false;
        int next = end;
        while (next < expression.size() &&
               (expression.at(next) == QLatin1Char(' ') || expression.at(next) == QLatin1Char('\t')))
            ++next;
        if (next >= expression.size() || expression.at(next) != QLatin1Char('('))
            return false;
        i = end;
    }
    return true;
}

QString LMCalculator::cleanOutput(const QString &output)
{
    if (!output.contains(QLatin1Char('.')))
        return output;
    return OXFormulaText::cleanDecimalText(output);
}

std::optional<QString> LMCalculator::performMathOperation(const QString &expression)
{
    if (expression.isEmpty() || !isArithmetic(expression))
        return std::nullopt;
    QString text = QStringLiteral("scale = 10; ") + expression;
    if (!text.endsWith(QLatin1Char('\n')))
        text += QLatin1Char('\n');
    const std::optional<QByteArray> output =
        runProcess(QStringLiteral("/usr/bin/bc"), {QStringLiteral("-lq")}, text.toUtf8(), kTimeoutMs);
    if (!output || output->isEmpty())
        return std::nullopt;
    // Long numbers come back broken over lines with a backslash at each break: join them.
    QString answer = QString::fromUtf8(*output);
    answer.remove(QStringLiteral("\\\n"));
    return cleanOutput(answer);
}
