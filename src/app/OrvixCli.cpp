// OrvixCli: command dispatch.
#include "OrvixCli.h"

int OrvixCli::usage(int code)
{
    QTextStream &s = code == 0 ? m_out : m_err;
    s << "Usage: orvix-cli COMMAND [ARGUMENTS]\n"
         "\n"
         "Commands:\n"
         "  --help                    show this text\n";
    s.flush();
    return code;
}

int OrvixCli::run(const QStringList &arguments)
{
    if (arguments.isEmpty())
        return usage(2);
    const QString command = arguments.first();
    if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help"))
        return usage(0);
    m_err << "orvix-cli: unknown command '" << command << "' (see orvix-cli --help)\n";
    m_err.flush();
    return 2;
}
