// LMDataPanelMovieView: the movie view of the data panel; holds and plays "Video" and "Audio" values.
#pragma once

#include "LMDataPanelWell.h"
#include "LMMoviePlayer.h"
#include "OXMovie.h"

#include <optional>

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
    static bool isPlaybackAvailable() { return LMMoviePlayer::isPlaybackAvailable(); }

protected:
    Value valueFromFile(const QString &path) const override;
    FilePanelOptions openPanelOptions() const override;

private:
    void updateCaption();

    std::optional<OXMovie> m_movie;
    QPushButton *m_playButton = nullptr;
    QPushButton *m_stopButton = nullptr;
    QWidget *m_screenHolder = nullptr;
    LMMoviePlayer *m_player = nullptr;
};
