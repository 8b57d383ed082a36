// QLiteIdentifierLoader: reads the row identifiers of a query on a thread and read-only connection of its own.
#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

struct sqlite3;

// The identifiers come in batches: the first screen needs only the first few, so a cursor can be shown before
// the whole list is read. The list is what one statement sees, so it is a snapshot of the database when reading
// began; the owner must let reading end before its own connection writes.
class QLiteIdentifierLoader {
public:
    enum class State { Running, Done, Failed, SawNull };
    // Identifiers that are integers are kept as numbers (`textMarker` where the identifier is a text; the text
    // goes into `texts` with its position in the whole list).
    struct Batch {
        std::vector<std::vector<qint64>> chunks; // in order
        size_t count = 0;
        std::vector<std::pair<size_t, QString>> texts;
    };

    // Starts reading. `finished` runs once on the loader's thread when reading has ended, however it ended.
    QLiteIdentifierLoader(const QByteArray &path, const QByteArray &sql, int busyTimeout, qint64 textMarker,
                          std::function<void()> finished);
    // Stops reading and waits for the thread.
    ~QLiteIdentifierLoader();

    QLiteIdentifierLoader(const QLiteIdentifierLoader &) = delete;
    QLiteIdentifierLoader &operator=(const QLiteIdentifierLoader &) = delete;

    // Appends what was read since the last take to `batch`, waiting first until at least `wanted` identifiers
    // are waiting or reading has ended (0 never waits).
    State take(Batch &batch, size_t wanted);
    // For tests: loaders started from now on wait after their first batch until more is asked for, so that a
    // test can act while the list is known to be incomplete.
    static void setPausedAfterFirstBatch(bool paused);

    // The message and SQLite code of a failure.
    QString error() const;
    int errorCode() const;

private:
    void run();
    void publish(std::vector<qint64> &numbers, std::vector<std::pair<size_t, QString>> &texts, State state);

    QByteArray m_path;
    QByteArray m_sql;
    int m_busyTimeout;
    qint64 m_textMarker;
    std::function<void()> m_finished;

    mutable std::mutex m_mutex;
    std::condition_variable m_arrived;
    Batch m_pending;

    State m_state = State::Running;
    QString m_error;
    int m_errorCode = 0;
    sqlite3 *m_db = nullptr; // guarded by m_mutex, so that a stop can interrupt it
    std::atomic<bool> m_stop{false};
    bool m_paused = false;
    bool m_resumeAsked = false;
    bool m_waitingToResume = false;
    std::condition_variable m_resume;
    std::thread m_thread;
};
