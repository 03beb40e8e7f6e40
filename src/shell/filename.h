#pragma once
// File names as texts that survive a round trip.
//
// Linux file names are bytes, not text. Names that are valid UTF-8 become the
// obvious QString; every byte that is not part of valid UTF-8 is kept as the
// lone surrogate U+DC80 + byte, so EncodeFileName gives back exactly the bytes
// that were read and the path can be opened again. (QFile::decodeName would
// turn such bytes into U+FFFD and lose them.) Open files with the bytes of
// EncodeFileName, never with QFile::encodeName.
//
// Any thread.

#include <QByteArray>
#include <QString>

namespace dizad::shell {

// valid, when given, tells whether the bytes were valid UTF-8.
QString DecodeFileName(const char* bytes, qsizetype length, bool* valid = nullptr);
inline QString DecodeFileName(const QByteArray& bytes) {
  return DecodeFileName(bytes.constData(), bytes.size());
}
QByteArray EncodeFileName(const QString& name);

// The local path of a plain path or a "file://" URI, as bytes; empty for
// anything else (relative paths included).
QByteArray LocalPathBytes(const QString& path);

}  // namespace dizad::shell
