// SPDX-License-Identifier: GPL-3.0-or-later
// Animated GIF: giflib writes the file, libimagequant chooses the palette, so that the scene's
// colours and the shades of its antialiased edges survive the 256 colours. The palette is
// chosen once from a few frames spread over the animation (the frames differ in where their
// lines are, not in their colours) and is the file's one colour table. Each pixel takes the
// nearest colour, undithered: flat areas stay flat, and a frame holds few distinct colours,
// so a small cache of the answers maps it in a few milliseconds.

#include <gif_lib.h>
#include <libimagequant.h>

#include <array>
#include <memory>
#include <vector>

#include "output/animation_encoders.h"

namespace output {

namespace {

constexpr std::int32_t LearnedFrames = 8;

// The palette's entry nearest to each colour asked for, remembered in a table of the colours
// last seen.
class NearestColour {
public:
    explicit NearestColour(const liq_palette& palette) : m_count(palette.count)
    {
        for (unsigned i = 0; i < m_count; ++i) {
            m_palette[i] = palette.entries[i];
        }
    }

    GifPixelType operator()(QRgb colour)
    {
        const QRgb key = colour | 0xff000000u;
        Slot& slot = m_slots[((key * 2654435761u) >> 16) & (m_slots.size() - 1)];
        if (slot.colour != key) {
            slot.colour = key;
            slot.index = search(qRed(key), qGreen(key), qBlue(key));
        }
        return slot.index;
    }

private:
    // Weighted as the eye weighs the primaries.
    GifPixelType search(int r, int g, int b) const
    {
        unsigned best = 0;
        long bestDistance = -1;
        for (unsigned i = 0; i < m_count; ++i) {
            const long dr = r - m_palette[i].r;
            const long dg = g - m_palette[i].g;
            const long db = b - m_palette[i].b;
            const long distance = 2 * dr * dr + 4 * dg * dg + 3 * db * db;
            if (bestDistance < 0 || distance < bestDistance) {
                best = i;
                bestDistance = distance;
            }
        }
        return static_cast<GifPixelType>(best);
    }

    struct Slot {
        QRgb colour = 0;  // never a key: keys are opaque
        GifPixelType index = 0;
    };
    std::array<liq_color, 256> m_palette{};
    unsigned m_count;
    std::array<Slot, 1 << 16> m_slots{};
};

int writeToFile(GifFileType* gif, const GifByteType* bytes, int length)
{
    auto* file = static_cast<settings::TAtomicFileWriter*>(gif->UserData);
    const std::string_view piece(reinterpret_cast<const char*>(bytes),
                                 static_cast<std::size_t>(length));
    return file->write(piece).Ok ? length : 0;
}

std::string gifReason(int code)
{
    const char* text = GifErrorString(code);
    return text != nullptr ? text : "giflib error " + std::to_string(code);
}

class GifEncoder : public FrameEncoder {
public:
    GifEncoder(const AnimationPlan& plan, settings::TAtomicFileWriter& file, EncoderError& error)
        : m_width(plan.written.width),
          m_height(plan.written.height),
          m_delay(plan.delayHundredths),
          m_rgba(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height)),
          m_indices(m_rgba.size())
    {
        int code = 0;
        m_gif = EGifOpen(&file, writeToFile, &code);
        m_attributes = liq_attr_create();
        m_histogram = m_attributes != nullptr ? liq_histogram_create(m_attributes) : nullptr;
        if (m_gif == nullptr || m_histogram == nullptr) {
            error.message = m_gif == nullptr ? gifReason(code) : "libimagequant: out of memory";
            return;
        }
        EGifSetGifVersion(m_gif, true);
        m_started = true;
    }

    ~GifEncoder() override
    {
        if (m_gif != nullptr) {
            int code = 0;
            EGifCloseFile(m_gif, &code);
        }
        if (m_histogram != nullptr) {
            liq_histogram_destroy(m_histogram);
        }
        if (m_attributes != nullptr) {
            liq_attr_destroy(m_attributes);
        }
    }
    GifEncoder(const GifEncoder&) = delete;
    GifEncoder& operator=(const GifEncoder&) = delete;

    bool started() const { return m_started; }

    std::int32_t framesToLearn() const override { return LearnedFrames; }

    bool learn(const QImage& frame, EncoderError& error) override
    {
        liq_image* image = takeFrame(frame);
        const bool added =
            image != nullptr && liq_histogram_add_image(m_histogram, m_attributes, image) == LIQ_OK;
        if (image != nullptr) {
            liq_image_destroy(image);
        }
        if (!added) {
            error.message = "libimagequant cannot take the frame";
        }
        return added;
    }

