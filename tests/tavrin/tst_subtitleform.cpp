// The subtitle settings window over the main window: what it shows, what
// "적용" and "닫기" do to the state and the scripted engine, and where the
// real engine then draws a styled subtitle.
#include "adjust/subtitleform.h"
#include "fakesystem.h"
#include "modalwindow.h"
#include "receivedlog.h"
#include "window/mainform.h"
#include "window/videowindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString koreanFont = QStringLiteral(KOREAN_FONT);

// The arguments the scripted engine of the current run printed.
QStringList engineArguments(mainform &w)
{
    const QStringList lines = w.core().state().value(Field::engineOutputBox).split("\r\n");
    return lines.filter(QRegularExpression("^FAKE_ARG=")).replaceInStrings("FAKE_ARG=", "");
}

bool containsRun(const QStringList &list, const QStringList &run)
{
    for (qsizetype i = 0; i + run.size() <= list.size(); ++i)
        if (list.mid(i, run.size()) == run)
            return true;
    return false;
}

// "name=value" put into the control as a user would; a colour button's
// value is the colour chosen in its dialog, or "cancel".
void edit(subtitleform *form, const QString &change)
{
    const QString name = change.section('=', 0, 0), value = change.section('=', 1);
    QObject *control = form->findChild<QObject *>(name);
    if (auto *box = qobject_cast<QLineEdit *>(control)) {
        box->selectAll();
        QTest::keyClicks(box, value);
    } else if (auto *combo = qobject_cast<QComboBox *>(control)) {
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), value);
    } else if (auto *check = qobject_cast<QCheckBox *>(control)) {
        if (check->isChecked() != (value == "1"))
            check->click();
    } else if (auto *button = qobject_cast<QPushButton *>(control)) {
        whenModalShows([value](QWidget *modal) {
            auto *dialog = qobject_cast<QColorDialog *>(modal);
            if (!dialog || value == "cancel") {
                modal->close();
                return;
            }
            dialog->setCurrentColor(QColor(value));
            dialog->accept();
        });
        button->click();
    }
}

// What a control shows: a mark as "1"/"0", a colour button its COLORREF.
QString shown(subtitleform *form, const QString &name)
{
    const QStringList buttons = {"subTextColourButton", "subOutlineColourButton",
                                 "subShadowColourButton"};
    const quint32 colours[] = {form->textColour(), form->outlineColour(), form->shadowColour()};
    if (buttons.contains(name))
        return QString::number(colours[buttons.indexOf(name)]);
    QObject *control = form->findChild<QObject *>(name);
    if (auto *box = qobject_cast<QLineEdit *>(control))
        return box->text();
    if (auto *combo = qobject_cast<QComboBox *>(control))
        return combo->currentText();
    if (auto *check = qobject_cast<QCheckBox *>(control))
        return check->isChecked() ? "1" : "0";
    if (auto *label = qobject_cast<QLabel *>(control))
        return label->text();
    return "<none>";
}
} // namespace

class SubtitleFormTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void opensWithTheStoredValues();
    void plainSwitchLeavesTheEngineAlone();
    void closeForgetsTheEdits_data();
    void closeForgetsTheEdits();
    void applyReachesTheNextEngine_data();
    void applyReachesTheNextEngine();
    void realEngineCentresStyledSubtitles();
    void aValueTheEngineCannotTakeNeverReachesIt_data();
    void aValueTheEngineCannotTakeNeverReachesIt();

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
    QVERIFY(m_log.useScriptedEngine(m_dir->path(), "ID_LENGTH=10.02\nStarting playback...\n"));
    qputenv("TAVRIN_MPLAYER", FAKE_MPLAYER_PATH);
    m_system = std::make_unique<FakeSystem>();
    m_system->font = koreanFont;
    m_window = std::make_unique<mainform>(m_system.get());
    m_log.follow(&m_window->core());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QVERIFY(m_window->start(QString()));
}

void SubtitleFormTest::cleanup()
{
    if (m_window->core().isEngineRunning()) {
        m_window->sendCommand(EngineCommand::quit);
        m_window->opener().waitForEngineEnd();
    }
    m_window.reset();
    m_dir.reset();
}

subtitleform *SubtitleFormTest::openForm()
{
    m_window->showSubtitleSettings();
    if (!QTest::qWaitForWindowExposed(m_window->subtitleSettingsWindow()))
        qWarning("the subtitle window did not show");
    return m_window->subtitleSettingsWindow();
}

