#pragma once

#include "sound/CueFormat.h"

#include <QByteArray>

// What a cue sounds like, without playing it: for the tests and the fuzzer,
// which try many files without waiting each one out.
namespace sound {

// The samples the cue player sounds for the file at path (in the system's
// 8-bit encoding): the file's own, in the cue format, or the default chime
// when the file can't be played as a cue.
QByteArray decodeCue(const QByteArray& path);

// The program's own default sound, heard in place of a cue whose file is
// missing or unreadable: a short two-note chime, made here so that it never
// depends on a file.
QByteArray defaultChime();

} // namespace sound
