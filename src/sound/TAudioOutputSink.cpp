#include "sound/TAudioOutputSink.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>

namespace {

class TAudioOutputSink : public TSoundSink {
public:
    explicit TAudioOutputSink(QAudioDevice device) : fDevice(std::move(device)) {}
    ~TAudioOutputSink() override { Stop(); }

    bool Play(sound_pcm&& pcm, std::string* why) override
    {
        Stop();
        QAudioFormat format;
        format.setSampleRate(int(pcm.samples_per_second));
        format.setChannelCount(pcm.channels);
        format.setSampleFormat(QAudioFormat::Int16);
        if (!fDevice.isFormatSupported(format)) {
            if (why) *why = "the audio output cannot play " + std::to_string(pcm.samples_per_second) + " Hz 16-bit sound";
            return false;
        }
        fPcm = std::move(pcm);
        // the buffer reads the samples where they are
        fBytes = QByteArray::fromRawData(reinterpret_cast<const char*>(fPcm.samples.data()),
                                         qsizetype(fPcm.samples.size() * sizeof(int16_t)));
        fBuffer = std::make_unique<QBuffer>(&fBytes);
        fBuffer->open(QIODevice::ReadOnly);
        fSink = std::make_unique<QAudioSink>(fDevice, format);
        fSink->start(fBuffer.get());
        if (fSink->error() != QAudio::NoError) {
            if (why) *why = "the audio output could not be started";
            Stop();
            return false;
        }
        return true;
    }

    void Stop() override
    {
        if (fSink) fSink->stop();
        fSink.reset();
        fBuffer.reset();
        fBytes.clear();
        fPcm = sound_pcm();
    }

    bool IsPlaying() const override
    {
        return fSink && fSink->state() == QAudio::ActiveState;
    }

    uint64_t PlayedFrames() const override
    {
        if (!fSink) return 0;
        return uint64_t(fSink->processedUSecs()) * fPcm.samples_per_second / 1000000;
    }

private:
    QAudioDevice fDevice;
    sound_pcm fPcm;
    QByteArray fBytes;
    std::unique_ptr<QBuffer> fBuffer;
    std::unique_ptr<QAudioSink> fSink;
};

} // namespace

std::unique_ptr<TSoundSink> make_audio_output_sink(std::string* why)
{
    QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        if (why) *why = "there is no audio output device";
        return nullptr;
    }
    return std::make_unique<TAudioOutputSink>(std::move(device));
}
