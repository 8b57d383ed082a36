// LMMoviePlayer: plays a movie value from memory into a screen widget; shared by the data panel's movie view
// and the form's movie well.
#pragma once

#include "OXMovie.h"
#include "Ui.h"

#include <QObject>
#include <QPointer>

class QAudioOutput;
class QBuffer;
class QMediaPlayer;
class QVideoWidget;
class QWidget;

class LMMoviePlayer : public QObject {
    Q_OBJECT
public:
    // The video picture goes into `screen`'s layout when playback first starts.
    explicit LMMoviePlayer(QWidget *screen);
    ~LMMoviePlayer() override;

    // Whether this system can play at all; false when the media backend lacks what it needs.
    static bool isPlaybackAvailable();
    // Audio and video types (and Ogg) are what a movie or sound value may hold.
    static bool isPlayableType(const QString &mimeType);
    // A movie or sound read from a file, or null when the file is not one.
    static Value movieValueFromFile(const QString &path);
    // The open panel that chooses a movie or sound.
    static FilePanelOptions openPanelOptions();

    // Starts or pauses `movie` (loaded when nothing is); false with a beep when this system cannot play.
    bool togglePlayback(const OXMovie &movie);
    void stop();
    // Forgets the movie loaded, so the next playback loads the new value.
    void unload();
    void setPreservesAspectRatio(bool preserves);
    void setPosition(qint64 position);

signals:
    void playingChanged(bool playing);
    void durationChanged(qint64 duration);
    void positionChanged(qint64 position);

private:
    void ensurePlayer();

    QPointer<QWidget> m_screen;
    bool m_preservesAspectRatio = true;
    // Created on first playback, so showing a value never starts the media backend.
    QMediaPlayer *m_player = nullptr;
    QAudioOutput *m_audio = nullptr;
    QVideoWidget *m_video = nullptr;
    QBuffer *m_buffer = nullptr;
};
