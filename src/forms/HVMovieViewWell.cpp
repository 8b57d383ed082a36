// HVMovieViewWell: shows and plays a movie value; a sound well is the controller alone.
#include "HVMovieViewWell.h"

#include "LMMoviePlayer.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QSlider>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

HVMovieViewWell::HVMovieViewWell(QWidget *parent) : HVFormWell(parent)
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    m_screen = new QWidget(this);
    m_screen->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    auto *screenLayout = new QVBoxLayout(m_screen);
    screenLayout->setContentsMargins(0, 0, 0, 0);
    m_caption = new QLabel(m_screen);
    m_caption->setAlignment(Qt::AlignCenter);
    m_caption->setWordWrap(true);
    m_caption->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_caption->setStyleSheet(QStringLiteral("color: grey"));
    screenLayout->addWidget(m_caption);
    layout->addWidget(m_screen, 1);

    m_controller = new QWidget(this);
    auto *bar = new QHBoxLayout(m_controller);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->setSpacing(2);
    m_playButton = new QToolButton(m_controller);
    m_playButton->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    m_playButton->setAutoRaise(true);
    m_playButton->setToolTip(tr("Play"));
    m_position = new QSlider(Qt::Horizontal, m_controller);
    m_position->setEnabled(false);
    bar->addWidget(m_playButton);
    bar->addWidget(m_position, 1);
    m_controller->setMaximumHeight(24);
    layout->addWidget(m_controller);
    connect(m_playButton, &QToolButton::clicked, this, &HVMovieViewWell::togglePlayback);
    m_player = new LMMoviePlayer(m_screen);
    connect(m_player, &LMMoviePlayer::playingChanged, this, [this](bool playing) {
        m_playButton->setIcon(style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
        m_playButton->setToolTip(playing ? tr("Pause") : tr("Play"));
    });
    connect(m_player, &LMMoviePlayer::durationChanged, this,
            [this](qint64 duration) { m_position->setRange(0, int(qMin<qint64>(duration, INT_MAX))); });
    connect(m_player, &LMMoviePlayer::positionChanged, this, [this](qint64 position) {
        if (!m_position->isSliderDown())
            m_position->setValue(int(qMin<qint64>(position, INT_MAX)));
    });
    connect(m_position, &QSlider::sliderMoved, m_player, [this](int position) { m_player->setPosition(position); });
    updateLook();
}

HVMovieViewWell::~HVMovieViewWell() = default;

Value HVMovieViewWell::objectValue() const
{
    return m_movie ? m_movie->toValue() : Value();
}

void HVMovieViewWell::setObjectValue(const Value &value)
{
    m_player->unload();
    m_movie = OXMovie::fromValue(value);
    updateLook();
}

void HVMovieViewWell::setControllerVisible(bool visible)
{
    m_controllerVisible = visible;
    m_controller->setVisible(visible);
}

void HVMovieViewWell::setPreservesAspectRatio(bool preserves)
{
    m_preservesAspectRatio = preserves;
    m_player->setPreservesAspectRatio(preserves);
}

Value HVMovieViewWell::valueFromFile(const QString &path) const
{
    return LMMoviePlayer::movieValueFromFile(path);
}

Value HVMovieViewWell::valueFromMimeData(const QMimeData *mime) const
{
    // File contents carried by the drag itself, under an audio or video type.
    if (!mime)
        return Value();
    for (const QString &format : mime->formats()) {
        if (!LMMoviePlayer::isPlayableType(format))
            continue;
        const QByteArray bytes = mime->data(format);
        if (bytes.isEmpty())
            continue;
        OXMovie movie;
        movie.data = bytes;
        movie.type = format;
        return movie.toValue();
    }
    return Value();
}

FilePanelOptions HVMovieViewWell::openPanelOptions() const
{
    return LMMoviePlayer::openPanelOptions();
}

void HVMovieViewWell::togglePlayback()
{
    if (!m_movie || m_movie->data.isEmpty() || !m_player->togglePlayback(*m_movie))
        return;
    m_caption->hide();
    m_position->setEnabled(true);
}

void HVMovieViewWell::stop()
{
    m_player->stop();
}

void HVMovieViewWell::updateLook()
{
    m_caption->show();
    m_position->setValue(0);
    m_position->setEnabled(false);
    if (!m_movie) {
        m_caption->setText(QString());
        m_playButton->setEnabled(false);
        return;
    }
    const QString name = m_movie->fileName.isEmpty() ? tr("Untitled") : m_movie->fileName;
    m_caption->setText(name);
    m_playButton->setEnabled(LMMoviePlayer::isPlaybackAvailable());
}
