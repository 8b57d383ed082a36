// OrvixCli: the headless companion's commands, run on the same core as the application.
#pragma once

#include <QStringList>
#include <QTextStream>
#include <memory>

class MyDocument;

class OrvixCli {
public:
    OrvixCli(QTextStream &out, QTextStream &err) : m_out(out), m_err(err) {}
    // Runs one command line (without the program name) and returns the exit code.
    int run(const QStringList &arguments);

private:
    int usage(int code);
    int fail(const QString &message, int code = 1);
    std::unique_ptr<MyDocument> openPackage(const QString &path);
    bool savePackage(MyDocument &doc, const QString &path);

    int cmdNew(const QStringList &args);
    int cmdTables(const QStringList &args);
    int cmdSql(const QStringList &args);
    int cmdAddTable(const QStringList &args);
    int cmdAddRow(const QStringList &args);
    int cmdSet(const QStringList &args);
    int cmdGet(const QStringList &args);
    int cmdRelate(const QStringList &args);

    QTextStream &m_out;
    QTextStream &m_err;
};
