#include "app/core/Failure.h"

#include <cerrno>
#include <cstring>

Failure::Failure(int number, const QString& description)
    : std::runtime_error(description.toStdString()), m_number(number), m_description(description)
{
}

Failure FailureFromErrno(int errorCode)
{
    int number = ErrorNumber::PathFileAccessError;
    switch (errorCode) {
    case EACCES:
    case EPERM:
    case EROFS:
        number = ErrorNumber::PermissionDenied;
        break;
    case ENOENT:
    case ENOTDIR:
        number = ErrorNumber::PathNotFound;
        break;
    case ENOSPC:
    case EDQUOT:
        number = ErrorNumber::DiskFull;
        break;
    case EEXIST:
        number = ErrorNumber::FileAlreadyExists;
        break;
    case EIO:
        number = ErrorNumber::DeviceIoError;
        break;
    default:
        break;
    }
    return Failure(number, QString::fromLocal8Bit(std::strerror(errorCode)));
}
