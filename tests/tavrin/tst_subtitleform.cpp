// The subtitle settings window over the main window: what it shows, what
// "적용" and "닫기" do to the state and the engine (the scripted engine, for
// its exact input and arguments), and where the real engine then draws a
// styled subtitle.
#include "adjust/subtitleform.h"
#include "engine/commands.h"
#include "fakesystem.h"
#include "modalwindow.h"
#include "receivedlog.h"
#include "window/mainform.h"
#include "window/videowindow.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString koreanFont = QStringLiteral(KOREAN_FONT);
const QByteArray engineScript = "ID_LENGTH=10.02\nStarting playback...\n";

bool started(mainform &w)
{
    return w.core().state().value(Field::engineOutputBox).contains(
        QStringLiteral("Starting playback..."));
}

// The arguments the scripted engine of the current run was started with.
QStringList engineArguments(mainform &w)
{
    QStringList arguments;
    const QString prefix = QStringLiteral("FAKE_ARG=");
    for (const QString &line :
         w.core().state().value(Field::engineOutputBox).split(QStringLiteral("\r\n"))) {
        if (line.startsWith(prefix))
            arguments << line.mid(prefix.size());
    }
    return arguments;
}

bool containsRun(const QStringList &arguments, const QStringList &run)
{
    for (qsizetype i = 0; i + run.size() <= arguments.size(); ++i) {
        if (arguments.mid(i, run.size()) == run)
            return true;
    }
    return false;
}

// A colour button's choice: a colour name accepts the dialog with it,
// "cancel" closes it without one.
void chooseColour(subtitleform *form, const QString &button, const QString &choice)
{
    bool shown = false;
    whenModalShows([&](QWidget *modal) {
        shown = true;
        auto *dialog = qobject_cast<QColorDialog *>(modal);
        if (dialog && choice != QLatin1String("cancel")) {
            dialog->setCurrentColor(QColor(choice));
            dialog->accept();
        } else {
            modal->close();
        }
    });
    form->findChild<QPushButton *>(button)->click();
    QVERIFY(shown);
}

// Puts "name=value" into the control of that name as a user would.
void edit(subtitleform *form, const QString &change)
{
    const QString name = change.section(QLatin1Char('='), 0, 0);
    const QString value = change.section(QLatin1Char('='), 1);
    QObject *control = form->findChild<QObject *>(name);
    QVERIFY2(control, qPrintable(name));
    if (auto *box = qobject_cast<QLineEdit *>(control)) {
        box->selectAll();
        QTest::keyClicks(box, value);
    } else if (auto *combo = qobject_cast<QComboBox *>(control)) {
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), value);
    } else if (auto *check = qobject_cast<QCheckBox *>(control)) {
        if (check->isChecked() != (value == QLatin1String("1")))
            check->click();
    } else if (qobject_cast<QPushButton *>(control)) {
        chooseColour(form, name, value);
    } else {
        QFAIL(qPrintable(QStringLiteral("cannot edit ") + name));
    }
}

// What a control shows, as text: a mark as "1"/"0", a colour button as its
// swatch's COLORREF.
QString shown(subtitleform *form, const QString &name)
{
    if (name == QLatin1String("subTextColourButton"))
        return QString::number(form->textColour());
    if (name == QLatin1String("subOutlineColourButton"))
        return QString::number(form->outlineColour());
    if (name == QLatin1String("subShadowColourButton"))
        return QString::number(form->shadowColour());
    QObject *control = form->findChild<QObject *>(name);
    if (auto *box = qobject_cast<QLineEdit *>(control))
        return box->text();
    if (auto *combo = qobject_cast<QComboBox *>(control))
        return combo->currentText();
    if (auto *check = qobject_cast<QCheckBox *>(control))
        return check->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    if (auto *label = qobject_cast<QLabel *>(control))
        return label->text();
    return QStringLiteral("<no control %1>").arg(name);
}

QColor swatchColour(subtitleform *form, const char *name)
{
    return form->findChild<QLabel *>(QLatin1String(name))->palette().color(QPalette::Window);
}
} // namespace

class SubtitleFormTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void opensWithTheStoredValues_data();
    void opensWithTheStoredValues();
    void plainSwitchLeavesTheEngineAlone_data();
    void plainSwitchLeavesTheEngineAlone();
    void followsTheAlwaysOnTopChoice_data();
    void followsTheAlwaysOnTopChoice();
    void previewKeepsItsSizeForNoSize_data();
    void previewKeepsItsSizeForNoSize();
    void closeForgetsTheEdits_data();
    void closeForgetsTheEdits();
    void applyReachesTheNextEngine_data();
    void applyReachesTheNextEngine();
    void realEngineCentresStyledSubtitles();

