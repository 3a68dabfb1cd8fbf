// SPDX-License-Identifier: GPL-3.0-or-later
// Animated WebP: libwebp's animation encoder, lossless, so that every frame is the scene's
// picture exactly. It keeps only the encoded frames, not the pictures, until the file is
// assembled.

#include <webp/encode.h>
#include <webp/mux.h>

#include "output/animation_encoders.h"

namespace output {

namespace {

class WebPEncoder : public FrameEncoder {
public:
    WebPEncoder(const AnimationPlan& plan, settings::TAtomicFileWriter& file, EncoderError& error)
        : m_file(file),
          m_width(plan.written.width),
          m_height(plan.written.height),
          m_framesPerSecond(plan.written.framesPerSecond)
    {
        WebPAnimEncoderOptions options;
        if (!WebPAnimEncoderOptionsInit(&options) || !WebPConfigInit(&m_config)) {
            error.message = "libwebp: the library does not match its headers";
            return;
        }
        options.anim_params.loop_count = 0;  // for ever
        options.allow_mixed = 0;
        // The fastest lossless effort: the frames differ from each other in thin lines, and
        // the encoder stores only the rectangle that changed.
        WebPConfigLosslessPreset(&m_config, 0);
        m_config.thread_level = 1;
        m_encoder = WebPAnimEncoderNew(m_width, m_height, &options);
        if (m_encoder == nullptr) {
            error.message = "libwebp cannot start an animation of this size";
        }
    }
    ~WebPEncoder() override
    {
        if (m_encoder != nullptr) {
            WebPAnimEncoderDelete(m_encoder);
        }
    }
    WebPEncoder(const WebPEncoder&) = delete;
    WebPEncoder& operator=(const WebPEncoder&) = delete;

    bool started() const { return m_encoder != nullptr; }

    bool add(const QImage& frame, EncoderError& error) override
    {
        WebPPicture picture;
        if (!WebPPictureInit(&picture)) {
            error.message = "libwebp: the library does not match its headers";
            return false;
        }
        picture.use_argb = 1;
        picture.width = m_width;
        picture.height = m_height;
        // QImage's RGB32 is B, G, R, X in memory, as the import reads it.
        const bool imported = WebPPictureImportBGRX(&picture, frame.constBits(),
                                                    static_cast<int>(frame.bytesPerLine())) != 0;
        const bool added =
            imported && WebPAnimEncoderAdd(m_encoder, &picture,
                                           frameStartMs(m_frames, m_framesPerSecond), &m_config);
        WebPPictureFree(&picture);
        if (!added) {
            error.message =
                imported ? WebPAnimEncoderGetError(m_encoder) : "libwebp: out of memory";
            return false;
        }
        ++m_frames;
        return true;
    }

    bool finish(EncoderError& error) override
    {
        // The last frame lasts until the end, where the first one starts again.
        WebPData data;
        WebPDataInit(&data);
        if (!WebPAnimEncoderAdd(m_encoder, nullptr, frameStartMs(m_frames, m_framesPerSecond),
                                nullptr) ||
            !WebPAnimEncoderAssemble(m_encoder, &data)) {
            error.message = WebPAnimEncoderGetError(m_encoder);
            WebPDataClear(&data);
            return false;
        }
        const bool written =
            m_file.write({reinterpret_cast<const char*>(data.bytes), data.size}).Ok;
        WebPDataClear(&data);
        return written;
    }

private:
    settings::TAtomicFileWriter& m_file;
    std::int32_t m_width;
    std::int32_t m_height;
    std::int32_t m_framesPerSecond;
    std::int32_t m_frames = 0;
    WebPConfig m_config{};
    WebPAnimEncoder* m_encoder = nullptr;
};

class WebPExporter : public AnimationExporter {
public:
    AnimationFormat format() const override { return AnimationFormat::WebP; }
    QString encoderName() const override { return QStringLiteral("WebP (libwebp)"); }
    std::unique_ptr<FrameEncoder> start(const AnimationPlan& plan,
                                        settings::TAtomicFileWriter& file,
                                        EncoderError& error) const override
    {
        auto encoder = std::make_unique<WebPEncoder>(plan, file, error);
        if (!encoder->started()) {
            return nullptr;
        }
        return encoder;
    }
};

}  // namespace

std::unique_ptr<AnimationExporter> makeWebPExporter()
{
    return std::make_unique<WebPExporter>();
}

}  // namespace output
