#pragma once
// A trapped run-time error: a number and the platform's description of it.
#include <stdexcept>
#include <string>

namespace velk {

enum ErrNo : int {
    kErrInvalidCall = 5,
    kErrOverflow = 6,
    kErrOutOfMemory = 7,
    kErrSubscript = 9,
    kErrDivByZero = 11,
    kErrTypeMismatch = 13,
    kErrBadFileName = 52,
    kErrFileNotFound = 53,
    kErrBadFileMode = 54,
    kErrFileAlreadyOpen = 55,
    kErrDeviceIO = 57,
    kErrFileExists = 58,
    kErrDiskFull = 61,
    kErrInputPastEnd = 62,
    kErrPermissionDenied = 70,
    kErrDiskNotReady = 71,
    kErrPathFileAccess = 75,
    kErrPathNotFound = 76,
    kErrInvalidFileFormat = 321,
    kErrInvalidPicture = 481,
    kErrPrinter = 482,
};

// The platform's English text for an error number.
std::string ErrorDescription(int number);

class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(int number);
    RuntimeError(int number, std::string description);
    int number() const noexcept { return number_; }
    const std::string& description() const noexcept { return description_; }
    // "description number", the form most procedures report.
    std::string report() const;

private:
    int number_;
    std::string description_;
};

// Maps an errno from a failed system call onto the closest run-time error.
RuntimeError ErrorFromErrno(int err);

}  // namespace velk