private:
    subtitleform *openForm();
    void startEngine();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakeSystem> m_system;
    std::unique_ptr<mainform> m_window;
    ReceivedLog m_log;
};

void SubtitleFormTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_log.useScriptedEngine(m_dir->path(), engineScript));
    qputenv("TAVRIN_MPLAYER", FAKE_MPLAYER_PATH);
    m_system = std::make_unique<FakeSystem>();
    m_system->font = koreanFont;
    m_window = std::make_unique<mainform>(m_system.get());
    m_window->resize(640, 420);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QVERIFY(m_window->start(QString()));
}

void SubtitleFormTest::cleanup()
{
    if (m_window && m_window->core().isEngineRunning()) {
        m_window->sendCommand(EngineCommand::quit);
        m_window->opener().waitForEngineEnd();
    }
    m_window.reset();
    m_system.reset();
    m_dir.reset();
    qunsetenv("FAKE_MPLAYER_SCRIPT");
    qunsetenv("FAKE_MPLAYER_LOG");
    qunsetenv("TAVRIN_MPLAYER");
}

subtitleform *SubtitleFormTest::openForm()
{
    m_window->showSubtitleSettings();
    subtitleform *form = m_window->subtitleSettingsWindow();
    if (form)
        QTest::qWaitForWindowExposed(form);
    return form;
}

void SubtitleFormTest::startEngine()
{
    if (m_window->core().state().value(Field::mediaPathField).isEmpty())
        m_window->core().state().setValue(Field::mediaPathField, QStringLiteral("/media/a.mkv"));
    m_window->launchEngine();
    QVERIFY(QTest::qWaitFor([&] { return started(*m_window); }, 10000));
    m_log.fresh();
}

void SubtitleFormTest::opensWithTheStoredValues_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char *control, const QString &expected) {
        QTest::newRow(control) << QString::fromLatin1(control) << expected;
    };
    row("subFontCombo", QStringLiteral("Arial"));
    row("subSizeCombo", QStringLiteral("18"));
    row("subBoldCheck", QStringLiteral("0"));
    row("subItalicCheck", QStringLiteral("0"));
    row("subMarginVBox", QStringLiteral("10"));
    row("subOutlineBox", QStringLiteral("0.5"));
    row("subShadowBox", QStringLiteral("0.5"));
    row("subTextColourButton", QStringLiteral("65535"));
    row("subOutlineColourButton", QStringLiteral("0"));
    row("subShadowColourButton", QStringLiteral("0"));
    row("subUseDefaultCheck", QStringLiteral("1"));
    row("subPlainSizeBox", QStringLiteral("3"));
    row("subPlainMarginBox", QStringLiteral("97"));
    row("subPlainOutlineBox", QStringLiteral("2"));
    row("subPlainBlurBox", QStringLiteral("1.5"));
    row("subFontPathBox", koreanFont);
    row("subPreviewLabel", QStringLiteral("Arial"));
}

void SubtitleFormTest::opensWithTheStoredValues()
{
    QFETCH(QString, control);
    QFETCH(QString, expected);
    subtitleform *form = openForm();
    QVERIFY(form);
    QCOMPARE(form->windowTitle(), QStringLiteral("자막 설정"));
    QVERIFY(!form->isModal());
    QCOMPARE(shown(form, control), expected);
    if (QTest::currentDataTag() == QLatin1String("subFontCombo"))
        form->grab().save(QStringLiteral("tavrin-subtitle-settings.png"));

    // Yellow text on black, and the plain panel showing.
    QCOMPARE(swatchColour(form, "subTextColourSwatch"), QColor(Qt::yellow));
    QCOMPARE(swatchColour(form, "subShadowColourSwatch"), QColor(Qt::black));
    QVERIFY(form->subPlainPanel()->isVisible());
    QCOMPARE(form->subPreviewLabel()->font().family(), QStringLiteral("Arial"));
    QCOMPARE(form->subPreviewLabel()->font().pointSizeF(), 18.0);

    // The families as the engine finds them: no foundry, each once, and
    // "Arial", which this machine lacks, shown all the same.
    QComboBox *fonts = form->subFontCombo();
    QVERIFY(fonts->count() > 0);
    QSet<QString> seen;
    for (int i = 0; i < fonts->count(); ++i) {
        const QString family = fonts->itemText(i);
        QVERIFY2(!family.endsWith(QLatin1Char(']')), qPrintable(family));
        QVERIFY2(!seen.contains(family), qPrintable(family));
        seen.insert(family);
    }
    QVERIFY(fonts->isEditable());
}

