// OrvixCli: the headless companion's commands, run on the same core as the application.
#pragma once

#include <QStringList>
#include <QTextStream>

class OrvixCli {
public:
    OrvixCli(QTextStream &out, QTextStream &err) : m_out(out), m_err(err) {}
    // Runs one command line (without the program name) and returns the exit code.
    int run(const QStringList &arguments);

private:
    int usage(int code);
    QTextStream &m_out;
    QTextStream &m_err;
};
