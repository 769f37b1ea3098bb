// Symbolic names and one-line descriptions of HRESULT codes, for failure messages.
#pragma once

#include <cstdint>

namespace toravel {

// A COM status code: negative values are failures.
using Hresult = int32_t;

inline constexpr bool Failed(Hresult code) {
    return code < 0;
}
inline constexpr bool Succeeded(Hresult code) {
    return code >= 0;
}

// The codes that the mesh layers and the static mesh export produce themselves, named after
// the identifiers of the Windows and DirectX headers.
namespace hresult {
constexpr Hresult FromBits(uint32_t bits) {
    return static_cast<Hresult>(bits);
}
inline constexpr Hresult kOk = 0;                                   // S_OK
inline constexpr Hresult kFail = FromBits(0x80004005);              // E_FAIL
inline constexpr Hresult kOutOfMemory = FromBits(0x8007000E);       // E_OUTOFMEMORY
inline constexpr Hresult kInvalidArg = FromBits(0x80070057);        // E_INVALIDARG
inline constexpr Hresult kAccessDenied = FromBits(0x80070005);      // E_ACCESSDENIED
inline constexpr Hresult kInvalidCall = FromBits(0x8876086C);       // D3DERR_INVALIDCALL
inline constexpr Hresult kNotAvailable = FromBits(0x8876086A);      // D3DERR_NOTAVAILABLE
inline constexpr Hresult kInvalidMesh = FromBits(0x88760B55);       // D3DXERR_INVALIDMESH
inline constexpr Hresult kFileNotFound = FromBits(0x80070002);      // ERROR_FILE_NOT_FOUND
inline constexpr Hresult kPathNotFound = FromBits(0x80070003);      // ERROR_PATH_NOT_FOUND
inline constexpr Hresult kNotSameDevice = FromBits(0x80070011);     // ERROR_NOT_SAME_DEVICE
inline constexpr Hresult kWriteFault = FromBits(0x8007001D);        // ERROR_WRITE_FAULT
inline constexpr Hresult kSharingViolation = FromBits(0x80070020);  // ERROR_SHARING_VIOLATION
inline constexpr Hresult kDiskFull = FromBits(0x80070070);          // ERROR_DISK_FULL
inline constexpr Hresult kInvalidName = FromBits(0x8007007B);       // ERROR_INVALID_NAME
inline constexpr Hresult kAlreadyExists = FromBits(0x800700B7);     // ERROR_ALREADY_EXISTS
inline constexpr Hresult kFileNameTooLong = FromBits(0x800700CE);   // ERROR_FILENAME_EXCED_RANGE
inline constexpr Hresult kFileTooLarge = FromBits(0x800700DF);      // ERROR_FILE_TOO_LARGE
}  // namespace hresult

// The identifier that the Windows and DirectX headers declare for `code` (several joined by
// " & "), or "Unknown".
const char* HresultName(Hresult code);

// A one-line description of `code`, or "n/a".
const char* HresultDescription(Hresult code);

// The HRESULT for a C library error number (errno), as the Windows file functions would
// report the same failure; E_FAIL for numbers without a counterpart.
Hresult HresultFromErrno(int error);

}  // namespace toravel
