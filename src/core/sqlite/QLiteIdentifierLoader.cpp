// QLiteIdentifierLoader: steps one identifier statement on its own thread and hands the ids over in batches.
#include "QLiteIdentifierLoader.h"

#include <sqlite3.h>

namespace {
// Small batches first so the first screen waits for little; larger ones later so the lock is taken rarely.
constexpr size_t kFirstBatch = 256;
constexpr size_t kLargestBatch = 65536;
std::atomic<bool> pausedAfterFirstBatch{false};
} // namespace

void QLiteIdentifierLoader::setPausedAfterFirstBatch(bool paused)
{
    pausedAfterFirstBatch = paused;
}

QLiteIdentifierLoader::QLiteIdentifierLoader(const QByteArray &path, const QByteArray &sql, int busyTimeout,
                                             qint64 textMarker, std::function<void()> finished)
    : m_path(path), m_sql(sql), m_busyTimeout(busyTimeout), m_textMarker(textMarker), m_finished(std::move(finished)),
      m_paused(pausedAfterFirstBatch)
{
    m_thread = std::thread([this] { run(); });
}

QLiteIdentifierLoader::~QLiteIdentifierLoader()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
        if (m_db)
            sqlite3_interrupt(m_db);
    }
    m_resume.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void QLiteIdentifierLoader::publish(std::vector<qint64> &numbers, std::vector<std::pair<size_t, QString>> &texts,
                                    State state)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const size_t base = m_pending.count;
        for (auto &text : texts)
            m_pending.texts.emplace_back(base + text.first, std::move(text.second));
        texts.clear();
        m_pending.count += numbers.size();
        if (!numbers.empty())
            m_pending.chunks.push_back(std::move(numbers));
        numbers = std::vector<qint64>();
        m_state = state;
    }
    m_arrived.notify_all();
}

void QLiteIdentifierLoader::run()
{
    sqlite3 *db = nullptr;
    sqlite3_stmt *statement = nullptr;
    State end = State::Done;
    QString error;
    int code = SQLITE_OK;
    const auto failed = [&](int rc) {
        end = State::Failed;
        code = rc;
        error = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
    };
    int rc = sqlite3_open_v2(m_path.constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        failed(rc);
    } else {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_db = db;
        }
        sqlite3_busy_timeout(db, m_busyTimeout);
        // Each page is read once: a cache would only hold memory (sorting keeps its own).
        sqlite3_exec(db, "PRAGMA cache_size = -64", nullptr, nullptr, nullptr);
        rc = sqlite3_prepare_v2(db, m_sql.constData(), int(m_sql.size()), &statement, nullptr);
        if (rc != SQLITE_OK || !statement)
            failed(rc != SQLITE_OK ? rc : SQLITE_MISUSE);
    }
    if (statement) {
        std::vector<qint64> numbers;
        std::vector<std::pair<size_t, QString>> texts;
        size_t batch = kFirstBatch;
        numbers.reserve(batch);
        while (!m_stop && (rc = sqlite3_step(statement)) == SQLITE_ROW) {
            const int type = sqlite3_column_type(statement, 0);
            if (type == SQLITE_NULL) {
                end = State::SawNull;
                break;
            }
            if (type == SQLITE_INTEGER) {
                numbers.push_back(sqlite3_column_int64(statement, 0));
            } else {
                const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, 0));
                texts.emplace_back(numbers.size(), QString::fromUtf8(text, sqlite3_column_bytes(statement, 0)));
                numbers.push_back(m_textMarker);
            }
            if (numbers.size() == batch) {
                publish(numbers, texts, State::Running);
                batch = std::min(batch * 2, kLargestBatch);
                numbers.reserve(batch);
                if (m_paused) {
                    std::unique_lock<std::mutex> lock(m_mutex);
                    m_waitingToResume = true;
                    m_arrived.notify_all();
                    m_resume.wait(lock, [this] { return m_resumeAsked || m_stop; });
                    m_waitingToResume = false;
                    m_paused = false;
                }
            }
        }
        if (end == State::Done && (m_stop || rc != SQLITE_DONE))
            failed(m_stop ? SQLITE_INTERRUPT : rc);
        sqlite3_finalize(statement);
        // What was read before a failure is handed over too: the owner reads the list again from the start.
        publish(numbers, texts, State::Running);
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_db = nullptr;
        m_error = error;
        m_errorCode = code;
        m_state = end;
    }
    sqlite3_close(db);
    m_arrived.notify_all();
    if (m_finished && !m_stop)
        m_finished();
}

QLiteIdentifierLoader::State QLiteIdentifierLoader::take(Batch &batch, size_t wanted)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (m_state == State::Running && m_pending.count < wanted) {
        if (m_waitingToResume) {
            m_resumeAsked = true;
            m_resume.notify_all();
        }
        m_arrived.wait(lock);
    }
    const size_t base = batch.count;
    for (auto &chunk : m_pending.chunks)
        batch.chunks.push_back(std::move(chunk));
    for (auto &text : m_pending.texts)
        batch.texts.emplace_back(base + text.first, std::move(text.second));
    batch.count += m_pending.count;
    m_pending = Batch();
    return m_state;
}

QString QLiteIdentifierLoader::error() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_error;
}

int QLiteIdentifierLoader::errorCode() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_errorCode;
}
