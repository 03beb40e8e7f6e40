#pragma once
// Error types of the program. Every error the program raises itself carries a
// user-readable text; the top-level handler shows that text.

#include <QByteArray>
#include <QString>
#include <exception>

namespace dizad::toolkit {

class TError : public std::exception {
 public:
  explicit TError(QString message) : FMessage(std::move(message)), FUtf8(FMessage.toUtf8()) {}
  const char* what() const noexcept override { return FUtf8.constData(); }
  const QString& Message() const { return FMessage; }

 private:
  QString FMessage;
  QByteArray FUtf8;
};

// A settings text that does not convert to the type asked for.
class EConvertError : public TError {
 public:
  using TError::TError;
};

// An index outside a list's bounds.
class EListError : public TError {
 public:
  using TError::TError;
};

// A file that cannot be read or written.
class EFileError : public TError {
 public:
  using TError::TError;
};

}  // namespace dizad::toolkit
