// LMDataPanelMovieView: shows and plays a movie value and takes audio and video files.
#include "LMDataPanelMovieView.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

LMDataPanelMovieView::LMDataPanelMovieView(QWidget *parent) : LMDataPanelWell(parent)
{
    m_screenHolder = new QWidget(this);
    m_screenHolder->setMinimumSize(160, 90);
    auto *screenLayout = new QVBoxLayout(m_screenHolder);
    screenLayout->setContentsMargins(0, 0, 0, 0);
    contentLayout()->addWidget(m_screenHolder, 1);
    m_player = new LMMoviePlayer(m_screenHolder);
    connect(m_player, &LMMoviePlayer::playingChanged, this,
            [this](bool playing) { m_playButton->setText(playing ? tr("Pause") : tr("Play")); });

    m_playButton = new QPushButton(tr("Play"), this);
    m_stopButton = new QPushButton(tr("Stop"), this);
    buttonLayout()->insertWidget(0, m_playButton);
    buttonLayout()->insertWidget(1, m_stopButton);
    connect(m_playButton, &QPushButton::clicked, this, &LMDataPanelMovieView::togglePlayback);
    connect(m_stopButton, &QPushButton::clicked, this, &LMDataPanelMovieView::stop);
    updateCaption();
}

LMDataPanelMovieView::~LMDataPanelMovieView() = default;

Value LMDataPanelMovieView::objectValue() const
{
    return m_movie ? m_movie->toValue() : Value();
}

void LMDataPanelMovieView::setObjectValue(const Value &value)
{
    m_player->unload();
    m_movie = OXMovie::fromValue(value);
    updateCaption();
}

Value LMDataPanelMovieView::valueFromFile(const QString &path) const
{
    return LMMoviePlayer::movieValueFromFile(path);
}

FilePanelOptions LMDataPanelMovieView::openPanelOptions() const
{
    return LMMoviePlayer::openPanelOptions();
}

void LMDataPanelMovieView::togglePlayback()
{
    if (m_movie && !m_movie->data.isEmpty())
        m_player->togglePlayback(*m_movie);
}

void LMDataPanelMovieView::stop()
{
    m_player->stop();
}

void LMDataPanelMovieView::updateCaption()
{
    if (!m_movie) {
        setCaption(tr("Drop a movie or sound here"));
        m_playButton->setEnabled(false);
        m_stopButton->setEnabled(false);
        return;
    }
    const QString name = m_movie->fileName.isEmpty() ? tr("Untitled") : m_movie->fileName;
    setCaption(m_movie->type.isEmpty() ? name : tr("%1 (%2)").arg(name, m_movie->type));
    const bool playable = isPlaybackAvailable();
    m_playButton->setEnabled(playable);
    m_stopButton->setEnabled(playable);
    m_playButton->setToolTip(playable ? QString() : tr("Playback needs the GStreamer base plugins."));
}
