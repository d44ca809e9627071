#pragma once
#include <QString>

namespace velmora {

// Stores the reason for a failure where the caller asked for one and answers
// false, so a failing step can end with `return Fail(error, "...")`.
inline bool Fail(QString *error, const QString &message) {
    if (error)
        *error = message;
    return false;
}

} // namespace velmora
