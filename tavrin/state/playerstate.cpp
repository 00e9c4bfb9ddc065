#include "playerstate.h"

namespace {

struct FieldInfo
{
    const char *name;
    const char *defaultText;
};

constexpr FieldInfo fieldTable[] = {
#define TAVRIN_FIELD_INFO(name, def) {#name, def},
    TAVRIN_PLAYER_FIELDS(TAVRIN_FIELD_INFO)
#undef TAVRIN_FIELD_INFO
};

static_assert(sizeof(fieldTable) / sizeof(fieldTable[0]) == fieldCount);

} // namespace

PlayerState::PlayerState(QObject *parent) : QObject(parent)
{
    for (int i = 0; i < fieldCount; ++i)
        m_values[i] = QString::fromUtf8(fieldTable[i].defaultText);
}

void PlayerState::setValue(Field field, const QString &text)
{
    QString &slot = m_values[index(field)];
    if (slot == text)
        return;
    slot = text;
    if (field == Field::engineOutputBox)
        m_outputBound.reset();
    Q_EMIT changed(field, slot);
}

void PlayerState::appendOutput(const QString &chunk)
{
    const QString piece = QStringLiteral("\r\n") + chunk;
    QString &box = m_values[index(Field::engineOutputBox)];
    if (m_outputBound.makeRoom(box, piece.size()))
        Q_EMIT changed(Field::engineOutputBox, box);
    box += piece;
    Q_EMIT outputAppended(piece);
}

QString PlayerState::nameOf(Field field)
{
    return QString::fromLatin1(fieldTable[index(field)].name);
}

QString PlayerState::defaultOf(Field field)
{
    return QString::fromUtf8(fieldTable[index(field)].defaultText);
}

Field PlayerState::fromName(const QString &name)
{
    for (int i = 0; i < fieldCount; ++i) {
        if (name == QLatin1String(fieldTable[i].name))
            return static_cast<Field>(i);
    }
    return Field::Count;
}
