#pragma once

#include <QString>

// The desktop wallpaper value that desktop playback sets and every end of a
// run clears. No desktop of Linux can be told this portably, and the user's
// wallpaper must never be lost, so the value is only recorded.
class Wallpaper
{
public:
    virtual ~Wallpaper() = default;
    virtual void apply(const QString &value) = 0;
};

class RecordingWallpaper : public Wallpaper
{
public:
    void apply(const QString &value) override
    {
        m_value = value;
        ++m_applied;
    }
    QString value() const { return m_value; }
    int timesApplied() const { return m_applied; }

private:
    QString m_value;
    int m_applied = 0;
};
