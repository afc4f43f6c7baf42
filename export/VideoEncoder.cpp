// SPDX-License-Identifier: GPL-3.0-or-later
#include "VideoEncoder.h"
#include "ToolkitError.h"

#include <QFileInfo>
#include <QImage>

#include <cerrno>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace {
QString errorText(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromLocal8Bit(text);
}

// The user's words for a failed write: a full disk is by far the likeliest cause.
[[noreturn]] void raiseWriteError(const QString &path, int code)
{
    const QString name = QFileInfo(path).fileName();
    if (code == AVERROR(ENOSPC) || code == AVERROR(EDQUOT))
        throw ToolkitError(
            QStringLiteral("Der Datenträger ist voll; das Video \"%1\" wurde nicht gespeichert").arg(name));
    throw ToolkitError(
        QStringLiteral("Das Video \"%1\" ließ sich nicht schreiben: %2").arg(name, errorText(code)));
}

struct Tuning
{
    const char *encoder;
    const char *preset;
    int crf;
};

// Speed and quality per encoder, from low to high, measured on two cores at 1920 x 1080: the
// medium setting keeps the whole zoom within twice its running time.
Tuning tuningFor(const char *encoder, VideoQuality quality)
{
    static const Tuning tunings[][3] = {
        {{"libx264", "superfast", 28}, {"libx264", "superfast", 22}, {"libx264", "veryfast", 18}},
        {{"libsvtav1", "12", 42}, {"libsvtav1", "11", 35}, {"libsvtav1", "9", 28}},
        {{"libvpx-vp9", "8", 42}, {"libvpx-vp9", "8", 34}, {"libvpx-vp9", "6", 28}},   // cpu-used
    };
    for (const auto &row : tunings)
        if (qstrcmp(row[0].encoder, encoder) == 0)
            return row[int(quality)];
    return {encoder, "", 0};
}
}

struct VideoEncoder::Streams
{
    QString path;
    AVFormatContext *format = nullptr;
    AVCodecContext *codec = nullptr;
    AVStream *stream = nullptr;
    SwsContext *scaler = nullptr;
    AVFrame *frame = nullptr;
    AVPacket *packet = nullptr;
    bool fileOpen = false;
    int64_t nextPts = 0;

    ~Streams()
    {
        sws_freeContext(scaler);
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
        if (fileOpen)
            avio_closep(&format->pb);
        avformat_free_context(format);
    }

    // A failure of the encoder's `step`.
    void check(int code, const char *step) const
    {
        if (code < 0)
            throw ToolkitError(QStringLiteral("Der Video-Encoder meldet einen Fehler (%1): %2")
                                   .arg(QString::fromLatin1(step), errorText(code)));
    }
    // A failure to write the file.
    void checkWrite(int code) const
    {
        if (code < 0)
            raiseWriteError(path, code);
    }

    // Hands `input` to the encoder (null drains it) and writes what comes out.
    void encode(const AVFrame *input)
    {
        check(avcodec_send_frame(codec, input), "encode");
        for (;;) {
            const int code = avcodec_receive_packet(codec, packet);
            if (code == AVERROR(EAGAIN) || code == AVERROR_EOF)
                return;
            check(code, "encode");
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            checkWrite(av_interleaved_write_frame(format, packet));
            // Buffered writes report their failure here only.
            if (format->pb->error < 0)
                checkWrite(format->pb->error);
        }
    }
};

QString VideoEncoder::containerFor(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("mp4"))
        return QStringLiteral("mp4");
    if (suffix == QLatin1String("mkv"))
        return QStringLiteral("matroska");
    if (suffix == QLatin1String("webm"))
        return QStringLiteral("webm");
    return {};
}

