// Fuzzing of the property-list and keyed-archive readers and of opening a package: random and structure-aware
// mutations of valid inputs and shared-reference bombs must end in a value or an error, never a crash.
#include "KeyedArchive.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "PropertyList.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>
#include <sys/stat.h>

namespace {
Value sampleDesigns()
{
    Value fields = Value::array();
    fields.append(Value::dict({{"Name", "id"}, {"Type", "Primary Key"}, {"Unique", true}}));
    fields.append(Value::dict({{"Name", "Name"}, {"Type", "Text"}, {"Default", "é ünïcode"}}));
    fields.append(Value::dict({{"Name", "Born"}, {"Type", "Date"}, {"Default", Value::date(123456.5)}}));
    const Value table = Value::dict({{"Name", "People"}, {"Fields", fields}});
    const Value shared = Value::array({1, 2.5, QByteArray("\x00\x01\x02", 3)});
    return Value::dict({{"Version", "1"},
                        {"Tables", Value::array({table})},
                        {"Queries", Value::array({Value::dict({{"Name", "q"}, {"Uses", shared}})})},
                        {"Forms", Value::array({Value::object("LMControl", Value::dict({{"frame", shared}}))})},
                        {"Relationships", Value::dict({{"Lines", Value::array()}})}});
}

Value bomb(int levels)
{
    Value level = Value("x");
    for (int i = 0; i < levels; ++i)
        level = Value::array({level, level});
    return level;
}

int fuzzSeconds()
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("ORVIX_FUZZ_SECONDS", &ok);
    return ok && seconds > 0 ? seconds : 3;
}

class Mutator {
public:
    explicit Mutator(quint64 seed) : m_random(quint32(seed ^ (seed >> 32))) {}
    quint32 below(quint32 n) { return n == 0 ? 0 : m_random.bounded(n); }

    QByteArray mutate(QByteArray bytes)
    {
        const int rounds = 1 + int(below(4));
        for (int i = 0; i < rounds; ++i) {
            if (bytes.isEmpty())
                bytes.append(char(below(256)));
            const int at = int(below(quint32(bytes.size())));
            switch (below(bytes.startsWith("bplist") ? 8 : 5)) {
            case 0: bytes[at] = char(below(256)); break;
            case 1: bytes[at] = char(bytes[at] ^ (1 << below(8))); break;
            case 2: bytes.insert(at, QByteArray(1 + int(below(8)), char(below(256)))); break;
            case 3: bytes.remove(at, 1 + int(below(8))); break;
            case 4: bytes.truncate(at); break;
            // Structure-aware: the trailer's sizes, counts and offsets, and the object markers.
            case 5: trailerField(bytes); break;
            case 6: interesting(bytes, at); break;
            default: marker(bytes); break;
            }
        }
        return bytes;
    }

private:
    QRandomGenerator m_random;

    void trailerField(QByteArray &bytes)
    {
        if (bytes.size() < 40)
            return;
        const int trailer = int(bytes.size()) - 32;
        static const int fields[] = {6, 7, 15, 23, 31, 14, 22, 30};
        const int at = trailer + fields[below(8)];
        static const char values[] = {0, 1, 2, 3, 4, 7, 8, 9, char(0x7F), char(0xFF)};
        bytes[at] = values[below(sizeof values)];
    }

    void interesting(QByteArray &bytes, int at)
    {
        static const char values[] = {0, 1, char(0x0F), char(0x10), char(0x7F), char(0x80), char(0xFF)};
        bytes[at] = values[below(sizeof values)];
    }

    void marker(QByteArray &bytes)
    {
        // Object markers sit between the header and the offset table; swap one kind for another.
        if (bytes.size() < 48)
            return;
        const int at = 8 + int(below(quint32(bytes.size() - 40)));
        static const char kinds[] = {char(0x0F), char(0x13), char(0x23), char(0x33), char(0x4F), char(0x5F),
                                     char(0x6F), char(0x80), char(0x87), char(0xAF), char(0xDF), char(0xA2)};
        bytes[at] = kinds[below(sizeof kinds)];
    }
};

// A failure is a value with a reason; it never crashes or leaves the reason empty.
void readEveryWay(const QByteArray &bytes)
{
    QString error;
    if (!PropertyList::read(bytes, &error))
        QVERIFY(!error.isEmpty());
    error.clear();
    if (!PropertyList::readXml(bytes, &error))
        QVERIFY(!error.isEmpty());
    error.clear();
    const std::optional<Value> top = KeyedArchive::unarchiveTop(bytes, &error);
    if (!top)
        QVERIFY(!error.isEmpty());
    else
        (void)PropertyList::write(*top, PropertyList::Format::Binary);
}
} // namespace

