// The poster frame of a movie, decoded with FFmpeg.
#include "platform/local/media/MovieRecord.h"
#include "platform/local/media/Movies.h"
#include "platform/local/media/QuickTimeHeader.h"

#include <climits>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace {

// Packets read without a picture coming out before the movie counts as undecodable: a corrupt
// stream ends here rather than at the end of a large file.
constexpr int kMaxPacketsWithoutPicture = 4096;

struct CodecFree {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameFree {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct ScalerFree {
    void operator()(SwsContext* scaler) const { sws_freeContext(scaler); }
};

// The poster time in the stream's time base, where the container records one after the start.
std::optional<int64_t> posterTimestamp(const MovieRecord& movie, const AVStream* stream) {
    if (!QByteArray(movie.demuxer.format->iformat->name).contains("mov"))
        return std::nullopt;
    const auto header = ReadQuickTimeMovieHeader(movie.fd);
    if (!header || header->timeScale == 0 || header->timeScale > INT_MAX ||
        header->posterTime == 0 || header->posterTime > quint64(INT64_MAX))
        return std::nullopt;
    const int64_t start = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
    return start + av_rescale_q(int64_t(header->posterTime), AVRational{1, int(header->timeScale)},
                                stream->time_base);
}

// The frame as an image, converted in one pass into the image's own pixels.
std::optional<QImage> imageOf(const AVFrame& frame) {
    const auto format = AVPixelFormat(frame.format);
    const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(format);
    if (frame.width <= 0 || frame.height <= 0 || !descriptor)
        return std::nullopt;
    const bool alpha = descriptor->flags & AV_PIX_FMT_FLAG_ALPHA;
    QImage image(frame.width, frame.height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull())
        return std::nullopt;
    // AV_PIX_FMT_RGB32 is, like Qt's 32-bit formats, one native-endian word of A, R, G, B.
    const std::unique_ptr<SwsContext, ScalerFree> scaler(sws_getContext(
        frame.width, frame.height, format, frame.width, frame.height, AV_PIX_FMT_RGB32,
        SWS_BICUBIC | SWS_ACCURATE_RND, nullptr, nullptr, nullptr));
    if (!scaler)
        return std::nullopt;
    uint8_t* planes[4] = {image.bits(), nullptr, nullptr, nullptr};
    const int strides[4] = {int(image.bytesPerLine()), 0, 0, 0};
    if (sws_scale(scaler.get(), frame.data, frame.linesize, 0, frame.height, planes, strides) !=
        frame.height)
        return std::nullopt;
    return image;
}

} // namespace

std::optional<QImage> GetMoviePosterImage(const Movie& movie) {
    if (!movie)
        return std::nullopt;
    ProbeMovie(*movie);
    const int index = movie->videoStream;
    if (index < 0)
        return std::nullopt;
    const AVStream* stream = movie->demuxer.format->streams[index];
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec)
        return std::nullopt;
    const std::unique_ptr<AVCodecContext, CodecFree> decoder(avcodec_alloc_context3(codec));
    if (!decoder || avcodec_parameters_to_context(decoder.get(), stream->codecpar) < 0)
        return std::nullopt;
    // One picture is wanted: frame threading would only delay it.
    decoder->thread_type = FF_THREAD_SLICE;
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0)
        return std::nullopt;
    const auto reader = OpenMovieReader(*movie, index);
    if (!reader)
        return std::nullopt;
    AVFormatContext* format = reader->format;

    // A container that names no stream up front shows the picture's stream only once read.
    const auto target = posterTimestamp(*movie, stream);
    if (index < int(format->nb_streams) &&
        (!target || av_seek_frame(format, index, *target, AVSEEK_FLAG_BACKWARD) < 0))
        av_seek_frame(format, index, stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time,
                      AVSEEK_FLAG_BACKWARD);

    const std::unique_ptr<AVPacket, PacketFree> packet(av_packet_alloc());
    const std::unique_ptr<AVFrame, FrameFree> frame(av_frame_alloc());
    const std::unique_ptr<AVFrame, FrameFree> last(av_frame_alloc());
    if (!packet || !frame || !last)
        return std::nullopt;
    bool haveLast = false;
    // A frame at or after the poster time is the poster; the frames before it are decoded from
    // the key frame the seek found. A poster time past the end gives the last frame.
    const auto take = [&]() -> int {
        for (;;) {
            const int received = avcodec_receive_frame(decoder.get(), frame.get());
            if (received < 0)
                return received;
            const int64_t at = frame->best_effort_timestamp;
            if (!target || at == AV_NOPTS_VALUE || at >= *target)
                return 1;
            av_frame_unref(last.get());
            av_frame_move_ref(last.get(), frame.get());
            haveLast = true;
        }
    };
    int withoutPicture = 0;
    while (withoutPicture < kMaxPacketsWithoutPicture) {
        const int read = av_read_frame(format, packet.get());
        if (read < 0)
            break;
        const bool ours = packet->stream_index == index;
        if (ours)
            avcodec_send_packet(decoder.get(), packet.get());
        av_packet_unref(packet.get());
        if (ours && take() == 1)
            return imageOf(*frame);
        ++withoutPicture;
    }
    avcodec_send_packet(decoder.get(), nullptr);
    if (take() == 1)
        return imageOf(*frame);
    return haveLast ? imageOf(*last) : std::nullopt;
}
