#include "platform/local/media/MovieProperties.h"

#include "platform/local/media/MovieRecord.h"
#include "platform/local/media/QuickTimeHeader.h"

#include <QDateTime>
#include <QTimeZone>
#include <cstdlib>
#include <sys/stat.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
}

namespace {

std::optional<QString> tag(const AVFormatContext* format, const char* key) {
    const AVDictionaryEntry* entry = av_dict_get(format->metadata, key, nullptr, 0);
    if (!entry || !entry->value)
        return std::nullopt;
    return QString::fromUtf8(entry->value);
}

// "2026-12-05 06:52:44 +0000": the time in the zone it was given in, and that zone's offset.
QString standardForm(const QDateTime& time) {
    const int offset = time.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss ")) + (offset < 0 ? u'-' : u'+') +
           QStringLiteral("%1%2")
               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
               .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

// FFmpeg writes creation times in ISO 8601 ("2026-12-05T06:52:44.000000Z"); other forms are
// kept as they are.
QString dateText(const QString& tagText) {
    QDateTime time = QDateTime::fromString(tagText, Qt::ISODateWithMs);
    if (!time.isValid())
        time = QDateTime::fromString(tagText, Qt::ISODate);
    return time.isValid() ? standardForm(time) : tagText;
}

MovieTrack trackOf(const AVStream* stream) {
    const AVCodecParameters* codec = stream->codecpar;
    MovieTrack track;
    if (const AVCodecDescriptor* descriptor = avcodec_descriptor_get(codec->codec_id))
        track.codecName =
            QString::fromUtf8(descriptor->long_name ? descriptor->long_name : descriptor->name);
    if (codec->codec_type == AVMEDIA_TYPE_VIDEO &&
        !(stream->disposition & AV_DISPOSITION_ATTACHED_PIC))
        track.kind = MovieTrack::Kind::Video;
    if (codec->codec_type == AVMEDIA_TYPE_AUDIO) {
        track.kind = MovieTrack::Kind::Sound;
        track.sampleRate = codec->sample_rate;
        track.channels = codec->ch_layout.nb_channels;
        char layout[128] = {};
        if (av_channel_layout_describe(&codec->ch_layout, layout, sizeof layout) > 0)
            track.channelLayout = QString::fromUtf8(layout);
    }
    return track;
}

// What the movie tells about itself, from the streams as the probe left them.
MovieProperties propertiesOf(const MovieRecord& movie) {
    MovieProperties properties;
    const AVFormatContext* format = movie.demuxer.format;
    properties.copyright = tag(format, "copyright");
    properties.title = tag(format, "title");
    properties.path = movie.path;
    if (format->duration != AV_NOPTS_VALUE && format->duration > 0)
        properties.durationMicroseconds = format->duration;
    if (const auto created = tag(format, "creation_time"))
        properties.creationTime = dateText(*created);
    if (QByteArray(format->iformat->name).contains("mov")) {
        const auto header = ReadQuickTimeMovieHeader(movie.fd);
        if (header && header->modificationTime != 0)
            properties.modificationTime = standardForm(QDateTime::fromSecsSinceEpoch(
                qint64(header->modificationTime) - kQuickTimeEpochOffset, QTimeZone::utc()));
    }
    if (movie.videoStream >= 0) {
        AVStream* stream = format->streams[movie.videoStream];
        const AVRational aspect =
            av_guess_sample_aspect_ratio(const_cast<AVFormatContext*>(format), stream, nullptr);
        int width = stream->codecpar->width;
        if (aspect.num > 0 && aspect.den > 0)
            width = int(av_rescale(width, aspect.num, aspect.den));
        if (width > 0 && stream->codecpar->height > 0)
            properties.naturalSize = QSize(width, stream->codecpar->height);
    }
    struct stat st;
    if (fstat(movie.fd, &st) == 0)
        properties.dataSize = qint64(st.st_size);
    for (unsigned i = 0; i < format->nb_streams; ++i)
        properties.tracks.push_back(trackOf(format->streams[i]));
    return properties;
}

// The video's sample count: the container's own, else its packets, read without decoding from
// the start of the file. At most as many packets are read as the file has bytes: a packet holds
// at least one byte of the file, so a demuxer that gives more is making them out of a damaged
// index.
long countSamples(const MovieRecord& movie) {
    const int index = movie.videoStream;
    if (index < 0)
        return 0;
    const AVStream* stream = movie.demuxer.format->streams[index];
    if (stream->nb_frames > 0)
        return long(stream->nb_frames);
    const auto reader = OpenMovieReader(movie, index);
    AVPacket* packet = reader ? av_packet_alloc() : nullptr;
    if (!packet)
        return 0;
    struct stat st;
    const int64_t limit = fstat(movie.fd, &st) == 0 ? int64_t(st.st_size) : 0;
    long count = 0;
    for (int64_t read = 0; read < limit && av_read_frame(reader->format, packet) >= 0; ++read) {
        if (packet->stream_index == index)
            ++count;
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    return count;
}

} // namespace

void ProbeMovie(MovieRecord& movie) {
    if (movie.properties)
        return;
    // Some containers leave the picture size to the codec's headers inside the stream.
    const int video = MovieVideoStream(movie);
    if (video >= 0 && movie.demuxer.format->streams[video]->codecpar->width <= 0 &&
        !movie.streamInfoRead) {
        movie.streamInfoRead = true;
        avformat_find_stream_info(movie.demuxer.format, nullptr);
    }
    movie.videoStream = MovieVideoStream(movie);
    movie.properties = propertiesOf(movie);
}

MovieProperties GetMovieProperties(const Movie& movie) {
    if (!movie)
        return MovieProperties();
    ProbeMovie(*movie);
    return *movie->properties;
}

long CountMovieVideoSamples(const Movie& movie) {
    if (!movie)
        return 0;
    ProbeMovie(*movie);
    if (!movie->videoSamples)
        movie->videoSamples = countSamples(*movie);
    return *movie->videoSamples;
}
