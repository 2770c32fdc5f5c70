#pragma once

// Helpers for the fault tests: a copy of the program folder whose media can
// be broken in every way a file can be, and a capture of what the program
// writes to stderr.

#include "MediaNames.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace faults {

inline const QStringList& mediaFiles() {
    static const QStringList files = [] {
        QStringList names;
        for (const char* name : mediaNames)
            names << QString::fromLatin1(name);
        return names;
    }();
    return files;
}

// The ways a media file can be broken.
enum class Breakage { Missing, Garbage, Empty, Folder, Pipe, OtherFormat, Truncated };

inline const char* breakageName(Breakage breakage) {
    switch (breakage) {
    case Breakage::Missing:
        return "missing";
    case Breakage::Garbage:
        return "garbage";
    case Breakage::Empty:
        return "empty";
    case Breakage::Folder:
        return "a folder";
    case Breakage::Pipe:
        return "a pipe";
    case Breakage::OtherFormat:
        return "another format";
    case Breakage::Truncated:
        return "truncated";
    }
    return "?";
}

// A copy of the program folder (the executable's folder) with its media.
class ProgramFolder {
public:
    ProgramFolder() {
        const QDir program(QCoreApplication::applicationDirPath());
        for (const QString& name : mediaFiles())
            QFile::copy(program.filePath(name), dir_.filePath(name));
    }

    QString path() const { return dir_.path(); }
    QString filePath(const QString& name) const { return dir_.filePath(name); }

    // Breaks one file; gives false if the breakage could not be made.
    bool breakFile(const QString& name, Breakage breakage) {
        const QString file = dir_.filePath(name);
        QByteArray original;
        {
            QFile in(file);
            if (in.open(QIODevice::ReadOnly))
                original = in.readAll();
        }
        QFile::remove(file);
        switch (breakage) {
        case Breakage::Missing:
            return true;
        case Breakage::Garbage:
            return write(file, "this is no picture and no sound, just text\n");
        case Breakage::Empty:
            return write(file, QByteArray());
        case Breakage::Folder:
            return QDir().mkdir(file);
        case Breakage::Pipe:
            return ::mkfifo(QFile::encodeName(file).constData(), 0600) == 0;
        case Breakage::OtherFormat: {
            // A picture of another kind under the JPEG name; for a cue, a
            // sound file of another kind.
            static const unsigned char png[] = {
                0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48,
                0x44, 0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x02, 0x00, 0x00,
                0x00, 0x90, 0x77, 0x53, 0xde, 0x00, 0x00, 0x00, 0x0c, 0x49, 0x44, 0x41, 0x54, 0x08,
                0xd7, 0x63, 0xf8, 0xcf, 0xc0, 0x00, 0x00, 0x03, 0x01, 0x01, 0x00, 0x18, 0xdd, 0x8d,
                0xb0, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};
            if (name.endsWith(QLatin1String(".wav")))
                return write(file,
                             QByteArray("OggS\0\x02\0\0\0\0\0\0\0\0", 14) + QByteArray(64, 'x'));
            return write(file, QByteArray(reinterpret_cast<const char*>(png), sizeof png));
        }
        case Breakage::Truncated:
            return write(file, original.left(original.size() / 8));
        }
        return false;
    }

    static bool write(const QString& file, const QByteArray& bytes) {
        QFile out(file);
        return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size();
    }

private:
    QTemporaryDir dir_;
};

// Collects what is written to stderr while it lives.
class StderrCapture {
public:
    StderrCapture() {
        file_.open();
        std::fflush(stderr);
        saved_ = ::dup(2);
        ::dup2(file_.handle(), 2);
    }
    ~StderrCapture() { restore(); }

    // Everything written so far; stderr goes back to where it was.
    QString text() {
        restore();
        QFile in(file_.fileName());
        in.open(QIODevice::ReadOnly);
        return QString::fromLocal8Bit(in.readAll());
    }

private:
    void restore() {
        if (saved_ < 0)
            return;
        std::fflush(stderr);
        ::dup2(saved_, 2);
        ::close(saved_);
        saved_ = -1;
    }

    QTemporaryFile file_;
    int saved_ = -1;
};

} // namespace faults
