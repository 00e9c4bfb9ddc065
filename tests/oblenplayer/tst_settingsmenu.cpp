// The popup menu's options and qzconfig.ini in the running window, under a
// window manager: the file made at start-up, the renderer chosen from the
// menu, the saved position and always on top.
#include "graph/gstgraph.h"
#include "settings/programsettings.h"
#include "window/controlbar.h"
#include "window/mainform.h"
#include "window/popupmenu.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString media(const QString &name)
{
    return QStringLiteral(OBLEN_TEST_MEDIA "/") + name;
}

// The file's lines after its section header.
QStringList settingsLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (!lines.isEmpty())
        lines.removeFirst();
    return lines;
}

QString settingValue(const QString &path, const QString &key)
{
    for (const QString &line : settingsLines(path)) {
        if (line.startsWith(key + QLatin1Char('=')))
            return line.mid(key.size() + 1);
    }
    return QStringLiteral("<none>");
}

bool isAbove(const QWidget &w)
{
    QProcess p;
    p.start(QStringLiteral("xprop"),
            {QStringLiteral("-id"), QString::number(w.winId()), QStringLiteral("_NET_WM_STATE")});
    p.waitForFinished(5000);
    return p.readAllStandardOutput().contains("_NET_WM_STATE_ABOVE");
}

bool hasWindowManager()
{
    QProcess p;
    p.start(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")});
    p.waitForFinished(5000);
    return p.readAllStandardOutput().contains("window id");
}

} // namespace

class SettingsMenuTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(GstFilgraphManager::initialise()); }

    void startsWithoutAFileAndTheMenuChoosesTheRenderer()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(ProgramSettings::fileName);
        mainform w;
        w.popupMenu()->setSettingsPath(path);
        w.popupMenu()->startUp();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        QStringList keys;
        for (const QString &line : settingsLines(path))
            keys << line.section(QLatin1Char('='), 0, 0);
        QCOMPARE(keys, ProgramSettings::keys());
        QCOMPARE(settingValue(path, QStringLiteral("렌더러선택2")), QStringLiteral("True"));

        // Nothing loaded: the choice is only made and saved.
        w.popupMenu()->rendererMenu[0]->trigger();
        QVERIFY(w.controlBar()->rendererOption->button(0)->isChecked());
        QCOMPARE(settingValue(path, QStringLiteral("렌더러선택0")), QStringLiteral("True"));
        QCOMPARE(settingValue(path, QStringLiteral("영상렌더러장치메뉴0")), QStringLiteral("True"));
        QCOMPARE(settingValue(path, QStringLiteral("영상렌더러장치메뉴2")), QStringLiteral("False"));

        // The option buttons move the menu's check along.
        w.controlBar()->rendererOption->button(2)->click();
        QVERIFY(w.popupMenu()->rendererMenu[2]->isChecked());
        QVERIFY(!w.popupMenu()->rendererMenu[0]->isChecked());

        // While playing, the rebuild keeps the position.
        w.core().openMedia(media(QStringLiteral("clip.mp4")));
        QTRY_VERIFY(w.core().graph() && w.core().graph()->CurrentPosition().value_or(0) > 1.5);
        const double before = *w.core().graph()->CurrentPosition();
        w.popupMenu()->rendererMenu[1]->trigger();
        QCOMPARE(settingValue(path, QStringLiteral("렌더러선택1")), QStringLiteral("True"));
        QVERIFY(w.controlBar()->rendererOption->button(1)->isChecked());
        QVERIFY(w.core().graph());
        QVERIFY(w.core().graph()->CurrentPosition().value_or(0) >= before - 0.1);
        QCOMPARE(w.core().graph()->GetState(2000).value_or(GraphState::Stopped), GraphState::Running);
        w.core().closeMedia();
    }

    void savedPositionIsTakenAndQuittingSavesIt_data()
    {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("top");
        QTest::addColumn<QPoint>("placed");
        // The display is 1600x900; x -1 stands for near its right edge.
        QTest::newRow("on screen") << "4500" << "1500" << QPoint(300, 100);
        QTest::newRow("negative") << "-3000" << "1500" << QPoint(0, 100);
        QTest::newRow("on no screen") << "300000" << "1500" << QPoint(-1, 100);
    }
    void savedPositionIsTakenAndQuittingSavesIt()
    {
        QFETCH(QString, left);
        QFETCH(QString, top);
        QFETCH(QPoint, placed);
        QTemporaryDir dir;
        const QString path = dir.filePath(ProgramSettings::fileName);
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[PROGRAM SETTING]\nLEFT=" + left.toUtf8() + "\nTOP=" + top.toUtf8() +
                "\n볼륨=-2500\n");
        f.close();

        mainform w;
        w.popupMenu()->setSettingsPath(path);
        w.popupMenu()->startUp();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        if (placed.x() < 0) {
            QTRY_COMPARE(w.pos().y(), placed.y());
            QVERIFY2(w.pos().x() > 1000 && w.pos().x() < 1600, qPrintable(QString::number(w.pos().x())));
        } else {
            QTRY_COMPARE(w.pos(), placed);
        }

        QCOMPARE(w.controlBar()->volumeBar->value(), -2500);
        QCOMPARE(w.controlBar()->volumeLabel->text(), QStringLiteral("-25"));

        w.move(210, 150);
        QTRY_COMPARE(w.pos(), QPoint(210, 150));
        QVERIFY(w.close());
        QCOMPARE(settingValue(path, QStringLiteral("LEFT")), QStringLiteral("3150"));
        QCOMPARE(settingValue(path, QStringLiteral("TOP")), QStringLiteral("2250"));
    }

    // A right click on the picture opens the menu; its entries press the
    // window's buttons.
    void rightClickOpensTheMenu()
    {
        mainform w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::mouseClick(w.videoCover(), Qt::RightButton, {}, QPoint(40, 40));
        QTRY_VERIFY(w.popupMenu()->isVisible());
        QStringList captions;
        for (const QAction *a : w.popupMenu()->actions())
            captions << a->text();
        QCOMPARE(captions, QStringList({"파일 열기　　　F2", "닫기　　　　　 F4", "", "재생", "영상",
                                        "음성", "필터", "환경설정", "", "프로그램 정보",
                                        "오블렌의 연구소", "종료"}));
        QVERIFY(!w.popupMenu()->filterMenu->isEnabled());
        w.popupMenu()->close();
        w.core().setVolume(-3000);
        w.popupMenu()->entry(QStringLiteral("volumeUpMenu"))->trigger();
        QCOMPARE(w.controlBar()->volumeBar->value(), -2000);
    }

    void alwaysOnTopFollowsTheMenu()
    {
        if (!hasWindowManager())
            QSKIP("needs a window manager (own_display.sh --openbox)");
        QTemporaryDir dir;
        const QString path = dir.filePath(ProgramSettings::fileName);
        mainform w;
        w.popupMenu()->setSettingsPath(path);
        w.popupMenu()->startUp();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_VERIFY(isAbove(w));

        w.popupMenu()->topmostMenu->trigger();
        QTRY_VERIFY(!isAbove(w));
        QCOMPARE(settingValue(path, QStringLiteral("항상위")), QStringLiteral("False"));
        w.popupMenu()->topmostMenu->trigger();
        QTRY_VERIFY(isAbove(w));
        QCOMPARE(settingValue(path, QStringLiteral("항상위")), QStringLiteral("True"));
    }
};

QTEST_MAIN(SettingsMenuTest)
#include "tst_settingsmenu.moc"
