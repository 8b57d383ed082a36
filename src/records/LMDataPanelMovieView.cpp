// LMDataPanelMovieView: plays the movie bytes from memory through Qt Multimedia and takes audio and video files.
#include "LMDataPanelMovieView.h"

#include <QAudioOutput>
#include <QBuffer>
#include <QHBoxLayout>
#include <QLabel>
#include <QLibrary>
#include <QMediaPlayer>
#include <QMimeDatabase>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QVideoWidget>

namespace {
bool isPlayableType(const QString &mimeType)
{
    return mimeType.startsWith(QLatin1String("video/")) || mimeType.startsWith(QLatin1String("audio/")) ||
           mimeType == QLatin1String("application/ogg");
}

// Qt 6.4's GStreamer backend builds its pipeline in the player's constructor without checking the
// elements it asks for, and crashes when the base plugins are not installed. Ask GStreamer first.
bool gstreamerHasBasePlugins()
{
    QLibrary library(QStringLiteral("gstreamer-1.0"), 0);
    using InitCheck = int (*)(int *, char ***, void **);
    using FactoryFind = void *(*)(const char *);
    using Unref = void (*)(void *);
    auto initCheck = reinterpret_cast<InitCheck>(library.resolve("gst_init_check"));
    auto factoryFind = reinterpret_cast<FactoryFind>(library.resolve("gst_element_factory_find"));
    auto unref = reinterpret_cast<Unref>(library.resolve("gst_object_unref"));
    if (!initCheck || !factoryFind || !unref || !initCheck(nullptr, nullptr, nullptr))
        return false;
    for (const char *name : {"input-selector", "identity", "queue", "videoconvert", "videoscale", "audioconvert",
                             "audioresample", "volume", "decodebin", "uridecodebin", "appsrc"}) {
        void *factory = factoryFind(name);
        if (!factory)
            return false;
        unref(factory);
    }
    return true;
}
} // namespace

bool LMDataPanelMovieView::isPlaybackAvailable()
{
    static const bool available = [] {
        const QByteArray backend = qgetenv("QT_MEDIA_BACKEND");
        if (!backend.isEmpty() && backend != "gstreamer")
            return true;
        return gstreamerHasBasePlugins();
    }();
    return available;
}

LMDataPanelMovieView::LMDataPanelMovieView(QWidget *parent) : LMDataPanelWell(parent)
{
    m_screenHolder = new QWidget(this);
    m_screenHolder->setMinimumSize(160, 90);
    auto *screenLayout = new QVBoxLayout(m_screenHolder);
    screenLayout->setContentsMargins(0, 0, 0, 0);
    contentLayout()->addWidget(m_screenHolder, 1);

    m_playButton = new QPushButton(tr("Play"), this);
    m_stopButton = new QPushButton(tr("Stop"), this);
    buttonLayout()->insertWidget(0, m_playButton);
    buttonLayout()->insertWidget(1, m_stopButton);
    connect(m_playButton, &QPushButton::clicked, this, &LMDataPanelMovieView::togglePlayback);
    connect(m_stopButton, &QPushButton::clicked, this, &LMDataPanelMovieView::stop);
    updateCaption();
}

LMDataPanelMovieView::~LMDataPanelMovieView()
{
    if (m_player)
        m_player->stop();
}

Value LMDataPanelMovieView::objectValue() const
{
    return m_movie ? m_movie->toValue() : Value();
}

void LMDataPanelMovieView::setObjectValue(const Value &value)
{
    stop();
    if (m_player)
        m_player->setSourceDevice(nullptr);
    m_movie = OXMovie::fromValue(value);
    updateCaption();
}

Value LMDataPanelMovieView::valueFromFile(const QString &path) const
{
    const std::optional<OXMovie> movie = OXMovie::fromPath(path);
    if (!movie || !isPlayableType(movie->type))
        return Value();
    return movie->toValue();
}

FilePanelOptions LMDataPanelMovieView::openPanelOptions() const
{
    FilePanelOptions options;
    options.title = tr("Choose Movie or Sound");
    options.nameFilters = {tr("Movies and sounds (*.mp4 *.m4v *.mov *.avi *.mkv *.webm *.ogv *.mp3 *.m4a *.aac "
                              "*.wav *.aif *.aiff *.flac *.ogg *.oga *.opus)"),
                           tr("All files (*)")};
    return options;
}

void LMDataPanelMovieView::ensurePlayer()
{
    if (m_player)
        return;
    m_player = new QMediaPlayer(this);
    m_audio = new QAudioOutput(this);
    m_player->setAudioOutput(m_audio);
    m_video = new QVideoWidget(m_screenHolder);
    m_screenHolder->layout()->addWidget(m_video);
    m_player->setVideoOutput(m_video);
    connect(m_player, &QMediaPlayer::playbackStateChanged, this, [this](QMediaPlayer::PlaybackState state) {
        m_playButton->setText(state == QMediaPlayer::PlayingState ? tr("Pause") : tr("Play"));
    });
    m_buffer = new QBuffer(this);
}

void LMDataPanelMovieView::togglePlayback()
{
    if (!m_movie || m_movie->data.isEmpty())
        return;
    if (!isPlaybackAvailable()) {
        Ui::instance().beep();
        return;
    }
    ensurePlayer();
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

void LMDataPanelMovieView::stop()
{
    if (m_player)
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
