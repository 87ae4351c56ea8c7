#pragma once

#include <QString>

#include <stdexcept>

// Error numbers the program tells apart. 70 and 76 decide how the sub-folder
// expansion treats a folder; the others only name a failure in the error box.
namespace ErrorNumber {
constexpr int SubscriptOutOfRange = 9;
constexpr int DeviceIoError = 57;
constexpr int FileAlreadyExists = 58;
constexpr int DiskFull = 61;
constexpr int PermissionDenied = 70;
constexpr int PathFileAccessError = 75;
constexpr int PathNotFound = 76;
}  // namespace ErrorNumber

// The one exception type the seams throw: an error number and the description
// text that the error box shows.
class Failure : public std::runtime_error {
public:
    Failure(int number, const QString& description);

    int Number() const { return m_number; }
    const QString& Description() const { return m_description; }

private:
    int m_number;
    QString m_description;
};

// A failure for a system error code (errno): 70 for a denied access, 76 for a
// missing path, and the system's own text as the description.
Failure FailureFromErrno(int errorCode);
