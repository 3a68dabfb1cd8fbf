// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The animation file formats, one exporter class each beside the picture exporters, and the
// export itself: the frames are drawn one at a time and handed to the format's encoder, which
// writes them to a temporary file beside the target; the target is replaced only once the file
// is complete. A cancelled or failed export leaves no file and the old one as it was, and says
// why in words.

#include <QImage>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "common/globals.h"
#include "output/animation_format.h"
#include "scene/scene.h"
#include "settings/settings_io.h"

namespace output {

// Why an encoder stopped: the file refused its bytes (the writer's status says why), or the
// encoder itself failed.
struct EncoderError {
    std::string message;  // the library's reason, empty when the file refused the bytes
};

// One file being encoded; frames go in one at a time, in order.
class FrameEncoder {
public:
    virtual ~FrameEncoder() = default;
    // How many frames, spread evenly over the animation, the encoder looks at before the
    // first is added: a palette for all of them is chosen from a few.
    virtual std::int32_t framesToLearn() const { return 0; }
    virtual bool learn(const QImage& /*frame*/, EncoderError& /*error*/) { return true; }
    virtual bool add(const QImage& frame, EncoderError& error) = 0;
    // Writes what is left; the file is complete when it returns true.
    virtual bool finish(EncoderError& error) = 0;
};

class AnimationExporter {
public:
    virtual ~AnimationExporter() = default;
    QString name(common::TLanguage language) const;  // "Animated GIF"
    virtual AnimationFormat format() const = 0;
    // "gif", without the dot.
    QString extension() const;
    // The name filter a save dialog shows: "Animated GIF (*.gif)".
    QString filter(common::TLanguage language) const;
    // The encoder as the messages name it: "H.264 (libx264)".
    virtual QString encoderName() const = 0;
    // Whether this program's libraries have the encoder.
    virtual bool available() const { return true; }
    // Starts the file of `plan` (its written size and rate) in `file`; null on failure.
    virtual std::unique_ptr<FrameEncoder> start(const AnimationPlan& plan,
                                                settings::TAtomicFileWriter& file,
                                                EncoderError& error) const = 0;
};

// In the order of AnimationFormat.
std::span<const std::unique_ptr<AnimationExporter>> animationExporters();
const AnimationExporter& animationExporterFor(AnimationFormat format);

// Frames done so far and their total, after each frame; answering false cancels the export.
using AnimationProgress = std::function<bool(std::int32_t done, std::int32_t total)>;

enum class AnimationOutcome : std::uint8_t { Written, Cancelled, Failed };

struct AnimationResult {
    AnimationOutcome outcome = AnimationOutcome::Written;
    AnimationPlan plan;  // what the file holds, or would have held
    // For Cancelled and Failed: the message, naming the file and why, in the language.
    QString error;
    bool ok() const { return outcome == AnimationOutcome::Written; }
};

// The animation `d` of the scene as it stands (copied: the scene is not changed), written to
// `path` by `exporter` as its plan says.
AnimationResult exportAnimation(const AnimationExporter& exporter, const scene::SceneState& s,
                                const AnimationDescription& d, const std::string& path,
                                common::TLanguage language, const AnimationProgress& progress = {});
// The same for a path as the toolkit names it.
AnimationResult exportAnimation(const AnimationExporter& exporter, const scene::SceneState& s,
                                const AnimationDescription& d, const QString& path,
                                common::TLanguage language, const AnimationProgress& progress = {});

}  // namespace output
