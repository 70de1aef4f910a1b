// The sound module: the sound effects' output through QSound.
#include "ui/toolkit/SoundOutput.h"

#include <QObject>
#include <QSound>

#include <memory>

namespace OX
{

namespace
{

class QSoundOutput : public SoundOutput
{
public:
    explicit QSoundOutput(const QString& fileName)
        : m_fileName(fileName)
        , m_sound(std::make_unique<QSound>(fileName))
    {
    }
    void play() override
    {
        // Asked again while the last play never ended (it started without a sound server): a new
        // sound starts afresh, on the server there is now.
        if (!m_sound->isFinished())
            m_sound = std::make_unique<QSound>(m_fileName);
        m_sound->play();
    }
    bool isFinished() const override { return m_sound->isFinished(); }

private:
    QString m_fileName;
    std::unique_ptr<QSound> m_sound;
};

} // namespace

class QSoundOutputFactory : public QObject, public SoundOutputFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID OX_SOUND_OUTPUT_FACTORY_IID)
    Q_INTERFACES(OX::SoundOutputFactory)
public:
    std::unique_ptr<SoundOutput> create(const QString& fileName) override
    {
        return std::make_unique<QSoundOutput>(fileName);
    }
};

} // namespace OX

#include "QSoundOutput.moc"
