#pragma once

#include <QByteArray>
#include <optional>

namespace sound {

// The WAV file at path in the cue format, or nothing when it can't be played
// as a cue. Only plain files are read: a folder or a pipe must not reach the
// WAV reader, which could block on it.
std::optional<QByteArray> readWavFile(const QByteArray& path);

} // namespace sound
