#pragma once
// Short feedback sounds: one when the dongle asks for audio feedback, one when the headset's
// control comes to this computer and one when it goes elsewhere.
#include <QElapsedTimer>
#include <QMap>
#include <QObject>
#include <QString>

#include <memory>

namespace OX
{

// One sound, loaded from a file or resource (":/sounds/..."). A play request while it still
// sounds is dropped. Without a sound server a started sound never reports its end: a request
// that comes once the longest sound would have ended starts it again, so that the sounds come
// back when the sound server does (one started later than this application, or restarted).
// Without the sound module nothing sounds.
class SoundOutput;

class SoundEffect : public QObject
{
    Q_OBJECT
public:
    explicit SoundEffect(const QString& fileName, QObject* parent = nullptr);
    ~SoundEffect() override;

    QString fileName() const { return name; }

    // No feedback sound lasts longer: a play still reported as sounding after this is stuck.
    static constexpr int LongestPlayMs = 2000;

    // Starts the sound when its previous play has finished (or it never played).
    void play();

protected:
    // True while the previous play still sounds.
    virtual bool isSounding() const;
    // Starts the sound.
    virtual void start();

private:
    QString name;
    std::unique_ptr<SoundOutput> sound;
    QElapsedTimer started;
};

class SoundPlayer : public QObject
{
    Q_OBJECT
public:
    enum Sample : int {
        ZEROINIT = 0, // the audio-feedback sound
        CHANNEL_ACTIVE = 1, // control is on this computer
        CHANNEL_PASSIVE = 2, // control went elsewhere
    };
    Q_ENUM(Sample)

    explicit SoundPlayer(QObject* parent = nullptr);
    ~SoundPlayer() override;

    // Plays the sample unless it is still sounding; an unknown sample does nothing.
    void play(Sample sample);

    // The effect of a sample (made on its first use: each effect tries the sound server, which
    // the start of the application need not wait for), or null for an unknown one.
    SoundEffect* effect(Sample sample) const;

private:
    mutable QMap<Sample, SoundEffect*> effects;
};

} // namespace OX