    bool add(const QImage& frame, EncoderError& error) override
    {
        if (!m_nearest && !begin(error)) {
            return false;
        }
        for (int y = 0; y < m_height; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
            GifPixelType* out =
                &m_indices[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width)];
            for (int x = 0; x < m_width; ++x) {
                out[x] = (*m_nearest)(line[x]);
            }
        }
        const GraphicsControlBlock control{DISPOSE_DO_NOT, false, m_delay, NO_TRANSPARENT_COLOR};
        std::array<GifByteType, 4> extension{};
        EGifGCBToExtension(&control, extension.data());
        const bool written =
            EGifPutExtension(m_gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(extension.size()),
                             extension.data()) != GIF_ERROR &&
            EGifPutImageDesc(m_gif, 0, 0, m_width, m_height, false, nullptr) != GIF_ERROR &&
            EGifPutLine(m_gif, m_indices.data(), static_cast<int>(m_indices.size())) != GIF_ERROR;
        if (!written) {
            error.message = gifReason(m_gif->Error);
        }
        return written;
    }

    bool finish(EncoderError& error) override
    {
        int code = 0;
        const int closed = EGifCloseFile(m_gif, &code);
        m_gif = nullptr;
        if (closed == GIF_ERROR) {
            error.message = gifReason(code);
            return false;
        }
        return true;
    }

private:
    // The palette from the frames learnt, written as the file's colour table, and the
    // animation's loop.
    bool begin(EncoderError& error)
    {
        liq_result* result = nullptr;
        if (liq_histogram_quantize(m_histogram, m_attributes, &result) != LIQ_OK) {
            error.message = "libimagequant cannot choose a palette";
            return false;
        }
        const liq_palette& palette = *liq_get_palette(result);
        m_nearest = std::make_unique<NearestColour>(palette);
        // A GIF's colour table has a power of two entries.
        std::array<GifColorType, 256> colours{};
        for (unsigned i = 0; i < palette.count && i < colours.size(); ++i) {
            colours[i] = {palette.entries[i].r, palette.entries[i].g, palette.entries[i].b};
        }
        ColorMapObject* map =
            GifMakeMapObject(1 << GifBitSize(static_cast<int>(palette.count)), colours.data());
        liq_result_destroy(result);
        if (map == nullptr) {
            error.message = "giflib: out of memory";
            return false;
        }
        // NETSCAPE2.0: sub-block 1 with a loop count of 0, for ever.
        static constexpr std::array<GifByteType, 3> Loop{1, 0, 0};
        const bool written =
            EGifPutScreenDesc(m_gif, m_width, m_height, 8, 0, map) != GIF_ERROR &&
            EGifPutExtensionLeader(m_gif, APPLICATION_EXT_FUNC_CODE) != GIF_ERROR &&
            EGifPutExtensionBlock(m_gif, 11, "NETSCAPE2.0") != GIF_ERROR &&
            EGifPutExtensionBlock(m_gif, static_cast<int>(Loop.size()), Loop.data()) != GIF_ERROR &&
            EGifPutExtensionTrailer(m_gif) != GIF_ERROR;
        GifFreeMapObject(map);
        if (!written) {
            error.message = gifReason(m_gif->Error);
        }
        return written;
    }

    // The frame in the bytes R, G, B, A that the quantizer reads; null when it refuses them.
    liq_image* takeFrame(const QImage& frame)
    {
        for (int y = 0; y < m_height; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
            liq_color* out =
                &m_rgba[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width)];
            for (int x = 0; x < m_width; ++x) {
                out[x] = {static_cast<unsigned char>(qRed(line[x])),
                          static_cast<unsigned char>(qGreen(line[x])),
                          static_cast<unsigned char>(qBlue(line[x])), 255};
            }
        }
        return liq_image_create_rgba(m_attributes, m_rgba.data(), m_width, m_height, 0);
    }

    std::int32_t m_width;
    std::int32_t m_height;
    std::int32_t m_delay;
    std::vector<liq_color> m_rgba;
    std::vector<GifPixelType> m_indices;
    GifFileType* m_gif = nullptr;
    liq_attr* m_attributes = nullptr;
    liq_histogram* m_histogram = nullptr;
    std::unique_ptr<NearestColour> m_nearest;
    bool m_started = false;
};

class GifExporter : public AnimationExporter {
public:
    AnimationFormat format() const override { return AnimationFormat::Gif; }
    QString encoderName() const override { return QStringLiteral("GIF (giflib, libimagequant)"); }
    std::unique_ptr<FrameEncoder> start(const AnimationPlan& plan,
                                        settings::TAtomicFileWriter& file,
                                        EncoderError& error) const override
    {
        auto encoder = std::make_unique<GifEncoder>(plan, file, error);
        if (!encoder->started()) {
            return nullptr;
        }
        return encoder;
    }
};

}  // namespace

std::unique_ptr<AnimationExporter> makeGifExporter()
{
    return std::make_unique<GifExporter>();
}

}  // namespace output