void SubtitleFormTest::plainSwitchLeavesTheEngineAlone_data()
{
    QTest::addColumn<int>("clicks");
    QTest::addColumn<bool>("panelShown");
    QTest::newRow("untick") << 1 << false;
    QTest::newRow("untick, tick") << 2 << true;
}

void SubtitleFormTest::plainSwitchLeavesTheEngineAlone()
{
    QFETCH(int, clicks);
    QFETCH(bool, panelShown);
    startEngine();
    subtitleform *form = openForm();
    QVERIFY(form);
    for (int i = 0; i < clicks; ++i)
        QTest::mouseClick(form->subUseDefaultCheck(), Qt::LeftButton, {},
                          QPoint(8, form->subUseDefaultCheck()->height() / 2));
    QCOMPARE(form->subUseDefaultCheck()->isChecked(), panelShown);
    QCOMPARE(form->subPlainPanel()->isVisible(), panelShown);
    QCOMPARE(m_log.freshCommands(), QStringList());
    QCOMPARE(m_window->core().state().value(Field::useDefaultSubtitleSettingsField),
             QStringLiteral("1"));
}

void SubtitleFormTest::followsTheAlwaysOnTopChoice_data()
{
    QTest::addColumn<int>("choice");
    QTest::addColumn<bool>("playing");
    QTest::addColumn<bool>("onTop");
    QTest::newRow("사용") << 0 << false << true;
    QTest::newRow("재생시만 사용, stopped") << 1 << false << false;
    QTest::newRow("재생시만 사용, playing") << 1 << true << true;
    QTest::newRow("사용 안 함, playing") << 2 << true << false;
}

void SubtitleFormTest::followsTheAlwaysOnTopChoice()
{
    QFETCH(int, choice);
    QFETCH(bool, playing);
    QFETCH(bool, onTop);
    m_window->core().options().choose(Menu::alwaysOnTopMenu, choice);
    if (playing)
        startEngine();
    subtitleform *form = openForm();
    QVERIFY(form);
    QCOMPARE(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint), onTop);
    // Owned by the main window, which it stacks above.
    QCOMPARE(form->parentWidget(), m_window.get());
    QVERIFY(form->isWindow());
}

void SubtitleFormTest::previewKeepsItsSizeForNoSize_data()
{
    QTest::addColumn<QString>("size");
    QTest::addColumn<double>("points");
    QTest::newRow("listed") << "36" << 36.0;
    QTest::newRow("typed") << "15" << 15.0;
    QTest::newRow("not a number") << "big" << 18.0;
    QTest::newRow("zero") << "0" << 18.0;
    QTest::newRow("negative") << "-4" << 18.0;
}

void SubtitleFormTest::previewKeepsItsSizeForNoSize()
{
    QFETCH(QString, size);
    QFETCH(double, points);
    subtitleform *form = openForm();
    QVERIFY(form);
    edit(form, QStringLiteral("subSizeCombo=") + size);
    edit(form, QStringLiteral("subBoldCheck=1"));
    QCOMPARE(form->subPreviewLabel()->font().pointSizeF(), points);
    QVERIFY(form->subPreviewLabel()->font().bold());
}

void SubtitleFormTest::closeForgetsTheEdits_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("field");
    QTest::newRow("plain size") << "subPlainSizeBox=5" << int(Field::textSubScaleField);
    QTest::newRow("font") << "subFontCombo=NanumGothic" << int(Field::subFontNameField);
    QTest::newRow("bold") << "subBoldCheck=1" << int(Field::subBoldField);
    QTest::newRow("styled") << "subUseDefaultCheck=0"
                            << int(Field::useDefaultSubtitleSettingsField);
    QTest::newRow("text colour") << "subTextColourButton=#ff0000"
                                 << int(Field::subTextColourField);
}

void SubtitleFormTest::closeForgetsTheEdits()
{
    QFETCH(QString, change);
    QFETCH(int, field);
    startEngine();
    const QString name = change.section(QLatin1Char('='), 0, 0);
    const QString stored = m_window->core().state().value(Field(field));

    subtitleform *form = openForm();
    QVERIFY(form);
    const QString before = shown(form, name);
    edit(form, change);
    QVERIFY(shown(form, name) != before);
    // Asked for again while open, the same window comes forward with the edit.
    m_window->showSubtitleSettings();
    QCOMPARE(m_window->subtitleSettingsWindow(), form);
    QVERIFY(shown(form, name) != before);
    form->findChild<QPushButton *>(QStringLiteral("subCloseButton"))->click();
    QTRY_VERIFY(!m_window->subtitleSettingsWindow());

    QCOMPARE(m_window->core().state().value(Field(field)), stored);
    QCOMPARE(m_log.freshCommands(), QStringList());
    QVERIFY(m_window->core().isEngineRunning());
    form = openForm();
    QVERIFY(form);
    QCOMPARE(shown(form, name), before);
}

