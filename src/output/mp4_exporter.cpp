// SPDX-License-Identifier: GPL-3.0-or-later
// MP4: H.264 from FFmpeg's libavcodec with libx264, in yuv420p, which every player and office
// program plays; libswscale converts the colours, libavformat writes the file with its index
// at the front (movflags +faststart), so that a player starts at once.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <mutex>
#include <string>

#include "output/animation_encoders.h"

namespace output {

namespace {

constexpr const char* EncoderLibrary = "libx264";
constexpr int IoBufferSize = 1 << 16;

// The libraries' own messages would go to standard error, where a command line keeps its own;
// the last error is kept as the reason of a failure instead.
std::mutex logMutex;
std::string lastLibraryError;

void keepLastError(void* context, int level, const char* format, va_list arguments)
{
    if (level > AV_LOG_ERROR) {
        return;
    }
    char line[512];
    int printPrefix = 1;
    av_log_format_line2(context, level, format, arguments, line, sizeof line, &printPrefix);
    std::string text(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    const std::lock_guard lock(logMutex);
    lastLibraryError = text;
}

void takeOverLibraryMessages()
{
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_callback(keepLastError); });
    const std::lock_guard lock(logMutex);
    lastLibraryError.clear();
}

// What a call of the libraries answered, with the error they logged before if there was one.
std::string libraryReason(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    const std::lock_guard lock(logMutex);
    return lastLibraryError.empty() ? std::string(text) : lastLibraryError + " (" + text + ")";
}

int writePacket(void* opaque, std::uint8_t* bytes, int length)
{
    auto* file = static_cast<settings::TAtomicFileWriter*>(opaque);
    const settings::TFileResult r =
        file->write({reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(length)});
    if (r.Ok) {
        return length;
    }
    return AVERROR(r.SystemError != 0 ? r.SystemError : EIO);
}

std::int64_t seekFile(void* opaque, std::int64_t offset, int whence)
{
    const int fd = static_cast<settings::TAtomicFileWriter*>(opaque)->descriptor();
    if ((whence & AVSEEK_SIZE) != 0) {
        struct stat st {};
        return ::fstat(fd, &st) == 0 ? static_cast<std::int64_t>(st.st_size) : AVERROR(errno);
    }
    const off_t at = ::lseek(fd, static_cast<off_t>(offset), whence & ~AVSEEK_FORCE);
    return at < 0 ? AVERROR(errno) : static_cast<std::int64_t>(at);
}

class Mp4Encoder : public FrameEncoder {
public:
    Mp4Encoder(const AnimationPlan& plan, settings::TAtomicFileWriter& file, EncoderError& error)
        : m_width(plan.written.width), m_height(plan.written.height)
    {
        takeOverLibraryMessages();
        if (const int r = open(plan.written.framesPerSecond, file); r < 0) {
            error.message = libraryReason(r);
            return;
        }
        m_started = true;
    }

    ~Mp4Encoder() override
    {
        av_packet_free(&m_packet);
        av_frame_free(&m_frame);
        sws_freeContext(m_scaler);
        avcodec_free_context(&m_codec);
        avformat_free_context(m_format);
        if (m_io != nullptr) {
            av_freep(&m_io->buffer);
            avio_context_free(&m_io);
        }
    }
    Mp4Encoder(const Mp4Encoder&) = delete;
    Mp4Encoder& operator=(const Mp4Encoder&) = delete;

    bool started() const { return m_started; }

    bool add(const QImage& frame, EncoderError& error) override
    {
        int r = av_frame_make_writable(m_frame);
        if (r >= 0) {
            const std::uint8_t* const source[1] = {frame.constBits()};
            const int stride[1] = {static_cast<int>(frame.bytesPerLine())};
            sws_scale(m_scaler, source, stride, 0, m_height, m_frame->data, m_frame->linesize);
            m_frame->pts = m_frames++;
            r = avcodec_send_frame(m_codec, m_frame);
        }
        if (r >= 0) {
            r = writePackets();
        }
        if (r < 0) {
            error.message = libraryReason(r);
            return false;
        }
        return true;
    }

