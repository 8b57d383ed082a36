// HVMovieViewWell: the movie and sound well of a form: holds a movie, plays it, and takes a dropped one.
#pragma once

#include "HVFormWell.h"
#include "OXMovie.h"

#include <optional>

class LMMoviePlayer;
class QLabel;
class QSlider;
class QToolButton;
class QWidget;

class HVMovieViewWell : public HVFormWell {
    Q_OBJECT
public:
    explicit HVMovieViewWell(QWidget *parent = nullptr);
    ~HVMovieViewWell() override;

    // The movie (an OXMovie value) or null.
    Value objectValue() const override;
    void setObjectValue(const Value &value) override;
    std::optional<OXMovie> movie() const { return m_movie; }

    // The play/pause bar under the picture.
    void setControllerVisible(bool visible);
    bool isControllerVisible() const { return m_controllerVisible; }
    // Whether the picture keeps the movie's proportions (a sound well does not show a picture worth keeping).
    void setPreservesAspectRatio(bool preserves);
    bool preservesAspectRatio() const { return m_preservesAspectRatio; }

    // Starts or pauses playback; nothing without a movie, a beep when this system cannot play.
    void togglePlayback();
    void stop();
    QToolButton *playButton() const { return m_playButton; }

protected:
    Value valueFromFile(const QString &path) const override;
    Value valueFromMimeData(const QMimeData *mime) const override;
    FilePanelOptions openPanelOptions() const override;

private:
    void updateLook();

    std::optional<OXMovie> m_movie;
    bool m_controllerVisible = true;
    bool m_preservesAspectRatio = true;
    QWidget *m_screen = nullptr;
    QLabel *m_caption = nullptr;
    QWidget *m_controller = nullptr;
    QToolButton *m_playButton = nullptr;
    QSlider *m_position = nullptr;
    LMMoviePlayer *m_player = nullptr;
};