void SubtitleFormTest::applyReachesTheNextEngine_data()
{
    QTest::addColumn<bool>("playing");
    QTest::addColumn<QStringList>("changes");
    // Runs of arguments the next engine must get; "$STYLE" is the style file.
    QTest::addColumn<QStringList>("arguments");
    // The style line of the file written for it.
    QTest::addColumn<QString>("styleLine");

    const QStringList plain = {"subPlainSizeBox=5", "subPlainMarginBox=90",
                               "subPlainOutlineBox=3", "subPlainBlurBox=0.5"};
    const QStringList plainArguments = {"-nofontconfig", "-font", koreanFont,
                                        "-subfont-text-scale", "5", "-subpos", "90",
                                        "-subfont-outline", "3", "-subfont-blur", "0.5"};
    const QString plainStyle =
        QStringLiteral("Style: Default,Arial,18,0,0,10,0.5,0.5,65535,0,0,1,2");
    // Green text, blue outline; the shadow's dialog cancelled keeps black.
    const QStringList styled = {"subUseDefaultCheck=0",          "subBoldCheck=1",
                                "subItalicCheck=1",              "subSizeCombo=26",
                                "subTextColourButton=#00ff00",   "subOutlineColourButton=#0000ff",
                                "subShadowColourButton=cancel"};
    const QStringList styledArguments = {"-ass", "-ass-styles", "$STYLE"};
    const QString styledStyle =
        QStringLiteral("Style: Default,Arial,26,-1,-1,10,0.5,0.5,65280,16711680,0,1,2");
    const QStringList typed = {"subUseDefaultCheck=0", "subSizeCombo=15", "subMarginVBox=30",
                               "subFontCombo=Noto, Sans"};
    const QString typedStyle =
        QStringLiteral("Style: Default,Noto Sans,15,0,0,30,0.5,0.5,65535,0,0,1,2");

    for (const bool playing : {true, false}) {
        const char *when = playing ? "playing" : "stopped";
        QTest::addRow("plain, %s", when) << playing << plain << plainArguments << plainStyle;
        QTest::addRow("styled, %s", when) << playing << styled << styledArguments << styledStyle;
        QTest::addRow("typed size and font, %s", when)
            << playing << typed << styledArguments << typedStyle;
    }
}

void SubtitleFormTest::applyReachesTheNextEngine()
{
    QFETCH(bool, playing);
    QFETCH(QStringList, changes);
    QFETCH(QStringList, arguments);
    QFETCH(QString, styleLine);
    PlayerCore &core = m_window->core();
    PlayerState &state = core.state();
    if (playing) {
        startEngine();
        QVERIFY(QTest::qWaitFor([&] { return !state.value(Field::currentSecondsField).isEmpty(); },
                                5000));
    }

    subtitleform *form = openForm();
    QVERIFY(form);
    for (const QString &change : changes)
        edit(form, change);

    // What the old engine got, read as it ends (the new one starts a new log).
    const QString sentBefore = m_log.all();
    QString sentAtEnd;
    const auto ending = connect(&core, &PlayerCore::engineRunningChanged, this,
                                [&](bool running) {
                                    if (!running && sentAtEnd.isEmpty())
                                        sentAtEnd = m_log.all();
                                });
    const QString position = state.value(Field::currentSecondsField);
    const QString runBefore = state.value(Field::processHandleField);
    form->findChild<QPushButton *>(QStringLiteral("subApplyButton"))->click();

    if (playing) {
        QVERIFY(QTest::qWaitFor(
            [&] {
                return core.isEngineRunning() && started(*m_window) &&
                       state.value(Field::processHandleField) != runBefore;
            },
            10000));
        QStringList sent = sentAtEnd.mid(sentBefore.size()).split(QStringLiteral("\r\n"));
        sent.removeAll(EngineCommand::getTimePos);
        sent.removeAll(QString());
        QCOMPARE(sent, QStringList{EngineCommand::quit});
        QVERIFY(containsRun(engineArguments(*m_window), {QStringLiteral("-ss"), position}));
    } else {
        QTest::qWait(200);
        QVERIFY(!core.isEngineRunning());
        QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("received"))));
        QCOMPARE(state.value(Field::restartFlag), QStringLiteral("0"));
        startEngine();
        QVERIFY(!engineArguments(*m_window).contains(QStringLiteral("-ss")));
    }
    disconnect(ending);
    // The window stays open.
    QVERIFY(m_window->subtitleSettingsWindow());

    arguments.replaceInStrings(QStringLiteral("$STYLE"), core.subtitleStylePath());
    QVERIFY2(containsRun(engineArguments(*m_window), arguments),
             qPrintable(engineArguments(*m_window).join(QLatin1Char(' '))));
    QVERIFY(core.subtitleStylePath().endsWith(QStringLiteral("/setting/subtitle.ass")));
    QFile style(core.subtitleStylePath());
    QVERIFY(style.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(style.readAll()).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.value(5), styleLine);
}