class TestFuzzReaders : public QObject {
    Q_OBJECT
    quint64 m_seed = 0;

private slots:
    void initTestCase()
    {
        bool ok = false;
        m_seed = qEnvironmentVariable("ORVIX_FUZZ_SEED").toULongLong(&ok);
        if (!ok)
            m_seed = QRandomGenerator::system()->generate64();
        qInfo("fuzz seed %llu (set ORVIX_FUZZ_SEED to repeat)", static_cast<unsigned long long>(m_seed));
    }

    void propertyListReaders()
    {
        const QList<QByteArray> seeds = {
            PropertyList::write(sampleDesigns(), PropertyList::Format::Binary),
            PropertyList::write(sampleDesigns(), PropertyList::Format::Xml),
            KeyedArchive::archiveTop(sampleDesigns()),
            PropertyList::write(bomb(30), PropertyList::Format::Binary),
            KeyedArchive::archiveTop(Value::dict({{"Tables", bomb(12)}})),
        };
        for (const QByteArray &seed : seeds) {
            QVERIFY(!seed.isEmpty());
            readEveryWay(seed);
        }
        Mutator mutator(m_seed);
        QElapsedTimer timer;
        timer.start();
        int runs = 0;
        while (timer.elapsed() < fuzzSeconds() * 600) {
            readEveryWay(mutator.mutate(seeds.at(int(mutator.below(quint32(seeds.size()))))));
            if (QTest::currentTestFailed())
                return;
            ++runs;
        }
        qInfo("%d property-list inputs", runs);
    }

    void packageOpener()
    {
        TestEnvironment env;
        const QString package = env.path("Fuzz.orvix");
        {
            auto doc = MyDocument::createNew();
            doc->database()->performQuery(
                "CREATE TABLE `People` (`id` INTEGER PRIMARY KEY AUTOINCREMENT, `Name` TEXT)");
            doc->database()->performQuery("INSERT INTO `People` (`Name`) VALUES ('Ada')");
            doc->tables().append(sampleDesigns().value("Tables").at(0));
            QVERIFY(doc->save(package));
        }
        QFile objectsFile(package + "/Objects"), databaseFile(package + "/MainDatabase");
        QVERIFY(objectsFile.open(QIODevice::ReadOnly) && databaseFile.open(QIODevice::ReadOnly));
        const QByteArray objects = objectsFile.readAll(), database = databaseFile.readAll();
        Mutator mutator(m_seed ^ 0x9E3779B97F4A7C15ull);
        QElapsedTimer timer;
        timer.start();
        int runs = 0;
        while (timer.elapsed() < fuzzSeconds() * 400) {
            const QString copy = env.path(QString("Case%1.orvix").arg(runs));
            QVERIFY(QDir().mkpath(copy + "/Contents"));
            auto write = [&](const QString &name, const QByteArray &bytes) {
                QFile f(copy + "/" + name);
                QVERIFY(f.open(QIODevice::WriteOnly));
                f.write(bytes);
            };
            switch (mutator.below(6)) {
            case 0: write("Objects", mutator.mutate(objects)); break;
            case 1: write("MainDatabase", mutator.mutate(database)); break;
            case 2:
                write("Objects", KeyedArchive::archiveTop(Value::dict({{"Tables", bomb(25)}})));
                write("MainDatabase", database);
                break;
            case 3:
                write("Objects", objects);
                QCOMPARE(::mkfifo(QFile::encodeName(copy + "/Contents/Pipe").constData(), 0644), 0);
                break;
            case 4:
                write("Objects", objects);
                QVERIFY(QFile::link("/etc/hostname", copy + "/MainDatabase"));
                break;
            default:
                write("Objects", mutator.mutate(objects));
                write("MainDatabase", mutator.mutate(database));
                break;
            }
            QString error;
            auto doc = MyDocument::open(copy, "Orvix", &error);
            QVERIFY2(doc || !error.isEmpty(), qPrintable(copy));
            doc.reset();
            QDir(copy).removeRecursively();
            ++runs;
        }
        qInfo("%d packages opened", runs);
    }
};

QTEST_MAIN(TestFuzzReaders)
#include "test_fuzz_readers.moc"
