#pragma once
// Writes WAV files: the machine's own sounds, and the cue files the tests make.

#include <QByteArray>
#include <cstdint>

namespace wavfile {

inline void putLittleEndian(QByteArray& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.append(static_cast<char>((value >> (8 * i)) & 0xff));
}

// A whole PCM file around its sample data.
inline QByteArray make(int channels, int sampleRate, int bits, const QByteArray& data) {
    const int blockAlign = channels * bits / 8;
    QByteArray out("RIFF");
    putLittleEndian(out, 36 + static_cast<std::uint32_t>(data.size()), 4);
    out.append("WAVEfmt ");
    putLittleEndian(out, 16, 4);
    putLittleEndian(out, 1, 2); // PCM
    putLittleEndian(out, static_cast<std::uint32_t>(channels), 2);
    putLittleEndian(out, static_cast<std::uint32_t>(sampleRate), 4);
    putLittleEndian(out, static_cast<std::uint32_t>(sampleRate * blockAlign), 4);
    putLittleEndian(out, static_cast<std::uint32_t>(blockAlign), 2);
    putLittleEndian(out, static_cast<std::uint32_t>(bits), 2);
    out.append("data");
    putLittleEndian(out, static_cast<std::uint32_t>(data.size()), 4);
    return out + data;
}

// 16-bit samples as a file stores them.
template <class Samples> QByteArray pcm16(const Samples& samples) {
    QByteArray out;
    out.reserve(static_cast<qsizetype>(samples.size()) * 2);
    for (std::int16_t s : samples)
        putLittleEndian(out, static_cast<std::uint16_t>(s), 2);
    return out;
}

} // namespace wavfile
