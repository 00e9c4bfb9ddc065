// Every input that once made the engine-output fuzz target fail, and the
// recorded real runs it is seeded with, fed through the same entry point:
// in the sanitizer build a fault comes back as a failure here too.
#include "fuzz/engineoutputfeed.h"

#include <QDir>
#include <QFile>
#include <QTest>

class FuzzRegressionsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void replay_data();
    void replay();
};

void FuzzRegressionsTest::replay_data()
{
    QTest::addColumn<QByteArray>("input");
    const QDir regressions(QStringLiteral(TAVRIN_FUZZ_DIR "/regressions"));
    const QStringList cases = regressions.entryList(QDir::Files, QDir::Name);
    QVERIFY(!cases.isEmpty());
    for (const QString &name : cases) {
        QFile file(regressions.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QTest::newRow(qPrintable(name)) << file.readAll();
    }
    // The recorded runs, read whole and in the smallest and a middling size.
    const QDir data(QStringLiteral(TAVRIN_TEST_DATA));
    for (const QString &name : data.entryList({QStringLiteral("*.out")}, QDir::Files)) {
        QFile file(data.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray output = file.readAll();
        for (const char readSize : {'\0', '\x10', '\xff'})
            QTest::addRow("%s read by %d", qPrintable(name), 1 + (unsigned char)readSize * 16)
                << readSize + output;
    }
}

void FuzzRegressionsTest::replay()
{
    QFETCH(QByteArray, input);
    const QString problem = feedEngineOutput(input);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

QTEST_GUILESS_MAIN(FuzzRegressionsTest)
#include "tst_fuzzregressions.moc"