void SubtitleFormTest::startEngine()
{
    if (m_window->core().state().value(Field::mediaPathField).isEmpty())
        m_window->core().state().setValue(Field::mediaPathField, "/media/a.mkv");
    m_window->launchEngine();
    QVERIFY(QTest::qWaitFor([&] { return engineArguments(*m_window).contains("-idx"); }, 10000));
    m_log.fresh();
}

void SubtitleFormTest::opensWithTheStoredValues()
{
    const QStringList expected = {"subFontCombo=Arial",       "subSizeCombo=18",
                                  "subBoldCheck=0",           "subItalicCheck=0",
                                  "subMarginVBox=10",         "subOutlineBox=0.5",
                                  "subShadowBox=0.5",         "subTextColourButton=65535",
                                  "subOutlineColourButton=0", "subShadowColourButton=0",
                                  "subUseDefaultCheck=1",     "subPlainSizeBox=3",
                                  "subPlainMarginBox=97",     "subPlainOutlineBox=2",
                                  "subPlainBlurBox=1.5",      "subFontPathBox=" + koreanFont,
                                  "subPreviewLabel=Arial"};
    subtitleform *form = openForm();
    QStringList got;
    for (const QString &row : expected)
        got << row.section('=', 0, 0) + '=' + shown(form, row.section('=', 0, 0));
    QCOMPARE(got, expected);
    QCOMPARE(form->windowTitle(), QStringLiteral("자막 설정"));
    QVERIFY(form->subPlainPanel()->isVisible() && !form->isModal());
    QCOMPARE(form->findChild<QLabel *>("subTextColourSwatch")->palette().color(QPalette::Window),
             QColor(Qt::yellow));

    // The families as the engine finds them, each once; "Arial", which this
    // machine lacks, shown all the same.
    QStringList families;
    for (int i = 0; i < form->subFontCombo()->count(); ++i)
        families << form->subFontCombo()->itemText(i);
    QVERIFY(!families.isEmpty() && form->subFontCombo()->isEditable());
    QCOMPARE(families.filter(QRegularExpression("\\]$")), QStringList());
    QCOMPARE(families.size(), QSet<QString>(families.begin(), families.end()).size());
}

void SubtitleFormTest::plainSwitchLeavesTheEngineAlone()
{
    startEngine();
    subtitleform *form = openForm();
    QCheckBox *check = form->subUseDefaultCheck();
    const QSize size = form->size();
    for (const bool shownAfter : {false, true}) {
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(8, check->height() / 2));
        QCOMPARE(form->subPlainPanel()->isVisible(), shownAfter);
        // The window keeps its one size, panel or not.
        QTest::qWait(0);
        QCOMPARE(form->size(), size);
    }
    QCOMPARE(m_log.freshCommands(), QStringList());
    QCOMPARE(m_window->core().state().value(Field::useDefaultSubtitleSettingsField), "1");
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
    QTest::newRow("colour") << "subTextColourButton=#ff0000" << int(Field::subTextColourField);
}

void SubtitleFormTest::closeForgetsTheEdits()
{
    QFETCH(QString, change);
    QFETCH(int, field);
    startEngine();
    const QString name = change.section('=', 0, 0);
    const QString stored = m_window->core().state().value(Field(field));
    subtitleform *form = openForm();
    const QString before = shown(form, name);
    edit(form, change);
    QVERIFY(shown(form, name) != before);
    // Asked for again while open, the same window comes forward, edit and all.
    QCOMPARE(openForm(), form);
    QVERIFY(shown(form, name) != before);

    form->findChild<QPushButton *>("subCloseButton")->click();
    QTRY_VERIFY(!m_window->subtitleSettingsWindow());
    QCOMPARE(m_window->core().state().value(Field(field)), stored);
    QCOMPARE(m_log.freshCommands(), QStringList());
    QCOMPARE(shown(openForm(), name), before);
}

