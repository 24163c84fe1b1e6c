#pragma once
// The program's one exception base: a message and, when one error wraps
// another, the inner error. The general error box shows the innermost message.
#include <QByteArray>
#include <QString>
#include <exception>
#include <memory>

class EPelmoraError : public std::exception {
public:
    explicit EPelmoraError(QString message);
    EPelmoraError(QString message, const EPelmoraError& inner);

    const QString& Message() const { return FMessage; }
    // The wrapped error, or nullptr.
    const EPelmoraError* Inner() const { return FInner.get(); }
    // Message of the deepest wrapped error (this one's when nothing is wrapped).
    const QString& InnermostMessage() const;

    const char* what() const noexcept override { return FUtf8.constData(); }

private:
    QString FMessage;
    QByteArray FUtf8;
    std::shared_ptr<const EPelmoraError> FInner; // shared so exceptions stay cheap to copy
};

// Errors of the table layer and its database file.
class EDatabaseError : public EPelmoraError {
public:
    using EPelmoraError::EPelmoraError;
};

// A text or number that cannot become the value asked for.
class EConvertError : public EPelmoraError {
public:
    using EPelmoraError::EPelmoraError;
};
