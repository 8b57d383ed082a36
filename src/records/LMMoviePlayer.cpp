// LMMoviePlayer: Qt Multimedia playback of movie bytes held in memory.
#include "LMMoviePlayer.h"

#include <QAudioOutput>
#include <QBuffer>
#include <QLayout>
#include <QLibrary>
#include <QMediaPlayer>
#include <QUrl>
#include <QVideoWidget>

namespace {
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

LMMoviePlayer::LMMoviePlayer(QWidget *screen) : QObject(screen), m_screen(screen) {}

LMMoviePlayer::~LMMoviePlayer()
{
    if (m_player)
        m_player->stop();
}

bool LMMoviePlayer::isPlaybackAvailable()
{
    static const bool available = [] {
        const QByteArray backend = qgetenv("QT_MEDIA_BACKEND");
        if (!backend.isEmpty() && backend != "gstreamer")
            return true;
        return gstreamerHasBasePlugins();
    }();
    return available;
}

bool LMMoviePlayer::isPlayableType(const QString &mimeType)
{
    return mimeType.startsWith(QLatin1String("video/")) || mimeType.startsWith(QLatin1String("audio/")) ||
           mimeType == QLatin1String("application/ogg");
}

Value LMMoviePlayer::movieValueFromFile(const QString &path)
{
    const std::optional<OXMovie> movie = OXMovie::fromPath(path);
    if (!movie || !isPlayableType(movie->type))
        return Value();
    return movie->toValue();
}

FilePanelOptions LMMoviePlayer::openPanelOptions()
{
    FilePanelOptions options;
    options.title = tr("Choose Movie or Sound");
    options.nameFilters = {tr("Movies and sounds (*.mp4 *.m4v *.mov *.avi *.mkv *.webm *.ogv *.mp3 *.m4a *.aac "
                              "*.wav *.aif *.aiff *.flac *.ogg *.oga *.opus)"),
                           tr("All files (*)")};
    return options;
}

void LMMoviePlayer::ensurePlayer()
{
    if (m_player)
        return;
    m_player = new QMediaPlayer(this);
    m_audio = new QAudioOutput(this);
    m_player->setAudioOutput(m_audio);
    m_video = new QVideoWidget(m_screen);
    m_video->setAspectRatioMode(m_preservesAspectRatio ? Qt::KeepAspectRatio : Qt::IgnoreAspectRatio);
    if (m_screen && m_screen->layout())
        m_screen->layout()->addWidget(m_video);
    m_player->setVideoOutput(m_video);
    m_buffer = new QBuffer(this);
    connect(m_player, &QMediaPlayer::playbackStateChanged, this,
            [this](QMediaPlayer::PlaybackState state) { emit playingChanged(state == QMediaPlayer::PlayingState); });
    connect(m_player, &QMediaPlayer::durationChanged, this, &LMMoviePlayer::durationChanged);
    connect(m_player, &QMediaPlayer::positionChanged, this, &LMMoviePlayer::positionChanged);
}

bool LMMoviePlayer::togglePlayback(const OXMovie &movie)
{
    if (!isPlaybackAvailable()) {
        Ui::instance().beep();
        return false;
    }
    ensurePlayer();
    if (m_player->playbackState() == QMediaPlayer::PlayingState) {
        m_player->pause();
        return true;
    }
    if (m_player->sourceDevice() == nullptr) {
        m_buffer->close();
        m_buffer->setData(movie.data);
        m_buffer->open(QIODevice::ReadOnly);
        // The name tells the backend the container format, since the bytes come from memory.
        m_player->setSourceDevice(m_buffer, QUrl(movie.fileName));
    }
    m_player->play();
    return true;
}

void LMMoviePlayer::stop()
{
    if (m_player)
        m_player->stop();
}

void LMMoviePlayer::unload()
{
    stop();
    if (m_player)
        m_player->setSourceDevice(nullptr);
}

void LMMoviePlayer::setPreservesAspectRatio(bool preserves)
{
    m_preservesAspectRatio = preserves;
    if (m_video)
        m_video->setAspectRatioMode(preserves ? Qt::KeepAspectRatio : Qt::IgnoreAspectRatio);
}

void LMMoviePlayer::setPosition(qint64 position)
{
    if (m_player)
        m_player->setPosition(position);
}
