#include "platform/local/media/Movies.h"

#include "platform/local/files/Files.h"
#include "platform/local/files/ReadOnlyFile.h"
#include "platform/local/media/MovieRecord.h"
#include "platform/local/media/QuickTimeHeader.h"

#include <QByteArray>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

extern "C" {
#include <libavutil/log.h>
#include <libavutil/mem.h>
}

void MovieFileCloser::operator()(MovieFileRecord* file) const {
    if (file && file->fd >= 0)
        close(file->fd);
    delete file;
}

void MovieDisposer::operator()(MovieRecord* movie) const {
    if (!movie)
        return;
    const int fd = movie->fd;
    delete movie;
    if (fd >= 0)
        close(fd);
}

MovieDemuxer::~MovieDemuxer() {
    avformat_close_input(&format);
    if (io) {
        av_freep(&io->buffer);
        avio_context_free(&io);
    }
}

namespace {

constexpr int kIoBufferSize = 64 * 1024;
// Enough for every container's header, and for the stream information read ahead of the
// packets; keeps the probe of a large text file cheap.
constexpr int64_t kProbeSize = 1024 * 1024;
// What a demuxer may read beyond twice the file: the seeks of a timestamp search, and the
// read-ahead of each seek.
constexpr int64_t kReadSlack = 16 * 1024 * 1024;

// The largest block FFmpeg may allocate at once, set for the whole process whenever a movie is
// opened (FFmpeg serves the movie toolbox alone): an 8K picture's plane or the index of a movie of
// many hours is well below it, but the index of a damaged fragment that claims hundreds of
// millions of samples, each added without a byte of the file read, would grow to gigabytes.
constexpr size_t kMaxAllocation = 256 * 1024 * 1024;

int64_t fileSize(int fd) {
    struct stat st;
    return fstat(fd, &st) == 0 ? int64_t(st.st_size) : -1;
}

int readPacket(void* opaque, uint8_t* buffer, int size) {
    auto* demuxer = static_cast<MovieDemuxer*>(opaque);
    if (demuxer->bytesLeft <= 0)
        return AVERROR_EOF;
    ssize_t n;
    do {
        n = pread(demuxer->fd, buffer, size_t(std::min<int64_t>(size, demuxer->bytesLeft)),
                  off_t(demuxer->position));
    } while (n < 0 && errno == EINTR);
    if (n < 0)
        return AVERROR(errno);
    demuxer->position += n;
    demuxer->bytesLeft -= n;
    return n == 0 ? AVERROR_EOF : int(n);
}

int64_t seekTo(void* opaque, int64_t offset, int whence) {
    auto* demuxer = static_cast<MovieDemuxer*>(opaque);
    const int64_t size = fileSize(demuxer->fd);
    int64_t at;
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE:
        return size < 0 ? AVERROR(errno) : size;
    case SEEK_SET:
        at = offset;
        break;
    case SEEK_CUR:
        at = demuxer->position + offset;
        break;
    case SEEK_END:
        if (size < 0)
            return AVERROR(errno);
        at = size + offset;
        break;
    default:
        return AVERROR(EINVAL);
    }
    if (at < 0)
        return AVERROR(EINVAL);
    demuxer->position = at;
    return at;
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
    for (unsigned i = 0; i < movie.demuxer.format->nb_streams; ++i) {
        const AVStream* stream = movie.demuxer.format->streams[i];
        if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && !isCoverPicture(stream) &&
            !isTextArtCodec(stream->codecpar->codec_id))
            return int(i);
    }
    return -1;
}

int MovieSoundStream(const MovieRecord& movie) {
    for (unsigned i = 0; i < movie.demuxer.format->nb_streams; ++i) {
        if (movie.demuxer.format->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO)
            return int(i);
    }
    return -1;
}

int OpenMovieDemuxer(int fd, const AVInputFormat* known, MovieDemuxer* demuxer) {
    av_max_alloc(kMaxAllocation);
    demuxer->fd = fd;
    demuxer->position = 0;
    demuxer->bytesLeft = 2 * std::max<int64_t>(fileSize(fd), 0) + kReadSlack;
    auto* buffer = static_cast<uint8_t*>(av_malloc(kIoBufferSize));
    demuxer->io =
        buffer ? avio_alloc_context(buffer, kIoBufferSize, 0, demuxer, readPacket, nullptr, seekTo)
               : nullptr;
    demuxer->format = avformat_alloc_context();
    if (!demuxer->io || !demuxer->format) {
        if (!demuxer->io)
            av_free(buffer);
        return AVERROR(ENOMEM);
    }
    demuxer->format->pb = demuxer->io;
    demuxer->format->flags |= AVFMT_FLAG_CUSTOM_IO;
    demuxer->format->probesize = kProbeSize;
    // No name is given: the name's extension would let FFmpeg guess a demuxer from it, and the
    // image demuxer would read further files named by patterns in it. Only content decides.
    return avformat_open_input(&demuxer->format, "", known, nullptr);
}

std::unique_ptr<MovieDemuxer> OpenMovieReader(const MovieRecord& movie, int index) {
    auto reader = std::make_unique<MovieDemuxer>();
    if (OpenMovieDemuxer(movie.fd, movie.demuxer.format->iformat, reader.get()) < 0)
        return nullptr;
    AVFormatContext* format = reader->format;
    for (unsigned i = 0; i < format->nb_streams; ++i)
        format->streams[i]->discard = int(i) == index ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    return reader;
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
    if (made->fd < 0 || lseek(made->fd, 0, SEEK_CUR) < 0)
        return ioErr;
    if (HasTrackWithoutUsableHeader(made->fd))
        return cantFindHandler;
    const int opened = OpenMovieDemuxer(made->fd, nullptr, &made->demuxer);
    if (opened == AVERROR(ENOMEM))
        return memFullErr;
    if (opened < 0)
        return cantFindHandler;
    AVFormatContext* format = made->demuxer.format;
    if (isStillOrTextDemuxer(format->iformat->name))
        return cantFindHandler;
    // A container whose header names no stream (MPEG program streams) shows its streams only to
    // the read-ahead.
    if (format->nb_streams == 0) {
        made->streamInfoRead = true;
        if (avformat_find_stream_info(format, nullptr) < 0)
            return cantFindHandler;
    }
    if (!hasAudioOrVideo(format))
        return cantFindHandler;
    *movie = std::move(made);
    return noErr;
}
