// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/animation_export.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <cerrno>
#include <filesystem>

#include "common/animation_texts.h"
#include "common/texts.h"
#include "output/animation_encoders.h"
#include "output/animation_frames.h"

namespace output {

namespace {

using common::animationText;
using common::TAnimationText;

std::array<std::unique_ptr<AnimationExporter>, 3> makeExporters()
{
    return {makeGifExporter(), makeWebPExporter(), makeMp4Exporter()};
}

std::string folderOf(const std::string& path)
{
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return (ec ? std::filesystem::path(path) : absolute).parent_path().string();
}

QString cannotWrite(const std::string& path, const std::string& reason, common::TLanguage language)
{
    return QString::fromStdString(
        common::messageText(common::TMessage::CannotWriteFile, language, {path, reason}));
}

// A full disk and a folder without the right to write are said in words; any other reason is
// the file writer's own, which names the file.
QString fileFailure(const std::string& path, const settings::TFileResult& r,
                    common::TLanguage language)
{
    switch (r.SystemError) {
        case ENOSPC:
        case EDQUOT:
            return cannotWrite(path, animationText(TAnimationText::DiskFull, language), language);
        case EACCES:
        case EPERM:
        case EROFS:
            return cannotWrite(
                path, animationText(TAnimationText::FolderNotWritable, language, {folderOf(path)}),
                language);
        default:
            break;
    }
    return QString::fromStdString(language == common::TLanguage::German ? r.GermanError : r.Error);
}

}  // namespace

QString AnimationExporter::extension() const
{
    const std::string_view text = extensionOf(format());
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString AnimationExporter::name(common::TLanguage language) const
{
    common::TAnimationText text = common::TAnimationText::FormatGif;
    switch (format()) {
    case AnimationFormat::Gif:
        text = common::TAnimationText::FormatGif;
        break;
    case AnimationFormat::WebP:
        text = common::TAnimationText::FormatWebP;
        break;
    case AnimationFormat::Mp4:
        text = common::TAnimationText::FormatMp4;
        break;
    }
    return QString::fromStdString(common::animationText(text, language));
}

QString AnimationExporter::filter(common::TLanguage language) const
{
    return QStringLiteral("%1 (*.%2)").arg(name(language), extension());
}

std::span<const std::unique_ptr<AnimationExporter>> animationExporters()
{
    static const std::array<std::unique_ptr<AnimationExporter>, 3> exporters = makeExporters();
    return exporters;
}

const AnimationExporter& animationExporterFor(AnimationFormat format)
{
    for (const auto& exporter : animationExporters()) {
        if (exporter->format() == format) {
            return *exporter;
        }
    }
    return *animationExporters().front();  // every format has its exporter
}

AnimationResult exportAnimation(const AnimationExporter& exporter, const scene::SceneState& s,
                                const AnimationDescription& d, const std::string& path,
                                common::TLanguage language, const AnimationProgress& progress)
{
    AnimationResult result;
    result.plan = planAnimation(exporter.format(), d);
    const auto failed = [&result](QString error) {
        result.outcome = AnimationOutcome::Failed;
        result.error = std::move(error);
        return result;
    };
    const std::string encoder = exporter.encoderName().toStdString();

    // Refused before any file is made.
    if (const std::string problem = descriptionProblem(d, language); !problem.empty()) {
        return failed(cannotWrite(path, problem, language));
    }
    if (!exporter.available()) {
        return failed(cannotWrite(
            path, animationText(TAnimationText::EncoderUnavailable, language, {encoder}),
            language));
    }

    settings::TAtomicFileWriter file;
    if (const settings::TFileResult r = file.open(path); !r.Ok) {
        return failed(fileFailure(path, r, language));
    }
    AnimationFrames frames(s, result.plan.written);
    EncoderError error;
    // Declared after the file, so that it is gone before the file is discarded.
    std::unique_ptr<FrameEncoder> encoding = exporter.start(result.plan, file, error);
    const auto stopped = [&] {
        if (!file.status().Ok) {
            return failed(fileFailure(path, file.status(), language));
        }
        return failed(cannotWrite(
            path, animationText(TAnimationText::EncoderFailed, language, {encoder, error.message}),
            language));
    };
    if (!encoding) {
        return stopped();
    }
    const std::int32_t total = frames.count();
    const std::int32_t samples = std::clamp(encoding->framesToLearn(), 0, total);
    for (std::int32_t i = 0; i < samples; ++i) {
        if (!encoding->learn(frames.frame(i * total / samples), error)) {
            return stopped();
        }
    }
    for (std::int32_t k = 0; k < total; ++k) {
        if (!encoding->add(frames.frame(k), error)) {
            return stopped();
        }
        if (progress && !progress(k + 1, total)) {
            result.outcome = AnimationOutcome::Cancelled;
            result.error =
                QString::fromStdString(animationText(TAnimationText::Cancelled, language, {path}));
            return result;
        }
    }
    if (!encoding->finish(error)) {
        return stopped();
    }
    encoding.reset();
    if (const settings::TFileResult r = file.commit(); !r.Ok) {
        return failed(fileFailure(path, r, language));
    }
    return result;
}

AnimationResult exportAnimation(const AnimationExporter& exporter, const scene::SceneState& s,
                                const AnimationDescription& d, const QString& path,
                                common::TLanguage language, const AnimationProgress& progress)
{
    return exportAnimation(exporter, s, d, QFile::encodeName(path).toStdString(), language,
                           progress);
}

}  // namespace output