VideoEncoder::VideoEncoder(const QString &path, const QString &container, QSize size, int framesPerSecond,
                           VideoQuality quality)
    : m_streams(std::make_unique<Streams>())
{
    Streams &s = *m_streams;
    s.path = path;
    // The encoders' statistics and notes would break up the progress line; errors reach the user
    // as exceptions.
    av_log_set_level(AV_LOG_ERROR);

    const QByteArray fileName = QFile::encodeName(path);
    s.check(avformat_alloc_output_context2(&s.format, nullptr, container.toLatin1().constData(),
                                           fileName.constData()),
            "container");

    const AVCodec *codec = nullptr;
    const char *encoderNames[] = {"libsvtav1", "libvpx-vp9"};
    if (container == QLatin1String("mp4"))
        codec = avcodec_find_encoder_by_name("libx264");
    else
        for (const char *name : encoderNames)
            if (!codec)
                codec = avcodec_find_encoder_by_name(name);
    if (!codec)
        throw ToolkitError(QStringLiteral("Diese FFmpeg-Bibliotheken können kein Video für \"%1\" erzeugen")
                               .arg(QFileInfo(path).suffix()));
    const Tuning tuning = tuningFor(codec->name, quality);

    s.stream = avformat_new_stream(s.format, nullptr);
    s.codec = avcodec_alloc_context3(codec);
    s.frame = av_frame_alloc();
    s.packet = av_packet_alloc();
    if (!s.stream || !s.codec || !s.frame || !s.packet)
        s.check(AVERROR(ENOMEM), "setup");
    AVCodecContext *c = s.codec;
    c->width = size.width();
    c->height = size.height();
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    c->time_base = AVRational{1, framesPerSecond};
    c->framerate = AVRational{framesPerSecond, 1};
    c->gop_size = 2 * framesPerSecond;   // a key frame every two seconds, for seeking
    c->sample_aspect_ratio = AVRational{1, 1};
    c->color_range = AVCOL_RANGE_MPEG;
    c->colorspace = AVCOL_SPC_SMPTE170M;   // the matrix swscale converts with by default
    c->color_primaries = AVCOL_PRI_BT709;
    c->color_trc = AVCOL_TRC_BT709;
    c->thread_count = 0;
    if (s.format->oformat->flags & AVFMT_GLOBALHEADER)
        c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    av_opt_set(c->priv_data, QByteArray(codec->name) == "libvpx-vp9" ? "cpu-used" : "preset", tuning.preset,
               0);
    av_opt_set_int(c->priv_data, "crf", tuning.crf, 0);
    if (QByteArray(codec->name) == "libvpx-vp9") {
        c->bit_rate = 0;   // constant quality
        av_opt_set(c->priv_data, "deadline", "realtime", 0);
        av_opt_set_int(c->priv_data, "row-mt", 1, 0);
    }
    s.check(avcodec_open2(c, codec, nullptr), "open");
    s.check(avcodec_parameters_from_context(s.stream->codecpar, c), "setup");
    s.stream->time_base = c->time_base;
    s.stream->avg_frame_rate = c->framerate;

    s.frame->format = c->pix_fmt;
    s.frame->width = c->width;
    s.frame->height = c->height;
    s.check(av_frame_get_buffer(s.frame, 0), "setup");
    s.scaler = sws_getContext(c->width, c->height, AV_PIX_FMT_BGRA, c->width, c->height, c->pix_fmt,
                              SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!s.scaler)
        s.check(AVERROR(ENOMEM), "setup");

    const int opened = avio_open(&s.format->pb, fileName.constData(), AVIO_FLAG_WRITE);
    if (opened < 0)
        raiseWriteError(path, opened);
    s.fileOpen = true;
    AVDictionary *options = nullptr;
    if (container == QLatin1String("mp4"))
        av_dict_set(&options, "movflags", "+faststart", 0);
    const int header = avformat_write_header(s.format, &options);
    av_dict_free(&options);
    s.checkWrite(header);
}

VideoEncoder::~VideoEncoder() = default;

QString VideoEncoder::codecName() const
{
    return QString::fromLatin1(m_streams->codec->codec->name);
}

void VideoEncoder::addFrame(const QImage &picture)
{
    Streams &s = *m_streams;
    // QImage's RGB32 lies in memory as B, G, R, A on little-endian machines.
    const QImage rgb = picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32
        ? picture
        : picture.convertToFormat(QImage::Format_RGB32);
    if (rgb.width() != s.codec->width || rgb.height() != s.codec->height)
        throw ToolkitError(QStringLiteral("Ein Bild des Videos hat die falsche Größe"));
    s.check(av_frame_make_writable(s.frame), "setup");
    const uint8_t *source[] = {rgb.constBits()};
    const int stride[] = {int(rgb.bytesPerLine())};
    sws_scale(s.scaler, source, stride, 0, rgb.height(), s.frame->data, s.frame->linesize);
    s.frame->pts = s.nextPts++;
    s.encode(s.frame);
}

void VideoEncoder::finish()
{
    Streams &s = *m_streams;
    s.encode(nullptr);
    s.checkWrite(av_write_trailer(s.format));
    s.fileOpen = false;
    s.checkWrite(avio_closep(&s.format->pb));
}
