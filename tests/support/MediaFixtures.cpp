#include "tests/support/MediaFixtures.h"

#include <QFile>
#include <QImage>
#include <QtEndian>
#include <zlib.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace fixtures {

namespace {

bool encodeFrames(AVFormatContext* format, AVCodecContext* codec, AVStream* stream,
                  AVFrame* frame) {
    if (avcodec_send_frame(codec, frame) < 0)
        return false;
    AVPacket* packet = av_packet_alloc();
    bool ok = true;
    while (ok) {
        const int status = avcodec_receive_packet(codec, packet);
        if (status == AVERROR(EAGAIN) || status == AVERROR_EOF)
            break;
        if (status < 0) {
            ok = false;
            break;
        }
        av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
        packet->stream_index = stream->index;
        ok = av_interleaved_write_frame(format, packet) >= 0;
    }
    av_packet_free(&packet);
    return ok;
}

} // namespace

bool WriteMovie(const QString& path, int frames) {
    const QByteArray file = QFile::encodeName(path);
    AVFormatContext* format = nullptr;
    if (avformat_alloc_output_context2(&format, nullptr, "mov", file.constData()) < 0)
        return false;
    const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_MPEG4);
    AVStream* stream = encoder ? avformat_new_stream(format, nullptr) : nullptr;
    AVCodecContext* codec = encoder ? avcodec_alloc_context3(encoder) : nullptr;
    AVFrame* frame = av_frame_alloc();
    bool ok = stream && codec && frame;
    if (ok) {
        codec->width = 64;
        codec->height = 48;
        codec->pix_fmt = AV_PIX_FMT_YUV420P;
        codec->time_base = AVRational{1, 25};
        codec->gop_size = 10;
        if (format->oformat->flags & AVFMT_GLOBALHEADER)
            codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        ok = avcodec_open2(codec, encoder, nullptr) >= 0 &&
             avcodec_parameters_from_context(stream->codecpar, codec) >= 0;
        stream->time_base = codec->time_base;
    }
    ok = ok && avio_open(&format->pb, file.constData(), AVIO_FLAG_WRITE) >= 0 &&
         avformat_write_header(format, nullptr) >= 0;
    if (ok) {
        frame->format = codec->pix_fmt;
        frame->width = codec->width;
        frame->height = codec->height;
        ok = av_frame_get_buffer(frame, 0) >= 0;
    }
    for (int n = 0; ok && n < frames; ++n) {
        ok = av_frame_make_writable(frame) >= 0;
        for (int plane = 0; ok && plane < 3; ++plane) {
            const int rows = plane == 0 ? codec->height : codec->height / 2;
            for (int y = 0; y < rows; ++y)
                std::memset(frame->data[plane] + y * frame->linesize[plane], 16 + 40 * n + y,
                            size_t(frame->linesize[plane]));
        }
        frame->pts = n;
        ok = ok && encodeFrames(format, codec, stream, frame);
    }
    ok = ok && encodeFrames(format, codec, stream, nullptr) && av_write_trailer(format) >= 0;
    av_frame_free(&frame);
    avcodec_free_context(&codec);
    if (format->pb)
        avio_closep(&format->pb);
    avformat_free_context(format);
    return ok;
}

bool WritePng(const QString& path, int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(QColor(200, 80, 40));
    return image.save(path, "png");
}

bool WritePngHeaderOnly(const QString& path, quint32 width, quint32 height) {
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray chunk("IHDR");
    chunk.append(char(0)).append(char(0)).append(char(0)).append(char(0));
    chunk.append(char(0)).append(char(0)).append(char(0)).append(char(0));
    qToBigEndian(width, chunk.data() + 4);
    qToBigEndian(height, chunk.data() + 8);
    chunk.append(char(8)).append(char(6)).append(char(0)).append(char(0)).append(char(0));
    char length[4];
    qToBigEndian(quint32(chunk.size() - 4), length);
    png.append(length, 4).append(chunk);
    char crc[4];
    qToBigEndian(
        quint32(crc32(0, reinterpret_cast<const Bytef*>(chunk.constData()), uInt(chunk.size()))),
        crc);
    png.append(crc, 4);
    return WriteText(path, png);
}

bool WriteText(const QString& path, const QByteArray& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}

} // namespace fixtures
