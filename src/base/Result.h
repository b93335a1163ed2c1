#pragma once
#include <QString>

namespace snaplorn {

// Outcome of an operation that can fail with a message for the user.
struct Result {
    bool ok = true;
    QString message;

    static Result success() { return {}; }
    static Result failure(const QString& why) { return {false, why}; }
    explicit operator bool() const { return ok; }
};

} // namespace snaplorn