    bool finish(EncoderError& error) override
    {
        int r = avcodec_send_frame(m_codec, nullptr);
        if (r >= 0) {
            r = writePackets();
        }
        if (r >= 0) {
            // With +faststart this moves the index in front of the frames.
            r = av_write_trailer(m_format);
        }
        if (r >= 0) {
            avio_flush(m_io);
            r = m_io->error;
        }
        if (r < 0) {
            error.message = libraryReason(r);
            return false;
        }
        return true;
    }

private:
    int open(int framesPerSecond, settings::TAtomicFileWriter& file)
    {
        const AVCodec* codec = avcodec_find_encoder_by_name(EncoderLibrary);
        if (codec == nullptr) {
            return AVERROR_ENCODER_NOT_FOUND;
        }
        int r = avformat_alloc_output_context2(&m_format, nullptr, "mp4", nullptr);
        if (r < 0) {
            return r;
        }
        // The index is moved to the front by reading the file back by its name.
        m_format->url = av_strdup(("file:" + file.temporaryPath()).c_str());
        m_stream = avformat_new_stream(m_format, nullptr);
        m_codec = avcodec_alloc_context3(codec);
        m_frame = av_frame_alloc();
        m_packet = av_packet_alloc();
        if (m_format->url == nullptr || m_stream == nullptr || m_codec == nullptr ||
            m_frame == nullptr || m_packet == nullptr) {
            return AVERROR(ENOMEM);
        }
        m_codec->width = m_width;
        m_codec->height = m_height;
        m_codec->time_base = AVRational{1, framesPerSecond};
        m_codec->framerate = AVRational{framesPerSecond, 1};
        m_codec->pix_fmt = AV_PIX_FMT_YUV420P;
        m_codec->color_range = AVCOL_RANGE_MPEG;
        m_codec->colorspace = AVCOL_SPC_BT709;
        m_codec->color_primaries = AVCOL_PRI_BT709;
        m_codec->color_trc = AVCOL_TRC_BT709;
        m_codec->thread_count = 0;
        if ((m_format->oformat->flags & AVFMT_GLOBALHEADER) != 0) {
            m_codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        }
        AVDictionary* options = nullptr;
        // Thin coloured lines need a high quality; the fast preset keeps a period of frames
        // within seconds.
        av_dict_set(&options, "preset", "veryfast", 0);
        av_dict_set(&options, "crf", "18", 0);
        // A short look ahead and threads on slices of one frame rather than on several frames:
        // each frame held costs several pictures' worth of memory.
        av_dict_set(&options, "x264-params", "rc-lookahead=5:sliced-threads=1", 0);
        r = avcodec_open2(m_codec, codec, &options);
        av_dict_free(&options);
        if (r < 0) {
            return r;
        }
        r = avcodec_parameters_from_context(m_stream->codecpar, m_codec);
        if (r < 0) {
            return r;
        }
        m_stream->time_base = m_codec->time_base;
        m_stream->avg_frame_rate = m_codec->framerate;

        auto* buffer = static_cast<unsigned char*>(av_malloc(IoBufferSize));
        m_io = buffer == nullptr ? nullptr
                                 : avio_alloc_context(buffer, IoBufferSize, 1, &file, nullptr,
                                                      writePacket, seekFile);
        if (m_io == nullptr) {
            av_free(buffer);
            return AVERROR(ENOMEM);
        }
        m_format->pb = m_io;
        m_format->flags |= AVFMT_FLAG_CUSTOM_IO;
        AVDictionary* muxing = nullptr;
        av_dict_set(&muxing, "movflags", "+faststart", 0);
        r = avformat_write_header(m_format, &muxing);
        av_dict_free(&muxing);
        if (r < 0) {
            return r;
        }

        m_frame->format = AV_PIX_FMT_YUV420P;
        m_frame->width = m_width;
        m_frame->height = m_height;
        m_frame->color_range = AVCOL_RANGE_MPEG;
        m_frame->colorspace = AVCOL_SPC_BT709;
        r = av_frame_get_buffer(m_frame, 0);
        if (r < 0) {
            return r;
        }
        // QImage's RGB32 is B, G, R, X in memory; full-range RGB to the video range of BT.709.
        m_scaler = sws_getContext(m_width, m_height, AV_PIX_FMT_BGR0, m_width, m_height,
                                  AV_PIX_FMT_YUV420P, SWS_BICUBIC | SWS_ACCURATE_RND, nullptr,
                                  nullptr, nullptr);
        if (m_scaler == nullptr) {
            return AVERROR(EINVAL);
        }
        sws_setColorspaceDetails(m_scaler, sws_getCoefficients(SWS_CS_DEFAULT), 1,
                                 sws_getCoefficients(SWS_CS_ITU709), 0, 0, 1 << 16, 1 << 16);
        return 0;
    }

    int writePackets()
    {
        int r = 0;
        while ((r = avcodec_receive_packet(m_codec, m_packet)) >= 0) {
            if (m_packet->duration == 0) {
                m_packet->duration = 1;
            }
            av_packet_rescale_ts(m_packet, m_codec->time_base, m_stream->time_base);
            m_packet->stream_index = m_stream->index;
            r = av_interleaved_write_frame(m_format, m_packet);
            if (r < 0) {
                return r;
            }
        }
        return r == AVERROR(EAGAIN) || r == AVERROR_EOF ? 0 : r;
    }

    std::int32_t m_width;
    std::int32_t m_height;
    std::int64_t m_frames = 0;
    AVFormatContext* m_format = nullptr;
    AVStream* m_stream = nullptr;
    AVCodecContext* m_codec = nullptr;
    AVIOContext* m_io = nullptr;
    SwsContext* m_scaler = nullptr;
    AVFrame* m_frame = nullptr;
    AVPacket* m_packet = nullptr;
    bool m_started = false;
};

class Mp4Exporter : public AnimationExporter {
public:
    AnimationFormat format() const override { return AnimationFormat::Mp4; }
    QString encoderName() const override { return QStringLiteral("H.264 (libx264)"); }
    bool available() const override
    {
        return avcodec_find_encoder_by_name(EncoderLibrary) != nullptr;
    }
    std::unique_ptr<FrameEncoder> start(const AnimationPlan& plan,
                                        settings::TAtomicFileWriter& file,
                                        EncoderError& error) const override
    {
        auto encoder = std::make_unique<Mp4Encoder>(plan, file, error);
        if (!encoder->started()) {
            return nullptr;
        }
        return encoder;
    }
};

}  // namespace

std::unique_ptr<AnimationExporter> makeMp4Exporter()
{
    return std::make_unique<Mp4Exporter>();
}

}  // namespace output
