#include "platform/local/Movies.h"

#include "platform/local/Files.h"
#include "platform/local/MovieRecord.h"
#include "platform/local/ReadOnlyFile.h"

#include <QByteArray>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

extern "C" {
#include <libavutil/log.h>
}

void MovieFileCloser::operator()(MovieFileRecord* file) const {
    if (file && file->fd >= 0)
        close(file->fd);
    delete file;
}

void MovieDisposer::operator()(MovieRecord* movie) const {
    if (!movie)
        return;
    avformat_close_input(&movie->format);
    if (movie->io) {
        av_freep(&movie->io->buffer);
        avio_context_free(&movie->io);
    }
    if (movie->fd >= 0)
        close(movie->fd);
    delete movie;
}

namespace {

constexpr int kIoBufferSize = 64 * 1024;
// Enough for every container's header; keeps the probe of a large text file cheap.
constexpr int64_t kProbeSize = 1024 * 1024;

int readPacket(void* opaque, uint8_t* buffer, int size) {
    auto* movie = static_cast<MovieRecord*>(opaque);
    ssize_t n;
    do {
        n = read(movie->fd, buffer, size_t(size));
    } while (n < 0 && errno == EINTR);
    if (n < 0)
        return AVERROR(errno);
    return n == 0 ? AVERROR_EOF : int(n);
}

int64_t seekTo(void* opaque, int64_t offset, int whence) {
    auto* movie = static_cast<MovieRecord*>(opaque);
    if (whence == AVSEEK_SIZE) {
        const off_t here = lseek(movie->fd, 0, SEEK_CUR);
        const off_t end = lseek(movie->fd, 0, SEEK_END);
        lseek(movie->fd, here, SEEK_SET);
        return end < 0 ? AVERROR(errno) : int64_t(end);
    }
    const off_t at = lseek(movie->fd, off_t(offset), whence & ~AVSEEK_FORCE);
    return at < 0 ? AVERROR(errno) : int64_t(at);
}

// Demuxers that FFmpeg uses for single images and for text rendered as pictures.
bool isStillOrTextDemuxer(const char* name) {
    const QByteArray demuxer(name);
    static const QByteArray kStill[] = {"image2",  "image2pipe", "gif",         "apng",
                                        "ico",     "alias_pix",  "brender_pix", "tty",
                                        "bintext", "xbin",       "adf",         "idf"};
    for (const QByteArray& still : kStill) {
        if (demuxer == still)
            return true;
    }
    return demuxer.endsWith("_pipe");
}

bool isTextArtCodec(AVCodecID codec) {
    return codec == AV_CODEC_ID_ANSI || codec == AV_CODEC_ID_BINTEXT || codec == AV_CODEC_ID_XBIN ||
           codec == AV_CODEC_ID_IDF;
}

bool hasAudioOrVideo(const AVFormatContext* format) {
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVCodecParameters* codec = format->streams[i]->codecpar;
        if ((codec->codec_type == AVMEDIA_TYPE_VIDEO && !isTextArtCodec(codec->codec_id)) ||
            codec->codec_type == AVMEDIA_TYPE_AUDIO)
            return true;
    }
    return false;
}

bool isCoverPicture(const AVStream* stream) {
    return stream->disposition & AV_DISPOSITION_ATTACHED_PIC;
}

} // namespace

int MovieVideoStream(const MovieRecord& movie) {
    for (unsigned i = 0; i < movie.format->nb_streams; ++i) {
        const AVStream* stream = movie.format->streams[i];
        if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && !isCoverPicture(stream) &&
            !isTextArtCodec(stream->codecpar->codec_id))
            return int(i);
    }
    return -1;
}

int MovieSoundStream(const MovieRecord& movie) {
    for (unsigned i = 0; i < movie.format->nb_streams; ++i) {
        if (movie.format->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO)
            return int(i);
    }
    return -1;
}

OSErr EnterMovies() {
    av_log_set_level(AV_LOG_QUIET);
    return noErr;
}

void ExitMovies() {
    av_log_set_level(AV_LOG_INFO);
}

OSErr OpenMovieFile(const FSSpec* spec, MovieFile* file, SInt8) {
    if (!spec || !file)
        return paramErr;
    QByteArray path;
    if (OSStatus status = FSRefCopyPath(&spec->ref, &path); status != noErr)
        return OSErr(status);
    const int fd = OpenRegularFileForReading(path);
    if (fd < 0)
        return fnfErr;
    file->reset(new MovieFileRecord{fd, path});
    return noErr;
}

OSErr NewMovieFromFile(Movie* movie, const MovieFile& file, SInt16) {
    if (!movie || !file)
        return paramErr;
    Movie made(new MovieRecord);
    made->path = file->path;
    made->fd = fcntl(file->fd, F_DUPFD_CLOEXEC, 0);
    if (made->fd < 0 || lseek(made->fd, 0, SEEK_SET) < 0)
        return ioErr;
    auto* buffer = static_cast<uint8_t*>(av_malloc(kIoBufferSize));
    made->io = buffer ? avio_alloc_context(buffer, kIoBufferSize, 0, made.get(), readPacket,
                                           nullptr, seekTo)
                      : nullptr;
    made->format = avformat_alloc_context();
    if (!made->io || !made->format) {
        if (!made->io)
            av_free(buffer);
        return memFullErr;
    }
    made->format->pb = made->io;
    made->format->flags |= AVFMT_FLAG_CUSTOM_IO;
    made->format->probesize = kProbeSize;
    // No name is given: the name's extension would let FFmpeg guess a demuxer from it, and the
    // image demuxer would read further files named by patterns in it. Only content decides.
    if (avformat_open_input(&made->format, "", nullptr, nullptr) < 0)
        return cantFindHandler;
    if (isStillOrTextDemuxer(made->format->iformat->name))
        return cantFindHandler;
    if (made->format->nb_streams == 0 && avformat_find_stream_info(made->format, nullptr) < 0)
        return cantFindHandler;
    if (!hasAudioOrVideo(made->format))
        return cantFindHandler;
    *movie = std::move(made);
    return noErr;
}
