// LMDataPanelMovieView: the movie view of the data panel; holds and plays "Video" and "Audio" values.
#pragma once

#include "LMDataPanelWell.h"
#include "OXMovie.h"

#include <optional>

class QAudioOutput;
class QBuffer;
class QMediaPlayer;
class QVideoWidget;

class LMDataPanelMovieView : public LMDataPanelWell {
    Q_OBJECT
public:
    explicit LMDataPanelMovieView(QWidget *parent = nullptr);
    ~LMDataPanelMovieView() override;

    Value objectValue() const override;
    void setObjectValue(const Value &value) override;

    // Starts or pauses playback of the movie held; nothing without one.
    void togglePlayback();
    void stop();
    QPushButton *playButton() const { return m_playButton; }
    // Whether this system can play at all; false when the media backend lacks what it needs.
    static bool isPlaybackAvailable();

protected:
    Value valueFromFile(const QString &path) const override;
    FilePanelOptions openPanelOptions() const override;

private:
    void ensurePlayer();
    void updateCaption();

    std::optional<OXMovie> m_movie;
    QPushButton *m_playButton = nullptr;
    QPushButton *m_stopButton = nullptr;
    QWidget *m_screenHolder = nullptr;
    // Created on first playback, so showing a value never starts the media backend.
    QMediaPlayer *m_player = nullptr;
    QAudioOutput *m_audio = nullptr;
    QVideoWidget *m_video = nullptr;
    QBuffer *m_buffer = nullptr;
};
