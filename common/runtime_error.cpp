#include "common/runtime_error.h"

#include <cerrno>

namespace velk {

std::string ErrorDescription(int number) {
    switch (number) {
    case 3: return "Return without GoSub";
    case 5: return "Invalid procedure call or argument";
    case 6: return "Overflow";
    case 7: return "Out of memory";
    case 9: return "Subscript out of range";
    case 10: return "This array is fixed or temporarily locked";
    case 11: return "Division by zero";
    case 13: return "Type mismatch";
    case 14: return "Out of string space";
    case 28: return "Out of stack space";
    case 52: return "Bad file name or number";
    case 53: return "File not found";
    case 54: return "Bad file mode";
    case 55: return "File already open";
    case 57: return "Device I/O error";
    case 58: return "File already exists";
    case 59: return "Bad record length";
    case 61: return "Disk full";
    case 62: return "Input past end of file";
    case 63: return "Bad record number";
    case 67: return "Too many files";
    case 68: return "Device unavailable";
    case 70: return "Permission denied";
    case 71: return "Disk not ready";
    case 74: return "Can't rename with different drive";
    case 75: return "Path/File access error";
    case 76: return "Path not found";
    case 91: return "Object variable or With block variable not set";
    case 93: return "Invalid pattern string";
    case 94: return "Invalid use of Null";
    case 320: return "Can't use character device names in specified file names";
    case 321: return "Invalid file format";
    case 322: return "Can't create necessary temporary file";
    case 380: return "Invalid property value";
    case 424: return "Object required";
    case 429: return "ActiveX component can't create object";
    case 481: return "Invalid picture";
    case 482: return "Printer error";
    default: return "Application-defined or object-defined error";
    }
}

RuntimeError::RuntimeError(int number) : RuntimeError(number, ErrorDescription(number)) {}

RuntimeError::RuntimeError(int number, std::string description)
    : std::runtime_error(description + " " + std::to_string(number)),
      number_(number),
      description_(std::move(description)) {}

std::string RuntimeError::report() const { return description_ + " " + std::to_string(number_); }

RuntimeError ErrorFromErrno(int err) {
    switch (err) {
    case ENOENT: return RuntimeError(kErrFileNotFound);
    case ENOTDIR: return RuntimeError(kErrPathNotFound);
    case EACCES:
    case EPERM:
    case EROFS: return RuntimeError(kErrPermissionDenied);
    case ENOSPC:
    case EDQUOT: return RuntimeError(kErrDiskFull);
    case EEXIST: return RuntimeError(kErrFileExists);
    case EIO: return RuntimeError(kErrDeviceIO);
    case ENXIO:
    case ENODEV:
    case ENOMEDIUM: return RuntimeError(kErrDiskNotReady);
    case EMFILE:
    case ENFILE: return RuntimeError(67);
    case ENOMEM: return RuntimeError(kErrOutOfMemory);
    default: return RuntimeError(kErrPathFileAccess);
    }
}

}  // namespace velk
