#include "statustext.h"

#include "core/transport.h"

#include <QHash>

namespace StatusText {

QString playTime(const QString &position, const QString &duration)
{
    return QStringLiteral("재생시간: ") + position + QLatin1Char('/') + duration;
}

QString size(int width, int height)
{
    return QStringLiteral("크기: %1x%2픽셀").arg(width).arg(height);
}

QString volume(long volume)
{
    return QStringLiteral("볼륨: ") + Transport::doubleText(volume / 100.0) + QStringLiteral("dB");
}

QString balance(long balance)
{
    QString text = QString::number(balance);
    if (balance == Transport::balanceMinimum)
        text = QStringLiteral("Left");
    else if (balance == 0)
        text = QStringLiteral("Center");
    else if (balance == Transport::balanceMaximum)
        text = QStringLiteral("Right");
    return QStringLiteral("밸런스: ") + text;
}

QString rate(double rate)
{
    return QStringLiteral("배속: ") + Transport::doubleText(rate) + QLatin1Char('x');
}

namespace {

const QHash<GraphProblem::Kind, QString> &fixedTexts()
{
    using Kind = GraphProblem::Kind;
    static const QHash<Kind, QString> texts{
        {Kind::NotFound, QStringLiteral("파일을 찾을 수 없습니다")},
        {Kind::NotAFile, QStringLiteral("파일이 아니어서 열 수 없습니다 (폴더나 장치)")},
        {Kind::Empty, QStringLiteral("빈 파일입니다 (0바이트)")},
        {Kind::Unreadable, QStringLiteral("파일을 읽을 수 없습니다")},
        {Kind::UnknownType, QStringLiteral("미디어 파일이 아니거나 알 수 없는 형식입니다")},
        {Kind::Damaged, QStringLiteral("파일이 손상되었거나 잘려 있어 재생할 수 없습니다")},
        {Kind::NoStreams, QStringLiteral("재생할 수 있는 영상이나 음성이 없습니다")},
        {Kind::NoAnswer, QStringLiteral("주소가 응답하지 않습니다")},
    };
    return texts;
}

} // namespace

std::optional<Problem> problem(const GraphProblem &p)
{
    using Kind = GraphProblem::Kind;
    const QString separator = QStringLiteral(", ");
    if (p.kind == Kind::None)
        return std::nullopt;
    if (!p.fatal) {
        if (p.kind != Kind::MissingDecoder)
            return std::nullopt;
        if (!p.missingVideo.isEmpty())
            return Problem{2,
                           QStringLiteral("영상 디코더 없음: ") + p.missingVideo.join(separator)};
        return Problem{3, QStringLiteral("음성 디코더 없음: ") + p.missingAudio.join(separator)};
    }
    QString text;
    switch (p.kind) {
    case Kind::MissingDecoder: {
        const QStringList missing = p.missingVideo + p.missingAudio;
        text = QStringLiteral("디코더가 없어 재생할 수 없습니다: ") +
               (missing.isEmpty() ? p.detail : missing.join(separator));
        break;
    }
    case Kind::Other:
        text = QStringLiteral("재생할 수 없습니다: ") + p.detail;
        break;
    default:
        text = fixedTexts().value(p.kind);
        break;
    }
    return Problem{1, text};
}

} // namespace StatusText
