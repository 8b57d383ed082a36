// HVMovieViewWell: plays the movie bytes from memory through Qt Multimedia; a sound well is the controller alone.
#include "HVMovieViewWell.h"

#include "LMDataPanelMovieView.h"

#include <QAudioOutput>
#include <QBuffer>
#include <QHBoxLayout>
#include <QLabel>
#include <QMediaPlayer>
#include <QMimeData>
#include <QSlider>
#include <QStyle>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QVideoWidget>

namespace {
bool isPlayableType(const QString &mimeType)
{
    return mimeType.startsWith(QLatin1String("video/")) || mimeType.startsWith(QLatin1String("audio/")) ||
           mimeType == QLatin1String("application/ogg");
}
} // namespace

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
    updateLook();
}

HVMovieViewWell::~HVMovieViewWell()
{
    if (m_player)
        m_player->stop();
}

Value HVMovieViewWell::objectValue() const
{
    return m_movie ? m_movie->toValue() : Value();
}

void HVMovieViewWell::setObjectValue(const Value &value)
{
    stop();
    if (m_player)
        m_player->setSourceDevice(nullptr);
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
    if (m_video)
        m_video->setAspectRatioMode(preserves ? Qt::KeepAspectRatio : Qt::IgnoreAspectRatio);
}

Value HVMovieViewWell::valueFromFile(const QString &path) const
{
    const std::optional<OXMovie> movie = OXMovie::fromPath(path);
    if (!movie || !isPlayableType(movie->type))
        return Value();
    return movie->toValue();
}

Value HVMovieViewWell::valueFromMimeData(const QMimeData *mime) const
{
    // File contents carried by the drag itself, under an audio or video type.
    if (!mime)
        return Value();
    for (const QString &format : mime->formats()) {
        if (!isPlayableType(format))
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
    FilePanelOptions options;
    options.title = tr("Choose Movie or Sound");
    options.nameFilters = {tr("Movies and sounds (*.mp4 *.m4v *.mov *.avi *.mkv *.webm *.ogv *.mp3 *.m4a *.aac "
                              "*.wav *.aif *.aiff *.flac *.ogg *.oga *.opus)"),
                           tr("All files (*)")};
    return options;
}

void HVMovieViewWell::ensurePlayer()
{
    if (m_player)
        return;
    m_player = new QMediaPlayer(this);
    m_audio = new QAudioOutput(this);
    m_player->setAudioOutput(m_audio);
    m_video = new QVideoWidget(m_screen);
    m_video->setAspectRatioMode(m_preservesAspectRatio ? Qt::KeepAspectRatio : Qt::IgnoreAspectRatio);
    m_screen->layout()->addWidget(m_video);
    m_player->setVideoOutput(m_video);
    m_buffer = new QBuffer(this);
    connect(m_player, &QMediaPlayer::playbackStateChanged, this, [this](QMediaPlayer::PlaybackState state) {
        const bool playing = state == QMediaPlayer::PlayingState;
        m_playButton->setIcon(style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
        m_playButton->setToolTip(playing ? tr("Pause") : tr("Play"));
    });
    connect(m_player, &QMediaPlayer::durationChanged, this,
            [this](qint64 duration) { m_position->setRange(0, int(qMin<qint64>(duration, INT_MAX))); });
    connect(m_player, &QMediaPlayer::positionChanged, this, [this](qint64 position) {
        if (!m_position->isSliderDown())
            m_position->setValue(int(qMin<qint64>(position, INT_MAX)));
    });
    connect(m_position, &QSlider::sliderMoved, m_player, [this](int position) { m_player->setPosition(position); });
}

void HVMovieViewWell::togglePlayback()
{
    if (!m_movie || m_movie->data.isEmpty())
        return;
    if (!LMDataPanelMovieView::isPlaybackAvailable()) {
        Ui::instance().beep();
        return;
    }
    ensurePlayer();
    m_caption->hide();
    m_position->setEnabled(true);
    if (m_player->playbackState() == QMediaPlayer::PlayingState) {
        m_player->pause();
        return;
    }
    if (m_player->sourceDevice() == nullptr) {
        m_buffer->close();
        m_buffer->setData(m_movie->data);
        m_buffer->open(QIODevice::ReadOnly);
        // The name tells the backend the container format, since the bytes come from memory.
        m_player->setSourceDevice(m_buffer, QUrl(m_movie->fileName));
    }
    m_player->play();
}

void HVMovieViewWell::stop()
{
    if (m_player)
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
    m_playButton->setEnabled(LMDataPanelMovieView::isPlaybackAvailable());
}