void SubtitleFormTest::applyReachesTheNextEngine_data()
{
    QTest::addColumn<bool>("playing");
    QTest::addColumn<QStringList>("changes");
    QTest::addColumn<QStringList>("arguments"); // a run of them; "$STYLE": the style file
    QTest::addColumn<QString>("styleLine");
    const QStringList styled = {"-ass", "-ass-styles", "$STYLE"};
    for (const bool playing : {true, false}) {
        QTest::addRow("plain, %d", playing)
            << playing
            << QStringList{"subPlainSizeBox=5", "subPlainMarginBox=90", "subPlainOutlineBox=3",
                           "subPlainBlurBox=0.5"}
            << QStringList{"-font",         koreanFont, "-subfont-text-scale", "5",
                           "-subpos",       "90",       "-subfont-outline",    "3",
                           "-subfont-blur", "0.5"}
            << "Style: Default,Arial,18,0,0,10,0.5,0.5,65535,0,0,1,2";
        // Green text, blue outline; the shadow's dialog cancelled keeps black.
        QTest::addRow("styled, %d", playing)
            << playing
            << QStringList{"subUseDefaultCheck=0",
                           "subBoldCheck=1",
                           "subItalicCheck=1",
                           "subSizeCombo=26",
                           "subTextColourButton=#00ff00",
                           "subOutlineColourButton=#0000ff",
                           "subShadowColourButton=cancel"}
            << styled << "Style: Default,Arial,26,-1,-1,10,0.5,0.5,65280,16711680,0,1,2";
        QTest::addRow("typed size and font, %d", playing)
            << playing
            << QStringList{"subUseDefaultCheck=0", "subSizeCombo=15", "subFontCombo=Noto, Sans"}
            << styled << "Style: Default,Noto Sans,15,0,0,10,0.5,0.5,65535,0,0,1,2";
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
        QTRY_VERIFY(!state.value(Field::currentSecondsField).isEmpty());
    }
    subtitleform *form = openForm();
    for (const QString &change : changes)
        edit(form, change);

    // What the old engine got, read as it ends (the next one starts a new log).
    const QString sentBefore = m_log.all();
    QString sentAtEnd;
    QObject listening;
    connect(&core, &PlayerCore::engineRunningChanged, &listening, [&](bool running) {
        if (!running && sentAtEnd.isEmpty())
            sentAtEnd = m_log.all();
    });
    const QString position = state.value(Field::currentSecondsField);
    form->findChild<QPushButton *>("subApplyButton")->click();
    if (playing) {
        QTRY_VERIFY_WITH_TIMEOUT(!sentAtEnd.isEmpty() && core.isEngineRunning() &&
                                     engineArguments(*m_window).contains("-idx"),
                                 10000);
        QStringList sent = sentAtEnd.mid(sentBefore.size()).split("\r\n", Qt::SkipEmptyParts);
        sent.removeAll(EngineCommand::getTimePos);
        QCOMPARE(sent, QStringList{EngineCommand::quit});
        QVERIFY(containsRun(engineArguments(*m_window), {"-ss", position}));
    } else {
        QTest::qWait(200);
        QVERIFY(!core.isEngineRunning() && !QFile::exists(m_dir->filePath("received")));
        startEngine();
    }
    QVERIFY(m_window->subtitleSettingsWindow());

    arguments.replaceInStrings("$STYLE", core.subtitleStylePath());
    QVERIFY2(containsRun(engineArguments(*m_window), arguments),
             qPrintable(engineArguments(*m_window).join(' ')));
    QVERIFY(core.subtitleStylePath().endsWith("/setting/subtitle.ass"));
    QFile style(core.subtitleStylePath());
    QVERIFY(style.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(style.readAll()).split("\r\n").value(5), styleLine);
}

// The real engine draws a styled Korean subtitle at the bottom, centred, on
// a black clip made here (nothing else on the picture is yellow).
void SubtitleFormTest::realEngineCentresStyledSubtitles()
{
    const QString clip = m_dir->filePath("black.mkv");
    QCOMPARE(QProcess::execute("ffmpeg", {"-loglevel", "error", "-nostdin", "-y", "-f", "lavfi",
                                          "-i", "color=c=black:size=640x360:duration=10", "-c:v",
                                          "libx264", "-preset", "ultrafast", clip}),
             0);
    QFile subtitles(m_dir->filePath("black.srt"));
    QVERIFY(subtitles.open(QIODevice::WriteOnly));
    subtitles.write("1\n00:00:00,200 --> 00:00:09,800\n한글 자막 가운데 시험\n");
    subtitles.close();

    qputenv("TAVRIN_MPLAYER", "/usr/bin/mplayer");
    PlayerState &state = m_window->core().state();
    state.setValue(Field::mediaPathField, clip);
    subtitleform *form = openForm();
    edit(form, "subUseDefaultCheck=0");
    form->apply();
    form->close();
    m_window->launchEngine();
    QTRY_VERIFY_WITH_TIMEOUT(state.value(Field::currentSecondsField).toDouble() > 1.5, 15000);

    VideoWindow *video = m_window->videoWindow();
    QRect text;
    const bool drawn = QTest::qWaitFor(
        [&] {
            m_window->raise();
            QTest::qWait(100);
            const QPoint at = video->mapToGlobal(QPoint(0, 0));
            const QImage shot = video->screen()
                                    ->grabWindow(0, at.x(), at.y(), video->width(), video->height())
                                    .toImage();
            text = QRect();
            for (int y = 0; y < shot.height(); ++y)
                for (int x = 0; x < shot.width(); ++x)
                    if (const QColor c = shot.pixelColor(x, y); c.red() > 150 && c.blue() < 100)
                        text |= QRect(x, y, 1, 1);
            return text.width() > 50;
        },
        5000);
    video->screen()->grabWindow(0).save("tavrin-styled-subtitle.png");
    const QSize size = video->size();
    qInfo() << "text at" << text << "in" << size;
    // Centred, away from the left edge, in the lowest quarter.
    QVERIFY(drawn && text.left() > size.width() / 10);
    QVERIFY(qAbs(text.center().x() - size.width() / 2) < size.width() / 10);
    QVERIFY(text.top() > size.height() * 3 / 4);
}

