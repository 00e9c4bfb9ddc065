// The address window through the open path that asks for it: only "URL 열기"
// hands the typed address on; "취소", Esc and the close box discard it.
#include "engine/commands.h"
#include "engine/openactions.h"
#include "engine/playercore.h"
#include "engine/urlform.h"
#include "fakesystem.h"
#include "modalwindow.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {
const QString address = QStringLiteral("http://example.invalid/clips/clip.mkv");
const QString before = QStringLiteral("/media/before.mkv");

void pressButton(QWidget *form, const QString &caption)
{
    for (QPushButton *button : form->findChildren<QPushButton *>()) {
        if (button->text() == caption)
            QTest::mouseClick(button, Qt::LeftButton);
    }
}
} // namespace

class UrlFormTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void onlyTheOpenButtonOpensTheAddress_data();
    void onlyTheOpenButtonOpensTheAddress();
};

void UrlFormTest::init()
{
    qputenv("TAVRIN_MPLAYER", FAKE_MPLAYER_PATH);
}

void UrlFormTest::onlyTheOpenButtonOpensTheAddress_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("opens");
    QTest::newRow("URL 열기") << "URL 열기" << true;
    QTest::newRow("취소") << "취소" << false;
    QTest::newRow("Esc") << "Esc" << false;
    QTest::newRow("close box") << "close box" << false;
}

void UrlFormTest::onlyTheOpenButtonOpensTheAddress()
{
    QFETCH(QString, how);
    QFETCH(bool, opens);
    FakeSystem system;
    PlayerCore core(&system);
    core.options().choose(Menu::videoOutputMenu, 1);
    core.state().setValue(Field::mediaPathField, before);
    MediaOpener opener(core);
    QWidget owner;
    OpenActions actions(opener, core, &owner);

    bool shown = false;
    whenModalShows([&](QWidget *modal) {
        auto *form = qobject_cast<urlform *>(modal);
        if (!form) {
            modal->close();
            return;
        }
        shown = true;
        QTest::keyClicks(form->urlInputBox(), address);
        if (how == QLatin1String("Esc"))
            QTest::keyClick(form->urlInputBox(), Qt::Key_Escape);
        else if (how == QLatin1String("close box"))
            form->close();
        else
            pressButton(form, how);
        // Whatever failed above, the window must not stay up.
        if (form->isVisible())
            form->reject();
    });
    actions.openUrl();
    QVERIFY(shown);

    PlayerState &state = core.state();
    QCOMPARE(state.value(Field::mediaPathField), opens ? address : before);
    QCOMPARE(core.isEngineRunning(), opens);
    QCOMPARE(opener.windowTitle(), opens ? QStringLiteral("clip.mkv - Tavrin v1.0.53")
                                         : QStringLiteral("Tavrin v1.0.53"));
    if (core.isEngineRunning()) {
        core.sendCommand(EngineCommand::quit);
        QVERIFY(opener.waitForEngineEnd());
    }
}

QTEST_MAIN(UrlFormTest)
#include "tst_urlform.moc"