// The real engine draws a styled Korean subtitle at the bottom, centred, on
// a black clip made here (nothing else on the picture is yellow).
void SubtitleFormTest::realEngineCentresStyledSubtitles()
{
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    QVERIFY2(!ffmpeg.isEmpty(), "ffmpeg makes the sample media");
    const QString clip = m_dir->filePath(QStringLiteral("black.mkv"));
    QProcess make;
    make.start(ffmpeg, {"-hide_banner", "-loglevel", "error", "-nostdin", "-y", "-f", "lavfi", "-i",
                        "color=c=black:size=640x360:rate=25:duration=10", "-c:v", "libx264",
                        "-preset", "ultrafast", "-pix_fmt", "yuv420p", clip});
    QVERIFY(make.waitForFinished(60000));
    QCOMPARE(make.exitCode(), 0);
    QFile subtitles(m_dir->filePath(QStringLiteral("black.srt")));
    QVERIFY(subtitles.open(QIODevice::WriteOnly));
    subtitles.write("1\n00:00:00,200 --> 00:00:09,800\n한글 자막 가운데 시험\n");
    subtitles.close();

    qputenv("TAVRIN_MPLAYER", "/usr/bin/mplayer");
    PlayerState &state = m_window->core().state();
    state.setValue(Field::mediaPathField, clip);
    subtitleform *form = openForm();
    QVERIFY(form);
    edit(form, QStringLiteral("subUseDefaultCheck=0"));
    edit(form, QStringLiteral("subSizeCombo=28"));
    form->apply();
    form->close();
    m_window->launchEngine();

    bool ok = false;
    QVERIFY(QTest::qWaitFor(
        [&] { return state.value(Field::currentSecondsField).toDouble(&ok) > 1.5 && ok; }, 15000));

    VideoWindow *video = m_window->videoWindow();
    QRect text;
    int pixels = 0;
    QTest::qWaitFor(
        [&] {
            m_window->raise();
            QTest::qWait(100);
            const QPoint origin = video->mapToGlobal(QPoint(0, 0));
            const QImage shot =
                m_window->screen()
                    ->grabWindow(0, origin.x(), origin.y(), video->width(), video->height())
                    .toImage();
            text = QRect();
            pixels = 0;
            for (int y = 0; y < shot.height(); ++y) {
                for (int x = 0; x < shot.width(); ++x) {
                    const QColor c = shot.pixelColor(x, y);
                    if (c.red() > 150 && c.green() > 150 && c.blue() < 100) {
                        text |= QRect(x, y, 1, 1);
                        ++pixels;
                    }
                }
            }
            return pixels > 200;
        },
        5000);
    m_window->screen()->grabWindow(0).save(QStringLiteral("tavrin-styled-subtitle.png"));
    const QString where = QStringLiteral("%1 text pixels in %2,%3 %4x%5 of %6x%7")
                              .arg(pixels)
                              .arg(text.x())
                              .arg(text.y())
                              .arg(text.width())
                              .arg(text.height())
                              .arg(video->width())
                              .arg(video->height());
    QVERIFY2(pixels > 200, qPrintable(where));
    // Centred: the middle of the text within a tenth of the picture's middle,
    // and away from the left edge; at the bottom: in the lowest quarter.
    QVERIFY2(qAbs(text.center().x() - video->width() / 2) < video->width() / 10,
             qPrintable(where));
    QVERIFY2(text.left() > video->width() / 10, qPrintable(where));
    QVERIFY2(text.top() > video->height() * 3 / 4, qPrintable(where));
}

QTEST_MAIN(SubtitleFormTest)
#include "tst_subtitleform.moc"