void SubtitleFormTest::aValueTheEngineCannotTakeNeverReachesIt_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");  // typed key by key
    QTest::addColumn<QString>("given");  // set as a whole, as a paste or a program would
    QTest::addColumn<QString>("stored"); // what "적용" stores; empty: nothing, refused
    QTest::addColumn<QString>("need");   // what the window then says
    QTest::newRow("letters typed after a size") << "subPlainSizeBox"
                                                << "3a"
                                                << ""
                                                << "3"
                                                << "";
    QTest::newRow("a size beyond the range typed") << "subPlainSizeBox"
                                                   << "250"
                                                   << ""
                                                   << "25"
                                                   << "";
    QTest::newRow("a size given with letters") << "subPlainSizeBox"
                                               << ""
                                               << "3a"
                                               << ""
                                               << "크기: 0에서 100 사이의 숫자를 넣으세요.";
    QTest::newRow("a fractional position") << "subPlainMarginBox"
                                           << ""
                                           << "97.5"
                                           << ""
                                           << "수직 여백: 0에서 150 사이의 정수를 넣으세요.";
    QTest::newRow("an emptied blur") << "subPlainBlurBox"
                                     << ""
                                     << ""
                                     << ""
                                     << "블러: 0에서 8 사이의 숫자를 넣으세요.";
}

// The real engine refuses to start on a plain-subtitle value it cannot read,
// and every later start with it: the window never lets one through.
void SubtitleFormTest::aValueTheEngineCannotTakeNeverReachesIt()
{
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, given);
    QFETCH(QString, stored);
    QFETCH(QString, need);
    const QString clip = QStringLiteral(SAMPLE_MEDIA_DIR "/sample.mkv");
    if (!QFile::exists(clip))
        QSKIP("the sample media is made by the build");
    qputenv("TAVRIN_MPLAYER", "/usr/bin/mplayer");
    PlayerState &state = m_window->core().state();
    state.setValue(Field::mediaPathField, clip);
    const QMap<QString, Field> fields = {{"subPlainSizeBox", Field::textSubScaleField},
                                         {"subPlainMarginBox", Field::textSubPositionField},
                                         {"subPlainBlurBox", Field::textSubBlurField}};
    const QString before = state.value(fields.value(box));

    subtitleform *form = openForm();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form));
    auto *line = form->findChild<QLineEdit *>(box);
    line->setFocus();
    if (!typed.isEmpty())
        edit(form, box + "=" + typed);
    else
        line->setText(given);
    form->findChild<QPushButton *>("subApplyButton")->click();

    QCOMPARE(state.value(fields.value(box)), stored.isEmpty() ? before : stored);
    QCOMPARE(form->problemLabel()->text(), need);
    if (!need.isEmpty()) {
        // The box keeps the focus, also when the user tabs away.
        QCOMPARE(QApplication::focusWidget(), line);
        QTest::keyClick(line, Qt::Key_Tab);
        QTRY_COMPARE(QApplication::focusWidget(), line);
    }
    m_window->launchEngine();
    QTRY_VERIFY_WITH_TIMEOUT(state.value(Field::engineOutputBox).contains("Starting playback..."),
                             15000);
}

QTEST_MAIN(SubtitleFormTest)
#include "tst_subtitleform.moc"
